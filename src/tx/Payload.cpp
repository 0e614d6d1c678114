#include "Payload.h"

#include <QStringList>

Payload::Payload(QObject* parent, const QString& message, quint8 redundancy)
    : Payload(parent, message, redundancy, Options {})
{
}

Payload::Payload(QObject* parent, const QString& message, quint8 redundancy, Options options)
    : QObject(parent)
    , m_message(message)
    , m_redundancy(redundancy)
    , m_options(options)
{
}

namespace PayloadRules {

bool isHexText(const QString& message)
{
    for (const QChar c : message) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool upper = c >= QLatin1Char('A') && c <= QLatin1Char('F');
        const bool lower = c >= QLatin1Char('a') && c <= QLatin1Char('f');
        if (!digit && !upper && !lower)
            return false;
    }
    return true;
}

bool fitsAllowedSize(const QString& message, bool options, const QList<uint>& allowedSizes)
{
    if (allowedSizes.isEmpty())
        return true;
    if (message.size() % 2 != 0)
        return false;
    const uint needed = static_cast<uint>(message.size() / 2) + (options ? 2 : 0);
    return allowedSizes.contains(needed);
}

namespace {

QString bytesText(uint count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
}

QString sizesText(const QList<uint>& sizes)
{
    QStringList texts;
    for (const uint size : sizes)
        texts.append(QString::number(size));
    const QString last = texts.takeLast();
    return texts.isEmpty() ? last : texts.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString characterText(QChar c)
{
    if (c.isPrint())
        return QLatin1Char('\'') + c + QLatin1Char('\'');
    return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString refusal(const QString& message, bool options, const QList<uint>& allowedSizes, const QString& modulation)
{
    if (message.isEmpty())
        return QStringLiteral("empty message");
    for (int i = 0; i < message.size(); ++i) {
        if (!isHexText(message.mid(i, 1)))
            return QStringLiteral("not hexadecimal: ") + characterText(message.at(i)) + QStringLiteral(" at position ")
                + QString::number(i + 1);
    }
    if (message.size() % 2 != 0)
        return QStringLiteral("odd number of hex digits (") + QString::number(message.size()) + QLatin1Char(')');
    if (fitsAllowedSize(message, options, allowedSizes))
        return {};
    QList<uint> withOptions;
    for (const uint size : allowedSizes) {
        if (size > 2)
            withOptions.append(size - 2);
    }
    QString text = bytesText(static_cast<uint>(message.size() / 2)) + QStringLiteral(": ")
        + (modulation.isEmpty() ? QStringLiteral("the modulation") : modulation) + QStringLiteral(" carries ")
        + sizesText(allowedSizes) + (allowedSizes.size() == 1 && allowedSizes.first() == 1 ? " byte" : " bytes");
    if (!withOptions.isEmpty())
        text += QStringLiteral(", ") + sizesText(withOptions) + QStringLiteral(" with Ack or downlink");
    return text;
}

} // namespace PayloadRules
