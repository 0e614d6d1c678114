#include "Tav2.h"

Tav2::Tav2(QObject* parent, QSerialPort::BaudRate baudRate)
    : TavBoard(parent)
{
    m_module = TAV2;
    m_portSettings = portSettingsAt(baudRate);
    m_atCmdRegexMap = {
        {AtCmdHandler::OK, AtCmdHandler::OK_REGEX},
        {AtCmdHandler::ERROR, AtCmdHandler::ERROR_REGEX},
        {AtCmdHandler::ID, AtCmdHandler::ID_REGEX},
        {AtCmdHandler::ADDR, AtCmdHandler::ADDR_REGEX},
        {AtCmdHandler::FW, QStringLiteral("^(?<FW>.*)$")},
        {AtCmdHandler::TX, QStringLiteral("^(([-0-9]+),(?<TX>[0-9a-fA-F]+)?)$")},
        {AtCmdHandler::RCONF, AtCmdHandler::RCONF_REGEX},
        {AtCmdHandler::PREPASS_EN, AtCmdHandler::PREPASS_EN_REGEX},
        {AtCmdHandler::PREPASS_CFG, AtCmdHandler::PREPASS_CFG_REGEX},
        {AtCmdHandler::POS, AtCmdHandler::POS_REGEX},
        {AtCmdHandler::AOP, AtCmdHandler::AOP_REGEX},
        {AtCmdHandler::SAT, AtCmdHandler::SAT_REGEX},
        {AtCmdHandler::UDATE, AtCmdHandler::UDATE_REGEX},
        {AtCmdHandler::NEXTPASS, AtCmdHandler::NEXTPASS_REGEX},
        {AtCmdHandler::TXFIFO, QStringLiteral("^(?<TXFIFO>(0|1),([0-9a-fA-F]+),0x([0-9a-fA-F]+)|end)$")},
        {AtCmdHandler::ATXRP, QStringLiteral("^(?<ATXRP>([-0-9]+),([-0-9]+))$")},
        {AtCmdHandler::RX, QStringLiteral("^(?<RX>[0-9a-fA-F]+)$")},
        {AtCmdHandler::BC, QStringLiteral("^(?<BC>[0-9a-fA-F]+)$")},
        {AtCmdHandler::ASSERT, QStringLiteral("^(?<ASSERT>.*)$")},
    };
}
