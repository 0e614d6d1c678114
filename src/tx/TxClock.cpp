#include "TxClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

class SystemTxTimer : public TxTimer {
public:
    explicit SystemTxTimer(QObject* parent)
        : TxTimer(parent)
        , m_timer(new QTimer(this))
    {
        // Minute-long schedules must not drift by the coarse timer's 5 %.
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, this, &TxTimer::timeout);
    }

    void start(int msec) override { m_timer->start(msec); }
    void stop() override { m_timer->stop(); }
    bool isActive() const override { return m_timer->isActive(); }
    int remainingTime() const override { return m_timer->remainingTime(); }
    void setSingleShot(bool singleShot) override { m_timer->setSingleShot(singleShot); }
    bool isSingleShot() const override { return m_timer->isSingleShot(); }
    int interval() const override { return m_timer->interval(); }

private:
    QTimer* m_timer;
};

} // namespace

void TxClock::singleShot(int msec, QObject* parent, const std::function<void()>& action)
{
    TxTimer* timer = createTimer(parent);
    timer->setSingleShot(true);
    connect(timer, &TxTimer::timeout, timer, [timer, action]() {
        timer->deleteLater();
        action();
    });
    timer->start(msec);
}

QDateTime SystemTxClock::currentUtc() const
{
    return QDateTime::currentDateTimeUtc();
}

TxTimer* SystemTxClock::createTimer(QObject* parent)
{
    return new SystemTxTimer(parent);
}

void SystemTxClock::waitWhile(int maxMsec, const std::function<bool()>& condition)
{
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(maxMsec);
    while (condition() && limit.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

VirtualTxClock::VirtualTxClock(const QDateTime& startUtc, QObject* parent)
    : TxClock(parent)
    , m_origin(startUtc.toUTC())
    , m_now(m_origin)
{
}

TxTimer* VirtualTxClock::createTimer(QObject* parent)
{
    auto* timer = new VirtualTxTimer(this, parent);
    m_timers.append(timer);
    return timer;
}

bool VirtualTxClock::fireNext(const QDateTime& limit)
{
    VirtualTxTimer* next = nullptr;
    for (VirtualTxTimer* timer : std::as_const(m_timers)) {
        if (!timer->m_active || timer->m_due > limit)
            continue;
        if (!next || timer->m_due < next->m_due
            || (timer->m_due == next->m_due && timer->m_sequence < next->m_sequence))
            next = timer;
    }
    if (!next)
        return false;
    m_now = next->m_due;
    next->fire();
    QCoreApplication::processEvents();
    return true;
}

void VirtualTxClock::advance(qint64 msec)
{
    const QDateTime target = m_now.addMSecs(qMax<qint64>(0, msec));
    while (fireNext(target)) { }
    m_now = target;
    QCoreApplication::processEvents();
}

void VirtualTxClock::advanceTo(const QDateTime& utc)
{
    advance(m_now.msecsTo(utc.toUTC()));
}

void VirtualTxClock::waitWhile(int maxMsec, const std::function<bool()>& condition)
{
    const QDateTime deadline = m_now.addMSecs(qMax(0, maxMsec));
    QCoreApplication::processEvents();
    while (condition()) {
        if (!fireNext(deadline)) {
            m_now = deadline;
            break;
        }
    }
}

VirtualTxTimer::VirtualTxTimer(VirtualTxClock* clock, QObject* parent)
    : TxTimer(parent)
    , m_clock(clock)
{
}

VirtualTxTimer::~VirtualTxTimer()
{
    if (m_clock)
        m_clock->forget(this);
}

void VirtualTxTimer::start(int msec)
{
    if (!m_clock)
        return;
    m_interval = qMax(0, msec);
    m_due = m_clock->currentUtc().addMSecs(m_interval);
    m_sequence = m_clock->nextSequence();
    m_active = true;
}

int VirtualTxTimer::remainingTime() const
{
    if (!m_active || !m_clock)
        return -1;
    return static_cast<int>(qMax<qint64>(0, m_clock->currentUtc().msecsTo(m_due)));
}

void VirtualTxTimer::fire()
{
    if (m_singleShot) {
        m_active = false;
    } else {
        // A repeating timer of 0 ms would never let time move on.
        m_due = m_due.addMSecs(qMax(1, m_interval));
        m_sequence = m_clock->nextSequence();
    }
    emit timeout();
}
