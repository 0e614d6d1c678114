#include "TavBoard.h"

#include "log/Helper.h"
#include "protocol/CommandTable.h"
#include "protocol/VariantCapabilities.h"

TavBoard::TavBoard(QObject* parent, Module module, QSerialPort::BaudRate baudRate)
    : QObject(parent)
    , m_portSettings(portSettingsAt(baudRate))
    , m_atCmdRegexMap(CommandTable::grammar(module))
    , m_sensorListModel(nullptr)
    , m_isAwake(!VariantCapabilities::of(module).startsAsleep)
    , m_loggerSrc(VariantCapabilities::of(module).logSource)
    , m_loraCompatible(VariantCapabilities::of(module).lora)
    , m_loraStackIntegrated(false)
    , m_loraMinVersion(*VariantCapabilities::of(module).loraMinVersion
              ? QString::fromLatin1(VariantCapabilities::of(module).loraMinVersion)
              : QString())
    , m_module(module)
    , m_firmwareVersion(NOT_AVAILABLE_STR)
    , m_port(NOT_AVAILABLE_STR)
    , m_id(NOT_AVAILABLE_STR)
    , m_serialNumber(NOT_AVAILABLE_STR)
    , m_txFrequency(0)
    , m_txPower(0)
{
}

TavBoard::~TavBoard() = default;

const VariantCapabilities& TavBoard::capabilities() const
{
    return VariantCapabilities::of(m_module);
}

bool TavBoard::knows(AtCmdHandler::CmdId id) const
{
    return CommandTable::knows(m_module, id);
}

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

QStringList TavBoard::commandWords() const
{
    // OK, ERROR and the lines the module sends unasked are answers, not
    // commands one types.
    QStringList words;
    for (const CommandRow& row : CommandTable::rows()) {
        switch (row.id) {
        case AtCmdHandler::OK:
        case AtCmdHandler::ERROR:
        case AtCmdHandler::RX:
        case AtCmdHandler::BC:
        case AtCmdHandler::ASSERT: break;
        default:
            if (knows(row.id))
                words << "AT+" + Helper::enumToStr(row.id) + "=";
            break;
        }
    }
    words.sort();
    return words;
}
