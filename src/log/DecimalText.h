#pragma once

#include <QString>

// Decimal numbers as a user types them, whatever the desktop's locale: "."
// and "," both separate the decimals, no grouping, no exponent. The module
// is always sent the C locale's form. The window's fields and tavcli's
// number options read them alike.
namespace DecimalText {

// The number, or NaN when the text is not one, has more than `decimals`
// decimals or lies outside [bottom, top].
double parse(const QString& text, double bottom, double top, int decimals);
// The text as the field shows it: "," becomes ".".
QString shown(const QString& text);

} // namespace DecimalText
