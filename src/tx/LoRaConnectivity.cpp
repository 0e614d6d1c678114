#include "LoRaConnectivity.h"

#include "Payload.h"

#include <QRegularExpression>
#include <QStringList>

LoRaConnectivity::LoRaConnectivity(QObject* parent)
    : QObject(parent)
{
}

QString LoRaConnectivity::normalizeHex(const QString& text, int bytes)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,:-]"));
    QString hex = text.trimmed();
    hex.remove(separators);
    if (hex.size() != bytes * 2 || !PayloadRules::isHexText(hex))
        return {};
    return hex.toUpper();
}

bool LoRaConnectivity::isValidEui(const QString& text)
{
    return !normalizeHex(text, EUI_SIZE).isEmpty();
}

bool LoRaConnectivity::isValidKey(const QString& text)
{
    return !normalizeHex(text, KEY_SIZE).isEmpty();
}

QString LoRaConnectivity::formatEui(const QString& hex)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,:-]"));
    QString digits = hex;
    digits.remove(separators);
    QStringList bytes;
    for (int i = 0; i < digits.size(); i += 2)
        bytes.append(digits.mid(i, 2).toUpper());
    return bytes.join(QLatin1Char(','));
}

bool LoRaConnectivity::setDevEui(const QString& devEui)
{
    const QString hex = normalizeHex(devEui, EUI_SIZE);
    if (hex.isEmpty())
        return false;
    m_devEui = hex;
    emit devEuiChanged();
    return true;
}

bool LoRaConnectivity::setAppEui(const QString& appEui)
{
    const QString hex = normalizeHex(appEui, EUI_SIZE);
    if (hex.isEmpty())
        return false;
    m_appEui = hex;
    emit appEuiChanged();
    return true;
}

bool LoRaConnectivity::setAppKey(const QString& appKey)
{
    const QString hex = normalizeHex(appKey, KEY_SIZE);
    if (hex.isEmpty())
        return false;
    m_appKey = hex;
    emit appKeyChanged();
    return true;
}

void LoRaConnectivity::setRedundancy(quint8 redundancy)
{
    m_redundancy = redundancy;
    emit redundancyChanged();
}

void LoRaConnectivity::setAckEnabled(bool enabled)
{
    m_ackEnabled = enabled;
    emit ackEnabledChanged();
}

void LoRaConnectivity::reset()
{
    m_devEui.clear();
    m_appEui.clear();
    m_appKey.clear();
    emit devEuiChanged();
    emit appEuiChanged();
    emit appKeyChanged();
    setRedundancy(DEFAULT_REDUNDANCY);
    setAckEnabled(false);
}
