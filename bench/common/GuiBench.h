#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class QQmlApplicationEngine;
class QQuickWindow;
class SimulatorProcess;
class TavManager;

// What the window benchmarks share: the window loaded as the application
// loads it, the manager singleton, a connection to the simulator, the
// resident memory, and frame intervals.
namespace GuiBench {

// Points the settings store and the QML cache at `dir`, so that a run
// neither reads nor changes the user's own. Call before the application
// object exists.
void isolateUserFiles(const QString& dir);

// The main window of the module com.norvane.qml (MAIN_QML) with the
// application's types and singletons, or null when it does not load.
QQuickWindow* loadMainWindow(QQmlApplicationEngine& engine);

TavManager* manager(QQmlApplicationEngine& engine);

// Starts the simulator and connects the manager to it, pressing the
// kit's wake-up button when the manager asks for it. False on failure,
// with the reason on standard error.
bool connectTo(TavManager* manager, SimulatorProcess& sim, int module);

// Runs the event loop for `ms`.
void settle(int ms);

// VmRSS of this process, in MiB.
double residentMb();

double median(QList<double> values);

// Intervals between frames of a window, kept rendering all the time so that
// an interval only grows when the thread that renders is busy elsewhere.
class FrameClock : public QObject {
    Q_OBJECT
public:
    explicit FrameClock(QQuickWindow* window);
    void restart();
    double maxIntervalMs() const { return m_maxNs / 1e6; }
    int frames() const { return m_frames; }

private:
    void onFrame();

    QQuickWindow* m_window;
    QElapsedTimer m_sinceLast;
    qint64 m_maxNs = 0;
    int m_frames = 0;
};

} // namespace GuiBench
