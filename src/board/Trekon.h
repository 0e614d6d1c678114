#pragma once

#include "TavBoard.h"

#include <QRegularExpression>

// The development kit around the module: sensors with alerts, LoRa, and a
// wake-up button; it sleeps until pressed and tags its lines TRK.
class Trekon : public TavBoard {
    Q_OBJECT

public:
    Trekon(QObject* parent, QSerialPort::BaudRate baudRate);
    ~Trekon() override = default;

    // True when the firmware version (e.g. "1234,SW1.4.0") is 1.4 or later,
    // the first release carrying the LoRa stack.
    bool isLoRaStackIntegrated() const;

public slots:
    void setFirmwareVersion(const QString& version) override;

private:
    static QMap<SensorModel::Id, Sensor*> buildSensors(QObject* parent);
};
