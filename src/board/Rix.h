#pragma once

#include "TavBoard.h"

// The RIX module: the second-generation grammar without downlink (RX) and beacon (BC) answers.
class Rix : public TavBoard {
    Q_OBJECT

public:
    Rix(QObject* parent, QSerialPort::BaudRate baudRate);
    ~Rix() override = default;
};
