#pragma once

#include "TavBoard.h"

// The second-generation module: orbit data, prediction passes, transmit queue, downlink and beacons.
class Tav2 : public TavBoard {
    Q_OBJECT

public:
    Tav2(QObject* parent, QSerialPort::BaudRate baudRate);
    ~Tav2() override = default;
};
