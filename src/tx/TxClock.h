#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

// A timer as the Tx sequence engine sees it. Production timers wrap QTimer;
// virtual timers fire when a test advances virtual time.
class TxTimer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start(int msec) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // Milliseconds until expiry, -1 when not active.
    virtual int remainingTime() const = 0;
    virtual void setSingleShot(bool singleShot) = 0;
    virtual bool isSingleShot() const = 0;
    virtual int interval() const = 0;

signals:
    void timeout();
};

// Where the engine reads the workstation's UTC clock and gets its timers.
class TxClock : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QDateTime currentUtc() const = 0;
    virtual TxTimer* createTimer(QObject* parent) = 0;
    // Processes events while `condition` holds, for at most `maxMsec`.
    virtual void waitWhile(int maxMsec, const std::function<bool()>& condition) = 0;

    // A single-shot timer parented to `parent`, deleted once it has fired.
    void singleShot(int msec, QObject* parent, const std::function<void()>& action);
};

// The workstation clock and QTimer.
class SystemTxClock : public TxClock {
    Q_OBJECT

public:
    using TxClock::TxClock;

    QDateTime currentUtc() const override;
    TxTimer* createTimer(QObject* parent) override;
    void waitWhile(int maxMsec, const std::function<bool()>& condition) override;
};

class VirtualTxTimer;

// Virtual time for tests and simulations: nothing moves until advance() is
// called; timers then fire in order of expiry, ties in the order they were
// armed (as Qt's own timer list does).
class VirtualTxClock : public TxClock {
    Q_OBJECT

public:
    explicit VirtualTxClock(const QDateTime& startUtc, QObject* parent = nullptr);

    QDateTime currentUtc() const override { return m_now; }
    TxTimer* createTimer(QObject* parent) override;
    void waitWhile(int maxMsec, const std::function<bool()>& condition) override;

    // Moves time forward by `msec`, firing every timer that expires on the way.
    void advance(qint64 msec);
    // Moves time to `utc` (never backwards).
    void advanceTo(const QDateTime& utc);
    // Milliseconds elapsed since the clock was created.
    qint64 elapsed() const { return m_origin.msecsTo(m_now); }

private:
    friend class VirtualTxTimer;

    // Fires the earliest timer due no later than `limit`; false when none is.
    bool fireNext(const QDateTime& limit);
    quint64 nextSequence() { return ++m_sequence; }
    void forget(VirtualTxTimer* timer) { m_timers.removeAll(timer); }

    QDateTime m_origin;
    QDateTime m_now;
    quint64 m_sequence = 0;
    QList<VirtualTxTimer*> m_timers;
};

class VirtualTxTimer : public TxTimer {
    Q_OBJECT

public:
    VirtualTxTimer(VirtualTxClock* clock, QObject* parent);
    ~VirtualTxTimer() override;

    void start(int msec) override;
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    int remainingTime() const override;
    void setSingleShot(bool singleShot) override { m_singleShot = singleShot; }
    bool isSingleShot() const override { return m_singleShot; }
    int interval() const override { return m_interval; }

private:
    friend class VirtualTxClock;

    void fire();

    QPointer<VirtualTxClock> m_clock;
    bool m_active = false;
    bool m_singleShot = false;
    int m_interval = 0;
    QDateTime m_due;
    quint64 m_sequence = 0;
};
