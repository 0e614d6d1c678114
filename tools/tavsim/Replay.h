#pragma once

#include "ReplayScript.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

// Plays a recorded session back: each request gets the lines the log
// recorded after the same request, each at its recorded delay; the lines of
// the log's opening come once a program opens the device. Lines still
// waiting when the next request comes go out before that request's answer,
// as they did in the log.
class Replay : public QObject {
    Q_OBJECT

public:
    // The unknown-command code of +ERROR=, for a request the log does not hold.
    static constexpr int UNKNOWN_COMMAND = 6;
    // A log larger than that is refused rather than read into memory.
    static constexpr qint64 MAX_FILE_BYTES = 64 * 1024 * 1024;
    static constexpr int OPENING_DELAY_MS = 100;

    explicit Replay(QObject* parent = nullptr);

    bool load(const QString& path, QString* error);
    // A program opened the device.
    void opened();
    // `alreadyWaitedMs` of the recorded delays have passed (the answer latency).
    void request(const QString& line, int alreadyWaitedMs);

signals:
    void send(const QString& line);
    // A request that no request of the log resembles.
    void unknownRequest(const QString& line);

private:
    void queue(const QList<ReplayScript::Line>& lines, int alreadyWaitedMs);
    void sendDue();
    void sendAll();

    struct Due {
        qint64 atMs;
        QString text;
    };

    ReplayScript m_script;
    QList<Due> m_due;
    QElapsedTimer m_clock;
    QTimer m_timer;
    bool m_openingPlayed = false;
};
