#pragma once

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTimer>

class QQuickWindow;

// Watches how regularly a window shows its frames, for soak runs: named by
// TAV_FRAME_REPORT, off otherwise. Qt Quick draws only when something changed,
// so the report asks for a frame every FRAME_REQUEST_MS; an interval between
// two frames much longer than that is time in which the window could show
// nothing new, because the GUI thread (or the render thread) was busy. Such
// an interval over STALL_MS is a stall. How late the requests themselves
// come tells whether the GUI thread was the busy one (a late request) or the
// drawing (a request on time, its frame late). The file is rewritten every
// WRITE_INTERVAL_MS, from a thread of its own so that a slow disk never holds
// up the window being measured, and at the end.
class FrameReport : public QObject {
    Q_OBJECT

public:
    static constexpr const char* ENV = "TAV_FRAME_REPORT";
    static constexpr int FRAME_REQUEST_MS = 50;
    static constexpr int STALL_MS = 100;
    // Loading the window's pages takes a while; the run starts after it.
    static constexpr int WARM_UP_MS = 1000;
    static constexpr int WRITE_INTERVAL_MS = 2000;
    static constexpr int MAX_LISTED_STALLS = 100;

    FrameReport(QQuickWindow* window, const QString& path, QObject* parent = nullptr);
    ~FrameReport() override;

    quint64 frames() const;
    double maxIntervalMs() const;
    quint64 stalls() const;
    // The longest delay of a frame request beyond its due time.
    double maxRequestLagMs() const;
    // "frames N", "max_interval_ms X", "stalls N", "max_request_lag_ms X", then
    // "stall <UTC time> <ms>" lines.
    QString text() const;
    bool write() const;

signals:
    void stopWriter(QPrivateSignal);

private:
    void onFrameSwapped();
    void requestFrame();

    QQuickWindow* m_window;
    QString m_path;
    QTimer m_requestTimer;
    QThread* m_writer = nullptr;
    QAtomicInt m_stopping = 0;
    QElapsedTimer m_clock;

    // Frames may be swapped on the render thread.
    mutable QMutex m_mutex;
    qint64 m_firstFrameNs = -1;
    qint64 m_lastFrameNs = -1;
    quint64 m_frames = 0;
    qint64 m_maxIntervalNs = 0;
    quint64 m_stalls = 0;
    QStringList m_stallList;
    qint64 m_lastRequestNs = -1;
    qint64 m_maxRequestLagNs = 0;
};
