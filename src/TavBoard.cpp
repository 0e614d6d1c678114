#include "TavBoard.h"

#include "Helper.h"

TavBoard::TavBoard(QObject* parent)
    : QObject(parent)
    , m_portSettings(portSettingsAt(QSerialPort::Baud9600))
    , m_sensorListModel(nullptr)
    , m_isAwake(true)
    , m_loggerSrc(Logger::TAV)
    , m_loraCompatible(false)
    , m_loraStackIntegrated(false)
    , m_module(NA)
    , m_firmwareVersion(NOT_AVAILABLE_STR)
    , m_port(NOT_AVAILABLE_STR)
    , m_id(NOT_AVAILABLE_STR)
    , m_serialNumber(NOT_AVAILABLE_STR)
    , m_txFrequency(0)
    , m_txPower(0)
{
}

TavBoard::~TavBoard() = default;

TavBoard::PortSettings TavBoard::portSettingsAt(QSerialPort::BaudRate baudRate)
{
    return {baudRate, QSerialPort::Data8, QSerialPort::NoParity, QSerialPort::OneStop,
        QSerialPort::NoFlowControl};
}

QString TavBoard::name() const
{
    return Helper::enumToStr(m_module);
}

void TavBoard::setModule(TavBoard::Module module)
{
    m_module = module;
    emit moduleChanged();
    emit nameChanged();
}

void TavBoard::setPort(const QString& port)
{
    m_port = port;
    emit portChanged();
}

void TavBoard::setId(const QString& id)
{
    m_id = id.toUpper();
    emit idChanged();
}

void TavBoard::setAddr(const QString& addr)
{
    m_addr = addr.toUpper();
    emit addrChanged();
}

void TavBoard::setSerialNumber(const QString& serialNumber)
{
    m_serialNumber = serialNumber;
    emit serialNumberChanged();
}

void TavBoard::setFirmwareVersion(const QString& version)
{
    m_firmwareVersion = version;
    emit firmwareVersionChanged();
}

void TavBoard::setTxFrequency(uint frequency)
{
    m_txFrequency = frequency;
    emit txFrequencyChanged();
}

void TavBoard::setTxPower(ushort power)
{
    m_txPower = power;
    emit txPowerChanged();
}

void TavBoard::setIsAwake(bool awake)
{
    m_isAwake = awake;
    emit isAwakeChanged();
}

void TavBoard::setLoraStackIntegrated(bool integrated)
{
    m_loraStackIntegrated = integrated;
    emit loraStackIntegratedChanged();
}

QMap<AtCmdHandler::CmdId, QString> TavBoard::secondGenerationPatterns()
{
    return {
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
        {AtCmdHandler::ASSERT, QStringLiteral("^(?<ASSERT>.*)$")},
    };
}
