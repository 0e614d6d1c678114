#include "Tav2.h"

Tav2::Tav2(QObject* parent, QSerialPort::BaudRate baudRate)
    : TavBoard(parent)
{
    m_module = TAV2;
    m_portSettings = portSettingsAt(baudRate);
    m_atCmdRegexMap = secondGenerationPatterns();
    m_atCmdRegexMap.insert(AtCmdHandler::RX, QStringLiteral("^(?<RX>[0-9a-fA-F]+)$"));
    m_atCmdRegexMap.insert(AtCmdHandler::BC, QStringLiteral("^(?<BC>[0-9a-fA-F]+)$"));
}
