#include "Payload.h"

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

} // namespace PayloadRules
