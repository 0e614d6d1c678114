#include "GuiBench.h"

#include "SimulatorProcess.h"
#include "manager/TavManager.h"
#include "ui/QmlStartup.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace GuiBench {

void isolateUserFiles(const QString& dir)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir + "/config"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir + "/cache"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir + "/data"));
}

QQuickWindow* loadMainWindow(QQmlApplicationEngine& engine)
{
    // The steps of src/main.cpp before its event loop.
    setApplicationIdentity();
    prepareEngine(engine);
    engine.load(QUrl(MAIN_QML));
    if (engine.rootObjects().isEmpty())
        return nullptr;
    return qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
}

TavManager* manager(QQmlApplicationEngine& engine)
{
    const int type = qmlTypeId("com.norvane.qml", 1, 0, "TavManager");
    return engine.singletonInstance<TavManager*>(type);
}

bool connectTo(TavManager* manager, SimulatorProcess& sim, int module)
{
    QTextStream err(stderr);
    if (!sim.start()) {
        err << "simulator: " << sim.errorString() << "\n";
        return false;
    }
    const auto wake = QObject::connect(manager, &TavManager::userActionRequested,
        [&sim]() { QTimer::singleShot(0, [&sim]() { sim.sendControl("wake"); }); });
    bool connected = false;
    const auto done = QObject::connect(manager, &TavManager::connected, [&connected]() { connected = true; });
    manager->connect(static_cast<TavBoard::Module>(module), sim.portPath(), "Default");
    QObject::disconnect(wake);
    QObject::disconnect(done);
    if (!connected)
        err << "could not connect to the simulator on " << sim.portPath() << "\n";
    return connected;
}

void settle(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(
            QEventLoop::AllEvents, int(qMax<qint64>(1, deadline.remainingTime())));
}

double residentMb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024.0;
    }
    return -1;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

FrameClock::FrameClock(QQuickWindow* window)
    : QObject(window)
    , m_window(window)
{
    // Queued: asking for the next frame from inside the swap of this one
    // would be ignored.
    connect(window, &QQuickWindow::frameSwapped, this, &FrameClock::onFrame, Qt::QueuedConnection);
    restart();
    m_window->update();
}

void FrameClock::restart()
{
    m_sinceLast.start();
    m_maxNs = 0;
    m_frames = 0;
}

void FrameClock::onFrame()
{
    m_maxNs = qMax(m_maxNs, m_sinceLast.nsecsElapsed());
    m_sinceLast.start();
    ++m_frames;
    m_window->update();
}

} // namespace GuiBench
