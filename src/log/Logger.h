#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class LogModel;

// Formats the lines of the device log (requests sent, lines received,
// application messages), hands each one to whoever follows the log (the log
// file) and keeps the recent ones in its history, which the panes show.
class Logger : public QObject {
    Q_OBJECT
    Q_PROPERTY(LogModel* history READ history CONSTANT)

public:
    enum Source { APP, TAV, TRK };
    Q_ENUM(Source)
    // What an application line reports, for a follower that shows how a run
    // goes rather than the whole log: a step of a Tx sequence, the outcome of
    // one Tx, a Tx error answer, the satellites in view, the port lost or
    // connected.
    enum Event { NO_EVENT, TX_SEQUENCE, TX_RESULT, TX_ERROR, SATELLITE_COUNT, PORT_LOST, PORT_CONNECTED };
    Q_ENUM(Event)

    explicit Logger(QObject* parent = nullptr);

    void log(const Source& source, const QString& text);
    void log(const Source& source, const QString& text, Event event);
    void setTimestampOffset(const qint64& seconds);
    qint64 timestampOffset() const { return m_timestampOffset; }
    LogModel* history() const { return m_history; }

    // "[hh:mm:ss:zzz] [SRC] text", white space stripped at both ends.
    static QString formatLine(const QDateTime& utc, Source source, const QString& text);

    Q_INVOKABLE void clearLogs();

    // Writes `logs` (or only its AT requests) to the file that `filePath`
    // names, as a local path or a file URL, whole or not at all. False when
    // it could not be written, with the reason in lastWriteError().
    Q_INVOKABLE bool exportLogsToFile(QString filePath, QString logs, bool filterAtCmds);
    Q_INVOKABLE QString lastWriteError() const { return m_lastWriteError; }

    // Only the AT requests of `logs`, one per line, without time stamp or tag.
    static QString filterAtCommands(const QString& logs);

    // A local path from either a plain path or a "file:" URL.
    static QString toLocalPath(const QString& pathOrUrl);

signals:
    void logCreated(QString log);
    // Right after logCreated, for a line logged with an event.
    void eventLogged(Logger::Event event, const QString& line);
    void logsCleared();

private:
    qint64 m_timestampOffset;
    LogModel* m_history;
    QString m_lastWriteError;
};
