#include "UtcClock.h"

#include "TxClock.h"

UtcClock::UtcClock(TxClock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_tickTimer(clock.createTimer(this))
    , m_shown(clock.currentUtc())
{
    connect(m_tickTimer, &TxTimer::timeout, this, &UtcClock::ticked);
    m_tickTimer->start(1000);
}

void UtcClock::refresh()
{
    m_shown = m_clock.currentUtc().addSecs(m_offset);
}

void UtcClock::setOffset(qint64 offsetSeconds)
{
    m_offset = offsetSeconds;
    refresh();
}

qint64 UtcClock::msecsTo(const QDateTime& date) const
{
    return m_clock.currentUtc().addSecs(m_offset).msecsTo(date);
}
