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

    explicit Logger(QObject* parent = nullptr);

    void log(const Source& source, const QString& text);
    void setTimestampOffset(const qint64& seconds);
    qint64 timestampOffset() const { return m_timestampOffset; }
    LogModel* history() const { return m_history; }

    // "[hh:mm:ss:zzz] [SRC] text", white space stripped at both ends.
    static QString formatLine(const QDateTime& utc, Source source, const QString& text);

    Q_INVOKABLE void clearLogs();

    // Writes `logs` (or only its AT requests) to the file that `filePath`
    // names, as a local path or a file URL. False when the file could not be
    // opened or not all of the text was written.
    Q_INVOKABLE bool exportLogsToFile(QString filePath, QString logs, bool filterAtCmds);

    // Only the AT requests of `logs`, one per line, without time stamp or tag.
    static QString filterAtCommands(const QString& logs);

    // A local path from either a plain path or a "file:" URL.
    static QString toLocalPath(const QString& pathOrUrl);

signals:
    void logCreated(QString log);
    void logsCleared();

private:
    qint64 m_timestampOffset;
    LogModel* m_history;
};
