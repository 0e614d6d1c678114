#include "Trekon.h"

#include <QDebug>

Trekon::Trekon(QObject* parent, QSerialPort::BaudRate baudRate)
    : TavBoard(parent, TREKON, baudRate)
{
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
