// The development kit's own settings: LoRa link, sensors and alerts, and the
// satellite link switch and redundancy.
#include "ArgReader.h"
#include "ModuleFirmware.h"

using F = ModuleFirmware;

namespace {

QString byteList(const QByteArray& bytes)
{
    QStringList parts;
    for (char b : bytes)
        parts << QString::fromLatin1(QByteArray(1, b).toHex().toUpper());
    return parts.join(',');
}

QString flagList(const QList<bool>& flags)
{
    QStringList parts;
    for (bool f : flags)
        parts << (f ? "1" : "0");
    return parts.join(',');
}

// An EUI or key as one run of hexadecimal digits or as comma-separated bytes.
QByteArray readKey(ArgReader& a, int bytes)
{
    if (a.size() == 1)
        return QByteArray::fromHex(a.hex(0, bytes * 2, bytes * 2).toLatin1());
    if (!a.count(bytes, bytes))
        return {};
    QByteArray key;
    for (int i = 0; i < bytes; ++i)
        key.append(QByteArray::fromHex(a.hex(i, 2, 2).toLatin1()));
    return key;
}

QList<bool> readFlags(ArgReader& a, int n)
{
    QList<bool> flags;
    if (a.count(n, n)) {
        for (int i = 0; i < n; ++i)
            flags << a.flag(i);
    }
    return flags;
}

QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

constexpr int SENSOR_FLAGS = 7;

} // namespace

F::Reply ModuleFirmware::getLoraEnable()
{
    return line("LORA_EN", flag(m_state.lora.enabled));
}

F::Reply ModuleFirmware::setLoraEnable(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const bool on = a.flag(0);
        if (!a.failed())
            m_state.lora.enabled = on;
    }
    return answer(a);
}

F::Reply ModuleFirmware::getLoraRedundancy()
{
    return line("LORA_REDUN", QString::number(m_state.lora.redundancy));
}

F::Reply ModuleFirmware::setLoraRedundancy(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const qint64 n = a.integer(0, 0, 255);
        if (!a.failed())
            m_state.lora.redundancy = int(n);
    }
    return answer(a);
}

F::Reply ModuleFirmware::getLoraAck()
{
    return line("LORA_ACK", flag(m_state.lora.ack));
}

F::Reply ModuleFirmware::setLoraAck(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const bool on = a.flag(0);
        if (!a.failed())
            m_state.lora.ack = on;
    }
    return answer(a);
}

// The device EUI is burnt in at the factory: it can be read, never written.
F::Reply ModuleFirmware::getLoraDeviceEui()
{
    return line("LORA_DEUI", byteList(m_state.lora.deviceEui));
}

F::Reply ModuleFirmware::getLoraAppEui()
{
    return line("LORA_AEUI", byteList(m_state.lora.appEui));
}

F::Reply ModuleFirmware::setLoraAppEui(const QStringList& args)
{
    ArgReader a(args);
    const QByteArray eui = readKey(a, 8);
    if (!a.failed())
        m_state.lora.appEui = eui;
    return answer(a);
}

F::Reply ModuleFirmware::getLoraAppKey()
{
    return line("LORA_AKEY", byteList(m_state.lora.appKey));
}

F::Reply ModuleFirmware::setLoraAppKey(const QStringList& args)
{
    ArgReader a(args);
    const QByteArray key = readKey(a, 16);
    if (!a.failed())
        m_state.lora.appKey = key;
    return answer(a);
}

F::Reply ModuleFirmware::getAcquisitionPeriod()
{
    return line("PACQ", QString::number(m_state.acquisitionPeriod));
}

// Seconds between two sensor acquisitions.
F::Reply ModuleFirmware::setAcquisitionPeriod(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const qint64 period = a.integer(0, 1, 65535);
        if (!a.failed())
            m_state.acquisitionPeriod = int(period);
    }
    return answer(a);
}

// One flag per sensor: GNSS, temperature, humidity, pressure, light,
// accelerometer, dry contact (the push button is always on).
F::Reply ModuleFirmware::getAcquisitionEnables()
{
    return line("PACQ_SENS", flagList(m_state.acquisitionEnables));
}

F::Reply ModuleFirmware::setAcquisitionEnables(const QStringList& args)
{
    ArgReader a(args);
    const QList<bool> flags = readFlags(a, SENSOR_FLAGS);
    if (!a.failed())
        m_state.acquisitionEnables = flags;
    return answer(a);
}

F::Reply ModuleFirmware::getAlertEnables()
{
    return line("ALRT_SENS", flagList(m_state.alertEnables));
}

F::Reply ModuleFirmware::setAlertEnables(const QStringList& args)
{
    ArgReader a(args);
    const QList<bool> flags = readFlags(a, SENSOR_FLAGS);
    if (!a.failed())
        m_state.alertEnables = flags;
    return answer(a);
}

F::Reply ModuleFirmware::getLightAlert()
{
    const ModuleState::Alerts& al = m_state.alerts;
    return line("ALRT_LIGHT",
        flag(al.lightEnabled) + ',' + QString::number(al.lightLow) + ',' + QString::number(al.lightHigh));
}

// Enable, then optionally the low and high thresholds in lux.
F::Reply ModuleFirmware::setLightAlert(const QStringList& args)
{
    ArgReader a(args);
    if (a.size() == 2)
        return error(ArgReader::MISSING);
    if (!a.count(1, 3))
        return answer(a);
    ModuleState::Alerts al = m_state.alerts;
    al.lightEnabled = a.flag(0);
    if (a.has(1)) {
        al.lightLow = int(a.integer(1, 0, 100000));
        al.lightHigh = int(a.integer(2, 0, 100000));
    }
    if (!a.failed() && al.lightLow >= al.lightHigh)
        return error(ArgReader::INCOMPATIBLE);
    if (!a.failed())
        m_state.alerts = al;
    return answer(a);
}

F::Reply ModuleFirmware::getAccAlert()
{
    return line("ALRT_ACC", flag(m_state.alerts.accEnabled) + ',' + QString::number(m_state.alerts.accBound));
}

// Enable, then optionally the bound in mg.
F::Reply ModuleFirmware::setAccAlert(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 2)) {
        const bool on = a.flag(0);
        const qint64 bound = a.has(1) ? a.integer(1, 1, 16000) : m_state.alerts.accBound;
        if (!a.failed()) {
            m_state.alerts.accEnabled = on;
            m_state.alerts.accBound = int(bound);
        }
    }
    return answer(a);
}

F::Reply ModuleFirmware::getDryContactAlert()
{
    return line("ALRT_DRYC",
        flag(m_state.alerts.dryContactEnabled) + ',' + QString::number(m_state.alerts.dryContactLevel));
}

// Enable, then optionally the active level.
F::Reply ModuleFirmware::setDryContactAlert(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 2)) {
        const bool on = a.flag(0);
        const bool level = a.has(1) ? a.flag(1) : m_state.alerts.dryContactLevel == 1;
        if (!a.failed()) {
            m_state.alerts.dryContactEnabled = on;
            m_state.alerts.dryContactLevel = level ? 1 : 0;
        }
    }
    return answer(a);
}

F::Reply ModuleFirmware::getPushButtonAlert()
{
    return line("ALRT_PB", flag(m_state.alerts.pushButtonEnabled));
}

F::Reply ModuleFirmware::setPushButtonAlert(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const bool on = a.flag(0);
        if (!a.failed())
            m_state.alerts.pushButtonEnabled = on;
    }
    return answer(a);
}

F::Reply ModuleFirmware::getTavRedundancy()
{
    return line("TAV_REDUN", QString::number(m_state.tavRedundancy));
}

F::Reply ModuleFirmware::setTavRedundancy(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const qint64 n = a.integer(0, 1, 255);
        if (!a.failed())
            m_state.tavRedundancy = int(n);
    }
    return answer(a);
}

F::Reply ModuleFirmware::getTavTx()
{
    return line("TAV_TX", flag(m_state.tavTxEnabled));
}

F::Reply ModuleFirmware::setTavTx(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const bool on = a.flag(0);
        if (!a.failed())
            m_state.tavTxEnabled = on;
    }
    return answer(a);
}
