#pragma once

#include <QObject>

// Send each payload `redundancy` times, `delay` seconds apart, then wait
// `period` minutes before the next payload's burst.
class PeriodicProfile : public QObject {
    Q_OBJECT
    Q_PROPERTY(quint8 period READ period WRITE setPeriod NOTIFY periodChanged)
    Q_PROPERTY(quint8 redundancy READ redundancy WRITE setRedundancy NOTIFY redundancyChanged)
    Q_PROPERTY(quint8 delay READ delay WRITE setDelay NOTIFY delayChanged)

public:
    static constexpr quint8 DEFAULT_PERIOD = 5;
    static constexpr quint8 DEFAULT_REDUNDANCY = 4;
    static constexpr quint8 DEFAULT_DELAY = 60;

    explicit PeriodicProfile(QObject* parent = nullptr);

    quint8 period() const { return m_period; }
    quint8 redundancy() const { return m_redundancy; }
    quint8 delay() const { return m_delay; }

public slots:
    void setPeriod(quint8 period);
    void setRedundancy(quint8 redundancy);
    void setDelay(quint8 delay);

signals:
    void periodChanged();
    void redundancyChanged();
    void delayChanged();

private:
    quint8 m_period = DEFAULT_PERIOD;
    quint8 m_redundancy = DEFAULT_REDUNDANCY;
    quint8 m_delay = DEFAULT_DELAY;
};
