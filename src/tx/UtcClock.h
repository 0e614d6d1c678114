#pragma once

#include <QDateTime>
#include <QObject>

class TxClock;
class TxTimer;

// The UTC time the user sees: the workstation's clock plus a user-set offset.
// The copy shown is refreshed on every tick, once a second.
class UtcClock : public QObject {
    Q_OBJECT

public:
    UtcClock(TxClock& clock, QObject* parent);

    // The time as last refreshed.
    QDateTime shown() const { return m_shown; }
    void refresh();
    qint64 offset() const { return m_offset; }
    void setOffset(qint64 offsetSeconds);
    // Measured from the clock itself, not from the copy shown, so that a
    // schedule is not off by up to a second.
    qint64 msecsTo(const QDateTime& date) const;
    TxClock& clock() const { return m_clock; }

signals:
    void ticked();

private:
    TxClock& m_clock;
    TxTimer* m_tickTimer;
    QDateTime m_shown;
    qint64 m_offset = 0;
};
