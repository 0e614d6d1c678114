// Radio settings and transmissions.
#include "ArgReader.h"
#include "ModuleFirmware.h"
#include "Transmitter.h"

using F = ModuleFirmware;

namespace {

constexpr int MAX_MESSAGE_BYTES = 32;

} // namespace

F::Reply ModuleFirmware::getTxFrequency()
{
    return line("ATXFRQ", QString::number(m_state.txFrequency) + (m_state.frequencyHopping ? ",1" : ""));
}

// Frequency in Hz within the uplink band, then an optional hopping flag.
F::Reply ModuleFirmware::setTxFrequency(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 2)) {
        const qint64 frequency = a.integer(0, 399910000, 401680000);
        const bool hopping = a.has(1) && a.flag(1);
        if (!a.failed()) {
            m_state.txFrequency = frequency;
            m_state.frequencyHopping = hopping;
        }
    }
    return answer(a);
}

F::Reply ModuleFirmware::getTxPower()
{
    return line("PWR", QString::number(m_state.txPower));
}

// Power in mW, one of the levels the amplifier offers.
F::Reply ModuleFirmware::setTxPower(const QStringList& args)
{
    static const QList<qint64> levels {200, 350, 500, 750, 1000};
    ArgReader a(args);
    if (a.count(1, 1)) {
        const qint64 power = a.integer(0, 100, 9999);
        if (!a.failed() && !levels.contains(power))
            return error(ArgReader::INCOMPATIBLE);
        if (!a.failed())
            m_state.txPower = int(power);
    }
    return answer(a);
}

F::Reply ModuleFirmware::getFormat()
{
    return line("AFMT",
        QString::number(m_state.formatRaw) + ',' + QString::number(m_state.formatLength) + ','
            + QString::number(m_state.formatSync));
}

// Format flag (0 raw, 1 standard), then length and synchronisation fields,
// each either 0 or its one allowed value.
F::Reply ModuleFirmware::setFormat(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(3, 3)) {
        const qint64 standard = a.integer(0, 0, 1);
        const qint64 length = a.integer(1, 0, 16);
        const qint64 sync = a.integer(2, 0, 32);
        if (!a.failed() && ((length != 0 && length != 16) || (sync != 0 && sync != 32)))
            return error(ArgReader::INCOMPATIBLE);
        if (!a.failed()) {
            m_state.formatRaw = int(standard);
            m_state.formatLength = int(length);
            m_state.formatSync = int(sync);
        }
    }
    return answer(a);
}

F::Reply ModuleFirmware::getRadioConfig()
{
    const ModuleState::RadioConfig& r = m_state.radio;
    return line("RCONF",
        QString::number(r.frequencyMin) + ',' + QString::number(r.frequencyMax) + ','
            + QString::number(r.power) + ',' + r.modulation);
}

// The 16-byte radio configuration as 32 hexadecimal digits. A configuration
// this firmware can read replaces the reported one; any other is stored as
// given and the reported values stay.
F::Reply ModuleFirmware::setRadioConfig(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const QString digits = a.hex(0, 32, 32);
        if (!a.failed()) {
            const QByteArray blob = QByteArray::fromHex(digits.toLatin1());
            ModuleState::RadioConfig decoded;
            if (ModuleState::decodeRadioBlob(blob, &decoded))
                m_state.radio = decoded;
            m_state.radio.blob = blob;
        }
    }
    return answer(a);
}

// TAV1 and the development kit take the message alone; the Argos kits also
// take an attribute "0x<bits>" (acknowledgement, downlink request), which
// uses two bytes of the frame the current modulation carries.
bool ModuleFirmware::readMessage(ArgReader& a, QString* data, uint* attribute) const
{
    const bool argosKit = m_variant == Variant::TAV2 || m_variant == Variant::RIX;
    if (!a.count(1, argosKit ? 2 : 1))
        return false;
    *attribute = a.has(1) ? a.attribute(1) : 0;
    const int frame = argosKit ? ModuleState::maxFrameBytes(m_state.radio.modulation) : MAX_MESSAGE_BYTES;
    *data = a.message(0, frame - (a.has(1) ? 2 : 0));
    return !a.failed();
}

F::Reply ModuleFirmware::setTx(const QStringList& args)
{
    ArgReader a(args);
    QString data;
    uint attribute = 0;
    if (readMessage(a, &data, &attribute)) {
        // With pass prediction on, the kit keeps the message for the pass it
        // last predicted; the other modules send it at once.
        const bool holdForPass = m_variant == Variant::TREKON && m_state.prepassEnable != 0
            && m_constellation.predictedPass();
        m_tx->sendAt(data, holdForPass ? msUntilPredictedPass() : 0);
    }
    return answer(a);
}

// The message waits in the queue for the predicted pass when the host has
// asked for one (or pass prediction is on), otherwise it goes out next.
F::Reply ModuleFirmware::setTxData(const QStringList& args)
{
    ArgReader a(args);
    QString data;
    uint attribute = 0;
    if (readMessage(a, &data, &attribute) && !m_tx->enqueue(data, attribute, msUntilPredictedPass()))
        return error(21);
    return answer(a);
}

F::Reply ModuleFirmware::getTxFifo()
{
    return m_tx->fifoLines();
}

// Only the flush form exists: "AT+TXFIFO=" with an empty argument.
F::Reply ModuleFirmware::setTxFifo(const QStringList& args)
{
    if (args.size() > 1)
        return error(ArgReader::TOO_MANY);
    if (!args.constFirst().isEmpty())
        return error(ArgReader::INCOMPATIBLE);
    m_tx->flush();
    return ok();
}

F::Reply ModuleFirmware::getRepetition()
{
    return line("ATXRP",
        QString::number(m_state.repetitionCount) + ',' + QString::number(m_state.repetitionPeriodMs));
}

// Repetition count, then optionally the period between repetitions in ms.
F::Reply ModuleFirmware::setRepetition(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 2)) {
        const qint64 count = a.integer(0, 0, 255);
        const qint64 period = a.has(1) ? a.integer(1, 0, 86400000) : m_state.repetitionPeriodMs;
        if (!a.failed()) {
            m_state.repetitionCount = int(count);
            m_state.repetitionPeriodMs = int(period);
        }
    }
    return answer(a);
}
