#include "DecimalText.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace DecimalText {

double parse(const QString& text, double bottom, double top, int decimals)
{
    static const QRegularExpression kDecimal(QStringLiteral("^\\s*([+-]?)(\\d*)(?:[.,](\\d*))?\\s*$"));
    constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
    const QRegularExpressionMatch match = kDecimal.match(text);
    if (!match.hasMatch())
        return kNotANumber;
    const QString whole = match.captured(2);
    const QString fraction = match.captured(3);
    if ((whole.isEmpty() && fraction.isEmpty()) || fraction.size() > decimals)
        return kNotANumber;
    bool ok = false;
    const double value = QString(match.captured(1) + (whole.isEmpty() ? "0" : whole) + '.' + fraction + '0')
                             .toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < bottom || value > top)
        return kNotANumber;
    return value;
}

QString shown(const QString& text)
{
    return QString(text).replace(',', '.');
}

} // namespace DecimalText
