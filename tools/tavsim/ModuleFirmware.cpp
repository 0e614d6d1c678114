#include "ModuleFirmware.h"

#include "ArgReader.h"
#include "Transmitter.h"

#include <QRegularExpression>
#include <QTimer>

using F = ModuleFirmware;

// Which variant knows which command, and what a get or a set does with it.
const QList<F::Command>& ModuleFirmware::commands()
{
    static const QList<Command> table {
        {"PING", ALL_VARIANTS, &F::getPing, nullptr},
        {"ID", ALL_VARIANTS, &F::getId, nullptr},
        {"ADDR", ARGOS_KITS, &F::getAddr, nullptr},
        {"FW", ALL_VARIANTS, &F::getFirmware, nullptr},
        {"SN", ONLY_TAV1, &F::getSerialNumber, nullptr},
        {"RST", ALL_VARIANTS, nullptr, &F::setReset},
        {"ATXFRQ", ONLY_TAV1, &F::getTxFrequency, &F::setTxFrequency},
        {"PWR", ONLY_TAV1, &F::getTxPower, &F::setTxPower},
        {"AFMT", ONLY_TAV1, &F::getFormat, &F::setFormat},
        {"TX", TRANSMITTING, nullptr, &F::setTx},
        {"RCONF", ARGOS_KITS, &F::getRadioConfig, &F::setRadioConfig},
        {"TXDATA", ARGOS_KITS, nullptr, &F::setTxData},
        {"TXFIFO", ARGOS_KITS, &F::getTxFifo, &F::setTxFifo},
        {"ATXRP", ARGOS_KITS, &F::getRepetition, &F::setRepetition},
        {"PREPASS_EN", PREDICTING, &F::getPrepassEnable, &F::setPrepassEnable},
        {"PREPASS_CFG", PREDICTING, &F::getPrepassConfig, &F::setPrepassConfig},
        {"POS", PREDICTING, &F::getPosition, &F::setPosition},
        {"AOP", PREDICTING, &F::getAop, &F::setAop},
        {"SAT", ARGOS_KITS, &F::getSat, &F::setSat},
        {"UDATE", PREDICTING, &F::getDate, &F::setDate},
        {"NEXTPASS", PREDICTING, &F::getNextPass, &F::setNextPass},
        {"LORA_EN", ONLY_TREKON, &F::getLoraEnable, &F::setLoraEnable},
        {"LORA_REDUN", ONLY_TREKON, &F::getLoraRedundancy, &F::setLoraRedundancy},
        {"LORA_ACK", ONLY_TREKON, &F::getLoraAck, &F::setLoraAck},
        {"LORA_DEUI", ONLY_TREKON, &F::getLoraDeviceEui, nullptr},
        {"LORA_AEUI", ONLY_TREKON, &F::getLoraAppEui, &F::setLoraAppEui},
        {"LORA_AKEY", ONLY_TREKON, &F::getLoraAppKey, &F::setLoraAppKey},
        {"PACQ", ONLY_TREKON, &F::getAcquisitionPeriod, &F::setAcquisitionPeriod},
        {"PACQ_SENS", ONLY_TREKON, &F::getAcquisitionEnables, &F::setAcquisitionEnables},
        {"ALRT_SENS", ONLY_TREKON, &F::getAlertEnables, &F::setAlertEnables},
        {"ALRT_LIGHT", ONLY_TREKON, &F::getLightAlert, &F::setLightAlert},
        {"ALRT_ACC", ONLY_TREKON, &F::getAccAlert, &F::setAccAlert},
        {"ALRT_DRYC", ONLY_TREKON, &F::getDryContactAlert, &F::setDryContactAlert},
        {"ALRT_PB", ONLY_TREKON, &F::getPushButtonAlert, &F::setPushButtonAlert},
        {"TAV_REDUN", ONLY_TREKON, &F::getTavRedundancy, &F::setTavRedundancy},
        {"TAV_TX", ONLY_TREKON, &F::getTavTx, &F::setTavTx},
    };
    return table;
}

ModuleFirmware::ModuleFirmware(Variant variant, const Timing& timing, QObject* parent)
    : QObject(parent)
    , m_variant(variant)
    , m_timing(timing)
    , m_state(ModuleState::factory(variant, QDateTime::currentDateTimeUtc()))
    , m_constellation(Constellation::factory(QDateTime::currentDateTimeUtc()))
    , m_tx(new Transmitter(timing.txDelayMs, this))
{
    connect(m_tx, &Transmitter::resultReady, this, &ModuleFirmware::unsolicited);
}

QDateTime ModuleFirmware::clock() const
{
    return QDateTime::currentDateTimeUtc().addMSecs(m_clockOffsetMs);
}

const F::Command* ModuleFirmware::find(const QString& word) const
{
    for (const Command& c : commands()) {
        if (word == QLatin1String(c.word))
            return (c.variants & variantBit(m_variant)) ? &c : nullptr;
    }
    return nullptr;
}

bool ModuleFirmware::supports(const QString& word) const
{
    return find(word) != nullptr;
}

QString ModuleFirmware::wordOf(const QString& request)
{
    static const QRegularExpression frame(QStringLiteral("^AT\\+([A-Z_]+)"));
    return frame.match(request).captured(1);
}

F::Reply ModuleFirmware::handle(const QString& request)
{
    static const QRegularExpression frame(QStringLiteral("^AT\\+([A-Z_]+)(=(.*))?$"));
    const QString text = request.trimmed();
    if (text.isEmpty())
        return {};
    const QRegularExpressionMatch m = frame.match(text);
    if (!m.hasMatch())
        return error(text.startsWith(QLatin1String("AT+")) ? ArgReader::FORMAT : 6);
    const Command* command = find(m.captured(1));
    if (!command)
        return error(6);
    if (!m.hasCaptured(2))
        return error(ArgReader::FORMAT);

    const QString args = m.captured(3);
    if (args == QLatin1String("?"))
        return command->get ? (this->*command->get)() : error(ArgReader::MISSING);
    // A read-only value takes no argument.
    if (!command->set)
        return error(ArgReader::TOO_MANY);
    return (this->*command->set)(args.split(','));
}

QString ModuleFirmware::nextUnsolicitedSample()
{
    static const char* const candidates[] = {"ID", "FW", "ADDR", "SN", "POS", "PREPASS_EN", "RCONF", "PACQ"};
    for (;;) {
        const char* word = candidates[m_sampleTurn++ % std::size(candidates)];
        if (const Command* c = find(QLatin1String(word)); c && c->get)
            return (this->*c->get)().constFirst();
    }
}

void ModuleFirmware::reboot()
{
    m_tx->reset();
    m_constellation.forgetPrediction();
}

F::Reply ModuleFirmware::ok()
{
    return {QStringLiteral("+OK")};
}

F::Reply ModuleFirmware::error(int code)
{
    return {"+ERROR=" + QString::number(code)};
}

F::Reply ModuleFirmware::line(const char* word, const QString& data)
{
    return {"+" + QLatin1String(word) + "=" + data};
}

F::Reply ModuleFirmware::answer(const ArgReader& args) const
{
    return args.failed() ? error(args.code()) : ok();
}

F::Reply ModuleFirmware::getPing()
{
    return ok();
}

F::Reply ModuleFirmware::getId()
{
    return line("ID", m_state.id);
}

F::Reply ModuleFirmware::getAddr()
{
    return line("ADDR", m_state.address);
}

F::Reply ModuleFirmware::getFirmware()
{
    return line("FW", m_state.firmware);
}

F::Reply ModuleFirmware::getSerialNumber()
{
    return line("SN", m_state.serialNumber);
}

// The host writes "AT+RST=": one empty argument. The module restarts with the
// configuration it has stored; the development kit says so once it is back.
F::Reply ModuleFirmware::setReset(const QStringList& args)
{
    if (args.size() != 1 || !args.constFirst().isEmpty())
        return error(ArgReader::TOO_MANY);
    reboot();
    if (m_variant == Variant::TREKON) {
        QTimer::singleShot(m_timing.resetDelayMs, this, [this] {
            emit unsolicited("Trekon dev kit " + m_state.firmware.section(',', 1) + " ready");
            emit unsolicited(QStringLiteral("TREKON -- PARAMETERS RESTORED"));
        });
    }
    return ok();
}
