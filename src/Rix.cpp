#include "Rix.h"

Rix::Rix(QObject* parent, QSerialPort::BaudRate baudRate)
    : TavBoard(parent)
{
    m_module = RIX;
    m_portSettings = portSettingsAt(baudRate);
    m_atCmdRegexMap = secondGenerationPatterns();
}
