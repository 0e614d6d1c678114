#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// The module's radio: one message on the air at a time, each taking the
// configured transmit time, and the result reported afterwards as
// +TX=<status>,<data>. Messages given with TXDATA wait in a queue (the FIFO)
// for their slot; those given with TX are sent at once and not queued.
class Transmitter : public QObject {
    Q_OBJECT

public:
    static constexpr int FIFO_CAPACITY = 8;

    Transmitter(int txDelayMs, QObject* parent = nullptr);

    void setTxDelay(int ms) { m_txDelayMs = ms; }
    // Status reported in the results; 0 is success, a transceiver error code otherwise.
    void setResultStatus(int status) { m_resultStatus = status; }
    // Every `every`-th result reports `status` (0: off); every `drop`-th
    // result is never reported (0: off), as when the radio hangs.
    void setFailEvery(int every, int status) { m_failEvery = every; m_failStatus = status; }
    void setDropEvery(int drop) { m_dropEvery = drop; }

    void sendNow(const QString& data) { sendAt(data, 0); }
    // Sends a message, not queued, no earlier than `notBeforeMs` from now.
    void sendAt(const QString& data, qint64 notBeforeMs);
    // Queues a message that goes on the air no earlier than `notBeforeMs` from
    // now; false when the queue holds only messages still waiting.
    bool enqueue(const QString& data, uint attribute, qint64 notBeforeMs);
    // Empties the queue; messages not yet sent from it are dropped.
    void flush();
    // Forgets everything, as after a reboot.
    void reset();

    QStringList fifoLines() const;

signals:
    void resultReady(const QString& line);

private:
    struct Entry {
        quint64 serial;
        QString data;
        uint attribute;
        bool sent;
    };
    struct Job {
        qint64 dueMs;
        QString data;
        quint64 fifoSerial; // 0 for a message sent with TX
    };

    void schedule(const QString& data, quint64 fifoSerial, qint64 notBeforeMs);
    void onDue();
    void arm();

    int m_txDelayMs;
    int m_resultStatus = 0;
    int m_failEvery = 0;
    int m_failStatus = 0;
    int m_dropEvery = 0;
    quint64 m_results = 0;
    QList<Entry> m_fifo;
    QList<Job> m_jobs; // in due order
    quint64 m_nextSerial = 1;
    qint64 m_busyUntilMs = 0;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
