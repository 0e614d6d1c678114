#include "Trekon.h"

#include <QDebug>

namespace {

// LoRaWAN EUIs are 8 bytes and keys 16, sent as comma-separated hexadecimal pairs.
const QString euiBytes = AtCmdHandler::repeatRegex(8, "[0-9a-fA-F]{2}");
const QString keyBytes = AtCmdHandler::repeatRegex(16, "[0-9a-fA-F]{2}");
const QString sensorFlags = AtCmdHandler::repeatRegex(7, "[0|1]");

} // namespace

Trekon::Trekon(QObject* parent, QSerialPort::BaudRate baudRate)
    : TavBoard(parent)
{
    m_module = TREKON;
    m_portSettings = portSettingsAt(baudRate);
    m_loggerSrc = Logger::TRK;
    m_isAwake = false;
    m_loraCompatible = true;
    m_loraMinVersion = QStringLiteral("1.4");
    m_atCmdRegexMap = {
        {AtCmdHandler::OK, AtCmdHandler::OK_REGEX},
        {AtCmdHandler::ERROR, AtCmdHandler::ERROR_REGEX},
        {AtCmdHandler::ID, AtCmdHandler::ID_REGEX},
        {AtCmdHandler::FW, QStringLiteral("^(?<FW>.*)$")},
        {AtCmdHandler::PREPASS_EN, AtCmdHandler::PREPASS_EN_REGEX},
        {AtCmdHandler::PREPASS_CFG, AtCmdHandler::PREPASS_CFG_REGEX},
        {AtCmdHandler::POS, AtCmdHandler::POS_REGEX},
        {AtCmdHandler::AOP, AtCmdHandler::AOP_REGEX},
        {AtCmdHandler::UDATE, AtCmdHandler::UDATE_REGEX},
        {AtCmdHandler::NEXTPASS, AtCmdHandler::NEXTPASS_REGEX},
        {AtCmdHandler::LORA_EN, QStringLiteral("^(?<LORA_EN>[0|1])$")},
        {AtCmdHandler::LORA_REDUN, QStringLiteral("^(?<LORA_REDUN>[-0-9]+)$")},
        {AtCmdHandler::LORA_ACK, QStringLiteral("^(?<LORA_ACK>[0|1])$")},
        {AtCmdHandler::LORA_DEUI, "^(?<LORA_DEUI>" + euiBytes + ")$"},
        {AtCmdHandler::LORA_AEUI, "^(?<LORA_AEUI>" + euiBytes + ")$"},
        {AtCmdHandler::LORA_AKEY, "^(?<LORA_AKEY>" + keyBytes + ")$"},
        {AtCmdHandler::PACQ, QStringLiteral("^(?<PACQ>[-0-9]+)$")},
        {AtCmdHandler::PACQ_SENS, "^(?<PACQ_SENS>" + sensorFlags + ")$"},
        {AtCmdHandler::ALRT_SENS, "^(?<ALRT_SENS>" + sensorFlags + ")$"},
        {AtCmdHandler::ALRT_LIGHT, QStringLiteral("^(?<ALRT_LIGHT>([0|1]),([-0-9]+,[-0-9]+))$")},
        {AtCmdHandler::ALRT_ACC, QStringLiteral("^(?<ALRT_ACC>([0|1]),([-0-9]+))$")},
        {AtCmdHandler::ALRT_DRYC, QStringLiteral("^(?<ALRT_DRYC>([0|1]),([0|1]))$")},
        {AtCmdHandler::ALRT_PB, QStringLiteral("^(?<ALRT_PB>[0|1])$")},
        {AtCmdHandler::TAV_REDUN, QStringLiteral("^(?<TAV_REDUN>[-0-9]+)$")},
    };
    m_sensorListModel = new SensorModel(this, buildSensors(this));
}

QMap<SensorModel::Id, Sensor*> Trekon::buildSensors(QObject* parent)
{
    // name, enable, alert, hasAlertCmd, threshold title, threshold values
    return {
        {SensorModel::GNSS, new Sensor(parent, "GNSS", true, false, false, "", "NA")},
        {SensorModel::TEMPERATURE, new Sensor(parent, "Temperature", true, false, false, "", "NA")},
        {SensorModel::HUMIDITY, new Sensor(parent, "Humidity", true, false, false, "", "NA")},
        {SensorModel::PRESSURE, new Sensor(parent, "Pressure", true, false, false, "", "NA")},
        {SensorModel::LIGHT, new Sensor(parent, "Light", true, false, true, "Low,High", "400,3000")},
        {SensorModel::ACCELEROMETER, new Sensor(parent, "Accelerometer", true, false, true, "Bound", "4000")},
        {SensorModel::DRY_CONTACT, new Sensor(parent, "Dry contact", true, false, true, "Active level", "1")},
        {SensorModel::PUSH_BUTTON, new Sensor(parent, "Push button", true, false, true, "", "NA")},
    };
}

bool Trekon::isLoRaStackIntegrated() const
{
    static const QRegularExpression versionRegex(
        QStringLiteral(R"(^\d+,SW(?<MAJOR>\d).(?<MINOR>\d).(?<PATCH>\d)$)"));

    const QRegularExpressionMatch match = versionRegex.match(firmwareVersion());
    if (!match.hasMatch()) {
        qCritical().noquote()
            << "Unable to identify Trekon firmware version and detect LoRa connectivity status";
        return false;
    }
    const uint major = match.captured("MAJOR").toUInt();
    const uint minor = match.captured("MINOR").toUInt();
    return major >= 2 || (major == 1 && minor >= 4);
}

void Trekon::setFirmwareVersion(const QString& version)
{
    TavBoard::setFirmwareVersion(version);
    setLoraStackIntegrated(isLoRaStackIntegrated());
}
