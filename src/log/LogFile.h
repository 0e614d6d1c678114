#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

class Logger;

// Appends the lines of the device log to a file, from a thread of its own:
// a write to a busy disk can block for hundreds of milliseconds, which on the
// event loop would freeze the window and the line. Lines wait in a bounded
// buffer; when the disk cannot keep up, the lines beyond it are dropped and
// the file says how many. Closing (or destroying) writes what waits.
class LogFile : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype MAX_PENDING_BYTES = 8 * 1024 * 1024;
    static constexpr int GATHER_MS = 50;

    explicit LogFile(QObject* parent = nullptr);
    ~LogFile() override;

    // Opens `path` for appending and starts the writer; false, with the
    // reason in `error`, when it cannot be opened.
    bool open(const QString& path, QString* error = nullptr);
    bool isOpen() const { return m_thread.joinable(); }
    // Every line `logger` creates from now on goes to the file.
    void follow(Logger* logger);
    void append(const QString& line);
    // Returns once every accepted line is written (or failed to be).
    void close();

    // Lines dropped because the buffer was full, since the file was opened.
    quint64 droppedLines() const;
    // The system's reason for the first write that failed; empty when none.
    QString writeError() const;

signals:
    // The first write that failed, with the system's reason; sent from the
    // writer's thread.
    void writeFailed(const QString& reason);

private:
    void run();
    void noteDroppedLines();

    QFile m_file;
    std::thread m_thread;
    // The standard library's, not Qt's: the thread sanitizer sees these,
    // while Qt's wait condition works inside its uninstrumented library.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    QByteArray m_pending;
    quint64 m_droppedTotal = 0;
    quint64 m_droppedSinceNote = 0;
    bool m_closing = false;
    bool m_writerIdle = false;
    QString m_writeError;
};
