#include "Transmitter.h"

Transmitter::Transmitter(int txDelayMs, QObject* parent)
    : QObject(parent)
    , m_txDelayMs(txDelayMs)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Transmitter::onDue);
}

void Transmitter::sendAt(const QString& data, qint64 notBeforeMs)
{
    schedule(data, 0, notBeforeMs);
}

bool Transmitter::enqueue(const QString& data, uint attribute, qint64 notBeforeMs)
{
    if (m_fifo.size() >= FIFO_CAPACITY) {
        // Messages already sent make room; waiting ones never do.
        const auto sent = std::find_if(m_fifo.begin(), m_fifo.end(), [](const Entry& e) { return e.sent; });
        if (sent == m_fifo.end())
            return false;
        m_fifo.erase(sent);
    }
    const quint64 serial = m_nextSerial++;
    m_fifo.append({serial, data, attribute, false});
    schedule(data, serial, notBeforeMs);
    return true;
}

void Transmitter::schedule(const QString& data, quint64 fifoSerial, qint64 notBeforeMs)
{
    const qint64 now = m_clock.elapsed();
    const qint64 start = qMax(qMax(now, now + notBeforeMs), m_busyUntilMs);
    const qint64 due = start + m_txDelayMs;
    m_busyUntilMs = due;
    auto at = std::upper_bound(
        m_jobs.begin(), m_jobs.end(), due, [](qint64 d, const Job& j) { return d < j.dueMs; });
    m_jobs.insert(at, {due, data, fifoSerial});
    arm();
}

void Transmitter::arm()
{
    if (m_jobs.isEmpty()) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(qMax<qint64>(0, m_jobs.constFirst().dueMs - m_clock.elapsed())));
}

void Transmitter::onDue()
{
    const qint64 now = m_clock.elapsed();
    while (!m_jobs.isEmpty() && m_jobs.constFirst().dueMs <= now) {
        const Job job = m_jobs.takeFirst();
        for (Entry& e : m_fifo) {
            if (e.serial == job.fifoSerial)
                e.sent = true;
        }
        ++m_results;
        if (m_dropEvery > 0 && m_results % quint64(m_dropEvery) == 0)
            continue;
        const int status
            = m_failEvery > 0 && m_results % quint64(m_failEvery) == 0 ? m_failStatus : m_resultStatus;
        // A failed transmission reports its status without data.
        const QString data = status == 0 ? job.data : QString();
        emit resultReady("+TX=" + QString::number(status) + ',' + data);
    }
    arm();
}

void Transmitter::flush()
{
    for (const Entry& e : std::as_const(m_fifo)) {
        m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(),
                         [&e](const Job& j) { return j.fifoSerial == e.serial; }),
            m_jobs.end());
    }
    m_fifo.clear();
    m_busyUntilMs = m_jobs.isEmpty() ? 0 : m_jobs.constLast().dueMs;
    arm();
}

void Transmitter::reset()
{
    m_fifo.clear();
    m_jobs.clear();
    m_busyUntilMs = 0;
    m_timer.stop();
}

QStringList Transmitter::fifoLines() const
{
    QStringList lines;
    for (const Entry& e : m_fifo)
        lines << "+TXFIFO=" + QString(e.sent ? "1" : "0") + ',' + e.data + ",0x"
                + QString::number(e.attribute, 16).toUpper();
    lines << QStringLiteral("+TXFIFO=end");
    return lines;
}
