#include "Replay.h"

#include <QFile>

Replay::Replay(QObject* parent)
    : QObject(parent)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Replay::sendDue);
}

bool Replay::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = path + ": " + file.errorString();
        return false;
    }
    if (file.size() > MAX_FILE_BYTES) {
        *error = path + ": larger than " + QString::number(MAX_FILE_BYTES / (1024 * 1024)) + " MiB, not replayed";
        return false;
    }
    QString why;
    if (!m_script.parse(QString::fromUtf8(file.read(MAX_FILE_BYTES)), &why)) {
        *error = path + ": " + why;
        return false;
    }
    return true;
}

void Replay::opened()
{
    // The opening came after the port was opened in the log; a program
    // that opens the device again later does not see it twice.
    if (m_openingPlayed)
        return;
    m_openingPlayed = true;
    // The log does not say how long after the open they came: soon, once
    // the program reads the device.
    queue(m_script.opening(), -OPENING_DELAY_MS);
}

void Replay::request(const QString& line, int alreadyWaitedMs)
{
    if (line.trimmed().isEmpty())
        return;
    sendAll();
    const ReplayScript::Exchange* exchange = m_script.answer(line);
    if (!exchange) {
        emit unknownRequest(line);
        emit send("+ERROR=" + QString::number(UNKNOWN_COMMAND));
        return;
    }
    queue(exchange->lines, alreadyWaitedMs);
}

void Replay::queue(const QList<ReplayScript::Line>& lines, int alreadyWaitedMs)
{
    const qint64 now = m_clock.elapsed();
    for (const ReplayScript::Line& l : lines)
        m_due.append({now + qMax(0, l.delayMs - alreadyWaitedMs), l.text});
    sendDue();
}

void Replay::sendDue()
{
    const qint64 now = m_clock.elapsed();
    while (!m_due.isEmpty() && m_due.constFirst().atMs <= now)
        emit send(m_due.takeFirst().text);
    if (!m_due.isEmpty())
        m_timer.start(int(m_due.constFirst().atMs - now));
}

void Replay::sendAll()
{
    m_timer.stop();
    while (!m_due.isEmpty())
        emit send(m_due.takeFirst().text);
}
