#include "Simulator.h"

#include "ModuleFirmware.h"
#include "Replay.h"

#include <cstdio>

Simulator::Simulator(const SimOptions& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_port(this)
    , m_asleep(options.asleep)
    , m_latencyMs(options.latencyMs)
{
    ModuleFirmware::Timing timing;
    timing.txDelayMs = options.txDelayMs;
    timing.passInS = options.passInS;
    timing.passDurationS = options.passDurationS;
    m_firmware = new ModuleFirmware(options.variant, timing, this);
    connect(m_firmware, &ModuleFirmware::unsolicited, this, &Simulator::send);

    m_port.setBaudRate(options.baud);
    connect(&m_port, &PtyPort::lineReceived, this, &Simulator::onRequest);

    m_clock.start();
    m_dueTimer.setSingleShot(true);
    m_dueTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_dueTimer, &QTimer::timeout, this, &Simulator::processDue);
    connect(&m_floodTimer, &QTimer::timeout, this, &Simulator::onFlood);

    // The simulated user reacts to the kit going to sleep and to a host
    // opening the device of a sleeping kit (it waits for the button then).
    m_autoWakeTimer.setSingleShot(true);
    connect(&m_autoWakeTimer, &QTimer::timeout, this, [this] {
        if (m_asleep)
            wakeUp();
    });
    connect(&m_port, &PtyPort::attached, this, [this] {
        if (m_asleep)
            scheduleAutoWake();
    });

    if (!options.replayPath.isEmpty()) {
        m_replay = new Replay(this);
        connect(m_replay, &Replay::send, this, &Simulator::send);
        connect(m_replay, &Replay::unknownRequest, this, [this](const QString& line) {
            m_transcript.event("not in the replayed log: " + line);
            fprintf(stderr, "tavsim: not in the replayed log, answered +ERROR=%d: %s\n", Replay::UNKNOWN_COMMAND,
                qPrintable(line));
            fflush(stderr);
        });
        connect(&m_port, &PtyPort::attached, m_replay, &Replay::opened);
    }
}

bool Simulator::start(QString* error)
{
    if (m_replay && !m_replay->load(m_options.replayPath, error))
        return false;
    if (!m_options.transcriptPath.isEmpty() && !m_transcript.open(m_options.transcriptPath, error))
        return false;
    if (!m_port.open(error))
        return false;
    if (!m_options.linkPath.isEmpty() && !m_port.setLink(m_options.linkPath, error)) {
        m_port.hangUp();
        return false;
    }
    return true;
}

void Simulator::fallAsleep()
{
    send(QStringLiteral("TREKON -- SLEEP"));
    m_asleep = true;
    m_pending.clear();
    scheduleAutoWake();
}

void Simulator::wakeUp()
{
    m_autoWakeTimer.stop();
    m_asleep = false;
    m_transcript.event(QStringLiteral("wake-up button pushed"));
    send(QStringLiteral("TREKON -- BUTTON PUSHED"));
}

void Simulator::scheduleAutoWake()
{
    if (m_options.autoWakeMs > 0)
        m_autoWakeTimer.start(m_options.autoWakeMs);
}

void Simulator::shutDown()
{
    m_floodTimer.stop();
    m_autoWakeTimer.stop();
    m_port.hangUp();
}

bool Simulator::isTrekon() const
{
    return m_options.variant == Variant::TREKON;
}

void Simulator::onRequest(const QString& line, bool tooLong)
{
    m_transcript.received(
        tooLong ? line.left(64) + "... (over " + QString::number(PtyPort::MAX_REQUEST) + " bytes)" : line);
    // A sleeping development kit does not see the line at all; a muted
    // module loses it.
    if (m_asleep) {
        m_transcript.event(QStringLiteral("asleep, request ignored"));
        return;
    }
    if (m_muted) {
        m_transcript.event(QStringLiteral("muted, no answer"));
        return;
    }
    m_pending.append({m_clock.elapsed() + m_latencyMs, line, tooLong});
    if (!m_dueTimer.isActive())
        processDue();
}

// Requests are answered one after the other in the order received, each no
// earlier than its latency after arrival.
void Simulator::processDue()
{
    while (!m_pending.isEmpty()) {
        const qint64 wait = m_pending.constFirst().dueMs - m_clock.elapsed();
        if (wait > 0) {
            m_dueTimer.start(int(wait));
            return;
        }
        const Pending p = m_pending.takeFirst();
        if (p.tooLong) {
            send(QStringLiteral("+ERROR=2"));
            continue;
        }
        if (m_mutedWords.contains(ModuleFirmware::wordOf(p.line))) {
            m_transcript.event("request of " + ModuleFirmware::wordOf(p.line) + " unanswered");
            continue;
        }
        const auto injected = m_injectedErrors.constFind(ModuleFirmware::wordOf(p.line));
        if (injected != m_injectedErrors.cend()) {
            send("+ERROR=" + QString::number(injected.value()));
            continue;
        }
        if (m_ignoredSets.contains(ModuleFirmware::wordOf(p.line)) && !p.line.trimmed().endsWith(QLatin1String("=?"))) {
            m_transcript.event("set of " + ModuleFirmware::wordOf(p.line) + " ignored");
            send(QStringLiteral("+OK"));
            continue;
        }
        if (m_replay) {
            m_replay->request(p.line, m_latencyMs);
            continue;
        }
        const QStringList answer = m_firmware->handle(p.line);
        for (const QString& line : answer)
            send(line);
    }
}

void Simulator::send(const QString& line)
{
    m_transcript.sent(line);
    m_port.write(line.toLatin1() + "\r\n");
}

void Simulator::sendBytes(const QByteArray& bytes, const QString& note)
{
    m_transcript.event(note);
    m_port.write(bytes);
}

void Simulator::onFlood()
{
    for (int i = 0; i < m_floodPerTick; ++i)
        send(m_firmware->nextUnsolicitedSample());
}
