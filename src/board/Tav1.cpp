#include "Tav1.h"

Tav1::Tav1(QObject* parent, QSerialPort::BaudRate baudRate)
    : TavBoard(parent, TAV1, baudRate)
{
}
