#include "LogFile.h"

#include "Logger.h"

#include <QDebug>

#include <chrono>

LogFile::LogFile(QObject* parent)
    : QObject(parent)
{
}

LogFile::~LogFile()
{
    close();
}

bool LogFile::open(const QString& path, QString* error)
{
    close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (error)
            *error = m_file.errorString();
        return false;
    }
    m_closing = false;
    m_writeError.clear();
    m_droppedTotal = 0;
    m_droppedSinceNote = 0;
    m_thread = std::thread([this]() { run(); });
    return true;
}

void LogFile::follow(Logger* logger)
{
    connect(logger, &Logger::logCreated, this, &LogFile::append);
}

void LogFile::append(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_thread.joinable() || m_closing)
        return;
    if (m_pending.size() + bytes.size() > MAX_PENDING_BYTES) {
        ++m_droppedTotal;
        ++m_droppedSinceNote;
        return;
    }
    noteDroppedLines();
    m_pending += bytes;
    if (m_writerIdle)
        m_wake.notify_one();
}

void LogFile::close()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        noteDroppedLines();
        m_closing = true;
        m_wake.notify_one();
    }
    m_thread.join();
    m_file.close();
}

// Under the lock: the file says how many lines it lost, where it lost them.
void LogFile::noteDroppedLines()
{
    if (m_droppedSinceNote == 0)
        return;
    m_pending += QByteArray::number(m_droppedSinceNote) + " log lines not written: the log file could not keep up\n";
    m_droppedSinceNote = 0;
}

QString LogFile::writeError() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_writeError;
}

quint64 LogFile::droppedLines() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_droppedTotal;
}

void LogFile::run()
{
    bool failed = false;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        while (m_pending.isEmpty() && !m_closing) {
            m_writerIdle = true;
            m_wake.wait(lock);
            m_writerIdle = false;
        }
        if (m_pending.isEmpty())
            break;
        QByteArray batch;
        batch.swap(m_pending);
        lock.unlock();
        const bool written = m_file.write(batch) == batch.size() && m_file.flush();
        const QString reason = written ? QString() : m_file.errorString();
        // Said once: a full disk would say it for every batch.
        if (!written && !failed)
            qCritical().noquote() << "Unable to write the log file" << m_file.fileName() + ":" << reason;
        lock.lock();
        if (!written && !failed) {
            m_writeError = reason;
            emit writeFailed(reason);
        }
        failed = failed || !written;
        // Lines gather for a while before the next write: a chatty module
        // would otherwise wake this thread, and take the CPU from the
        // window, for every line.
        if (!m_closing)
            m_wake.wait_for(lock, std::chrono::milliseconds(GATHER_MS));
    }
}
