#pragma once

#include "TavBoard.h"

// The first-generation module: identity, serial number, frequency, power and format, no orbit data.
class Tav1 : public TavBoard {
    Q_OBJECT

public:
    Tav1(QObject* parent, QSerialPort::BaudRate baudRate);
    ~Tav1() override = default;
};
