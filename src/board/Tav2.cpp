#include "Tav2.h"

Tav2::Tav2(QObject* parent, QSerialPort::BaudRate baudRate)
    : TavBoard(parent, TAV2, baudRate)
{
}
