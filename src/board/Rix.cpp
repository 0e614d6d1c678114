#include "Rix.h"

Rix::Rix(QObject* parent, QSerialPort::BaudRate baudRate)
    : TavBoard(parent, RIX, baudRate)
{
}
