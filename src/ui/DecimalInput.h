#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// Decimal numbers as a user types them, whatever the desktop's locale: "."
// and "," both separate the decimals, no grouping, no exponent. The module
// is always sent the C locale's form.
namespace DecimalText {

// The number, or NaN when the text is not one, has more than `decimals`
// decimals or lies outside [bottom, top].
double parse(const QString& text, double bottom, double top, int decimals);
// The text as the field shows it: "," becomes ".".
QString shown(const QString& text);

} // namespace DecimalText

// The rule above for QML, reached as the singleton "Decimal".
class DecimalInput : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Decimal)
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE double parse(const QString& text, double bottom, double top, int decimals) const
    {
        return DecimalText::parse(text, bottom, top, decimals);
    }
    Q_INVOKABLE QString shown(const QString& text) const { return DecimalText::shown(text); }
};
