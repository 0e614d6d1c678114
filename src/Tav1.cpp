#include "Tav1.h"

Tav1::Tav1(QObject* parent, QSerialPort::BaudRate baudRate)
    : TavBoard(parent)
{
    m_module = TAV1;
    m_portSettings = portSettingsAt(baudRate);
    m_atCmdRegexMap = {
        {AtCmdHandler::OK, AtCmdHandler::OK_REGEX},
        {AtCmdHandler::ERROR, AtCmdHandler::ERROR_REGEX},
        {AtCmdHandler::ID, AtCmdHandler::ID_REGEX},
        {AtCmdHandler::FW, QStringLiteral("^(?<FW>.*)$")},
        {AtCmdHandler::SN, QStringLiteral("^(?<SN>TAV[0-9]{11})$")},
        {AtCmdHandler::ATXFRQ, QStringLiteral("^(?<ATXFRQ>[0-9]{1,9}(,1)?)$")},
        {AtCmdHandler::PWR, QStringLiteral("^(?<PWR>[0-9]{3,4})$")},
        {AtCmdHandler::AFMT, QStringLiteral("^(?<AFMT>(0|1){1},(0|16){1},(0|32){1})$")},
        // The module only ever reports status 0 before the payload.
        {AtCmdHandler::TX, QStringLiteral("^((0),(?<TX>.+)?)$")},
    };
}
