// The control channel's commands: events of the module and injected faults.
#include "ModuleFirmware.h"
#include "Simulator.h"
#include "Transmitter.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

const QString OK = QStringLiteral("OK");

QString bad(const QString& why)
{
    return "ERROR " + why;
}

bool toInt(const QString& text, int min, int max, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= min && *value <= max;
}

bool isHex(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]+$"));
    return hex.match(text).hasMatch();
}

} // namespace

const QList<Simulator::ControlCommand>& Simulator::controlCommands()
{
    static const QList<ControlCommand> table {
        {"wake", 0, 0, &Simulator::doWake},
        {"sleep", 0, 0, &Simulator::doSleep},
        {"mute", 1, 2, &Simulator::doMute},
        {"latency", 1, 1, &Simulator::doLatency},
        {"baud", 1, 1, &Simulator::doBaud},
        {"error", 2, 2, &Simulator::doError},
        {"ignore", 1, 2, &Simulator::doIgnore},
        {"txfail", 1, 1, &Simulator::doTxFail},
        {"txfail-every", 1, 2, &Simulator::doTxFailEvery},
        {"txdrop-every", 1, 1, &Simulator::doTxDropEvery},
        {"garbage", 1, 1, &Simulator::doGarbage},
        {"longline", 1, 1, &Simulator::doLongLine},
        {"hangup", 0, 1, &Simulator::doHangUp},
        {"replug", 0, 0, &Simulator::doReplug},
        {"send", 1, -1, &Simulator::doSend},
        {"assert", 1, -1, &Simulator::doAssert},
        {"rx", 1, 1, &Simulator::doRx},
        {"bc", 1, 1, &Simulator::doBc},
        {"flood", 1, 1, &Simulator::doFlood},
        {"state", 0, 0, &Simulator::doState},
        {"help", 0, 0, &Simulator::doHelp},
    };
    return table;
}

QString Simulator::execute(const QString& command)
{
    const QString text = command.trimmed();
    const QString name = text.section(' ', 0, 0, QString::SectionSkipEmpty);
    for (const ControlCommand& c : controlCommands()) {
        if (name != QLatin1String(c.name))
            continue;
        QStringList args;
        if (c.maxArgs < 0) {
            const QString rest = text.mid(name.size()).trimmed();
            if (!rest.isEmpty())
                args << rest;
        } else {
            args = text.mid(name.size()).split(' ', Qt::SkipEmptyParts);
        }
        const int max = c.maxArgs < 0 ? 1 : c.maxArgs;
        if (args.size() < c.minArgs || args.size() > max)
            return bad("wrong arguments for '" + name + "' (see help)");
        return (this->*c.handler)(args);
    }
    return bad("unknown command '" + name + "' (see help)");
}

QString Simulator::doWake(const QStringList&)
{
    if (!isTrekon())
        return bad(QStringLiteral("only the TREKON development kit has a wake-up button"));
    wakeUp();
    return OK;
}

QString Simulator::doSleep(const QStringList&)
{
    if (!isTrekon())
        return bad(QStringLiteral("only the TREKON development kit sleeps"));
    fallAsleep();
    return OK;
}

QString Simulator::doMute(const QStringList& args)
{
    // "mute CMD": requests of that word alone go unanswered, as a firmware
    // that hangs in one command.
    static const QRegularExpression word(QStringLiteral("^[A-Z_]+$"));
    if (word.match(args.constFirst()).hasMatch()) {
        if (args.size() == 2 && args.at(1) != QLatin1String("off"))
            return bad(QStringLiteral("mute CMD [off]: CMD is a command word such as SAT"));
        if (args.size() == 2)
            m_mutedWords.remove(args.constFirst());
        else
            m_mutedWords.insert(args.constFirst());
        return OK;
    }
    if (args.size() != 1 || (args.constFirst() != QLatin1String("on") && args.constFirst() != QLatin1String("off")))
        return bad(QStringLiteral("mute on|off, or mute CMD [off]"));
    m_muted = args.constFirst() == QLatin1String("on");
    m_transcript.event(m_muted ? QStringLiteral("mute on") : QStringLiteral("mute off"));
    return OK;
}

QString Simulator::doLatency(const QStringList& args)
{
    int ms;
    if (!toInt(args.constFirst(), 0, 60000, &ms))
        return bad(QStringLiteral("latency MS, 0 to 60000"));
    m_latencyMs = ms;
    return OK;
}

QString Simulator::doBaud(const QStringList& args)
{
    int baud;
    if (!toInt(args.constFirst(), 0, 4000000, &baud))
        return bad(QStringLiteral("baud N, 0 for unpaced"));
    m_port.setBaudRate(baud);
    return OK;
}

QString Simulator::doError(const QStringList& args)
{
    static const QRegularExpression word(QStringLiteral("^[A-Z_]+$"));
    const QString cmd = args.at(0);
    if (!word.match(cmd).hasMatch())
        return bad(QStringLiteral("error CMD CODE: CMD is a command word such as PING"));
    if (args.at(1) == QLatin1String("off")) {
        m_injectedErrors.remove(cmd);
        return OK;
    }
    int code;
    if (!toInt(args.at(1), 0, 255, &code))
        return bad(QStringLiteral("error CMD CODE: CODE from 0 to 255, or off"));
    m_injectedErrors.insert(cmd, code);
    return OK;
}

// A set the module acknowledges but does not keep, as a firmware that
// refuses a value without saying so.
QString Simulator::doIgnore(const QStringList& args)
{
    static const QRegularExpression word(QStringLiteral("^[A-Z_]+$"));
    const QString cmd = args.at(0);
    if (!word.match(cmd).hasMatch() || (args.size() == 2 && args.at(1) != QLatin1String("off")))
        return bad(QStringLiteral("ignore CMD [off]: CMD is a command word such as POS"));
    if (args.size() == 2)
        m_ignoredSets.remove(cmd);
    else
        m_ignoredSets.insert(cmd);
    return OK;
}

QString Simulator::doTxFail(const QStringList& args)
{
    // TAV1 only ever reports success (+TX=0,...).
    if (m_options.variant == Variant::TAV1)
        return bad(QStringLiteral("TAV1 reports no transmit status"));
    int code = 0;
    if (args.constFirst() != QLatin1String("off") && !toInt(args.constFirst(), 1, 255, &code))
        return bad(QStringLiteral("txfail CODE (1 to 255) or off"));
    m_firmware->transmitter()->setResultStatus(code);
    return OK;
}

QString Simulator::doTxFailEvery(const QStringList& args)
{
    if (m_options.variant == Variant::TAV1)
        return bad(QStringLiteral("TAV1 reports no transmit status"));
    int every = 0;
    int code = 0;
    if (args.size() == 1 && args.constFirst() == QLatin1String("off")) {
        m_firmware->transmitter()->setFailEvery(0, 0);
        return OK;
    }
    if (args.size() != 2 || !toInt(args.at(0), 1, 65536, &every) || !toInt(args.at(1), 1, 255, &code))
        return bad(QStringLiteral("txfail-every N CODE (N 1 to 65536, CODE 1 to 255) or off"));
    m_firmware->transmitter()->setFailEvery(every, code);
    return OK;
}

QString Simulator::doTxDropEvery(const QStringList& args)
{
    int every = 0;
    if (args.constFirst() != QLatin1String("off") && !toInt(args.constFirst(), 1, 65536, &every))
        return bad(QStringLiteral("txdrop-every N (1 to 65536) or off"));
    m_firmware->transmitter()->setDropEvery(every);
    return OK;
}

QString Simulator::doGarbage(const QStringList& args)
{
    int n;
    if (!toInt(args.constFirst(), 1, 65536, &n))
        return bad(QStringLiteral("garbage N, 1 to 65536"));
    QByteArray bytes(n, '\0');
    for (char& b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    sendBytes(bytes, "garbage " + QString::number(n) + " bytes");
    return OK;
}

QString Simulator::doLongLine(const QStringList& args)
{
    int n;
    if (!toInt(args.constFirst(), 1, 1 << 20, &n))
        return bad(QStringLiteral("longline N, 1 to 1048576"));
    QByteArray bytes;
    bytes.reserve(n);
    bytes.append('+');
    while (bytes.size() < n)
        bytes.append(char('A' + bytes.size() % 26));
    sendBytes(bytes.left(n), "long line of " + QString::number(n) + " bytes without LF");
    return OK;
}

QString Simulator::doHangUp(const QStringList& args)
{
    const bool stay = !args.isEmpty() && args.constFirst() == QLatin1String("stay");
    if (!args.isEmpty() && !stay)
        return bad(QStringLiteral("hangup [stay]"));
    m_transcript.event(QStringLiteral("hang-up"));
    m_pending.clear();
    m_floodTimer.stop();
    m_floodPerSecond = 0;
    // Unplugged means unpowered: transmissions under way never report.
    m_firmware->reboot();
    m_port.hangUp();
    if (!stay)
        QMetaObject::invokeMethod(this, &Simulator::finished, Qt::QueuedConnection);
    return OK;
}

QString Simulator::doReplug(const QStringList&)
{
    if (m_port.isOpen())
        return bad(QStringLiteral("the device is still there"));
    QString error;
    if (!m_port.open(&error))
        return bad(error);
    if (!m_options.linkPath.isEmpty() && !m_port.setLink(m_options.linkPath, &error))
        return bad(error);
    // Powered again, a development kit starts as it did when first plugged in.
    m_asleep = m_options.asleep;
    m_transcript.event("replugged as " + m_port.devicePath() + (m_asleep ? ", asleep" : ""));
    return "OK " + m_port.devicePath();
}

QString Simulator::doSend(const QStringList& args)
{
    send(args.constFirst());
    return OK;
}

QString Simulator::doAssert(const QStringList& args)
{
    send("+ASSERT=" + args.constFirst());
    m_pending.clear();
    m_firmware->reboot();
    return OK;
}

QString Simulator::doRx(const QStringList& args)
{
    if (!isHex(args.constFirst()))
        return bad(QStringLiteral("rx HEX"));
    send("+RX=" + args.constFirst().toUpper());
    return OK;
}

QString Simulator::doBc(const QStringList& args)
{
    if (!isHex(args.constFirst()))
        return bad(QStringLiteral("bc HEX"));
    send("+BC=" + args.constFirst().toUpper());
    return OK;
}

QString Simulator::doFlood(const QStringList& args)
{
    int perSecond;
    if (!toInt(args.constFirst(), 0, 10000, &perSecond))
        return bad(QStringLiteral("flood N, 0 to 10000 lines per second"));
    m_floodPerSecond = perSecond;
    if (perSecond == 0) {
        m_floodTimer.stop();
        return OK;
    }
    const int interval = qMax(10, 1000 / perSecond);
    m_floodPerTick = qMax(1, perSecond * interval / 1000);
    m_floodTimer.start(interval);
    return OK;
}

QString Simulator::doState(const QStringList&)
{
    QStringList injected;
    for (auto it = m_injectedErrors.cbegin(); it != m_injectedErrors.cend(); ++it)
        injected << it.key() + '=' + QString::number(it.value());
    for (const QString& cmd : m_ignoredSets)
        injected << cmd + "=ignored";
    for (const QString& cmd : m_mutedWords)
        injected << cmd + "=muted";
    injected.sort();
    return "OK " + variantName(m_options.variant) + (m_asleep ? " asleep" : " awake")
        + (m_muted ? " muted" : "") + " latency=" + QString::number(m_latencyMs)
        + " flood=" + QString::number(m_floodPerSecond)
        + " device=" + (m_port.isOpen() ? m_port.devicePath() : QStringLiteral("none"))
        + (injected.isEmpty() ? QString() : " errors=" + injected.join(','));
}

QString Simulator::doHelp(const QStringList&)
{
    QStringList names;
    for (const ControlCommand& c : controlCommands())
        names << QLatin1String(c.name);
    return "OK " + names.join(' ');
}
