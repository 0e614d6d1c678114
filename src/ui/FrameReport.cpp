#include "FrameReport.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QMutexLocker>
#include <QQuickWindow>

#include <cstdio>

FrameReport::FrameReport(QQuickWindow* window, const QString& path, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_path(path)
{
    m_clock.start();
    connect(window, &QQuickWindow::frameSwapped, this, &FrameReport::onFrameSwapped, Qt::DirectConnection);
    connect(&m_requestTimer, &QTimer::timeout, this, &FrameReport::requestFrame);
    m_requestTimer.setTimerType(Qt::PreciseTimer);
    m_requestTimer.start(FRAME_REQUEST_MS);
    // The timer lives and dies in the writer's own thread.
    m_writer = QThread::create([this] {
        QTimer timer;
        timer.callOnTimeout([this] { write(); });
        timer.start(WRITE_INTERVAL_MS);
        QEventLoop loop;
        connect(this, &FrameReport::stopWriter, &loop, &QEventLoop::quit);
        if (!m_stopping.loadAcquire())
            loop.exec();
    });
    m_writer->setObjectName(QStringLiteral("FrameReport"));
    m_writer->start();
}

FrameReport::~FrameReport()
{
    disconnect(m_window, nullptr, this, nullptr);
    m_stopping.storeRelease(1);
    emit stopWriter(QPrivateSignal());
    m_writer->wait();
    delete m_writer;
    write();
}

void FrameReport::onFrameSwapped()
{
    const qint64 now = m_clock.nsecsElapsed();
    QMutexLocker lock(&m_mutex);
    if (m_firstFrameNs < 0)
        m_firstFrameNs = now;
    if (now - m_firstFrameNs < qint64(WARM_UP_MS) * 1000000) {
        m_lastFrameNs = now;
        return;
    }
    ++m_frames;
    const qint64 interval = now - m_lastFrameNs;
    m_lastFrameNs = now;
    m_maxIntervalNs = qMax(m_maxIntervalNs, interval);
    if (interval > qint64(STALL_MS) * 1000000) {
        ++m_stalls;
        if (m_stallList.size() < MAX_LISTED_STALLS)
            m_stallList << QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) + ' '
                    + QString::number(interval / 1e6, 'f', 1);
    }
}

void FrameReport::requestFrame()
{
    const qint64 now = m_clock.nsecsElapsed();
    {
        QMutexLocker lock(&m_mutex);
        if (m_lastRequestNs >= 0 && m_firstFrameNs >= 0 && now - m_firstFrameNs >= qint64(WARM_UP_MS) * 1000000)
            m_maxRequestLagNs = qMax(m_maxRequestLagNs, now - m_lastRequestNs - qint64(FRAME_REQUEST_MS) * 1000000);
        m_lastRequestNs = now;
    }
    m_window->update();
}

double FrameReport::maxRequestLagMs() const
{
    QMutexLocker lock(&m_mutex);
    return m_maxRequestLagNs / 1e6;
}

quint64 FrameReport::frames() const
{
    QMutexLocker lock(&m_mutex);
    return m_frames;
}

double FrameReport::maxIntervalMs() const
{
    QMutexLocker lock(&m_mutex);
    return m_maxIntervalNs / 1e6;
}

quint64 FrameReport::stalls() const
{
    QMutexLocker lock(&m_mutex);
    return m_stalls;
}

QString FrameReport::text() const
{
    QMutexLocker lock(&m_mutex);
    QString text = QString("frames %1\nmax_interval_ms %2\nstalls %3\nmax_request_lag_ms %4\n")
                       .arg(m_frames)
                       .arg(m_maxIntervalNs / 1e6, 0, 'f', 1)
                       .arg(m_stalls)
                       .arg(m_maxRequestLagNs / 1e6, 0, 'f', 1);
    for (const QString& stall : m_stallList)
        text += "stall " + stall + '\n';
    return text;
}

bool FrameReport::write() const
{
    // Replaced whole by a rename, so that a reader never sees half a report.
    // No QSaveFile: its sync to disk blocked the GUI thread for 200 ms at
    // times, the very stalls this report looks for.
    const QString temporary = m_path + QStringLiteral(".part");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    const QByteArray bytes = text().toUtf8();
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(m_path).constData()) == 0;
}
