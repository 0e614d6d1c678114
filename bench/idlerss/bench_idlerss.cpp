// Resident memory of the window connected to a simulated TREKON, once the
// connection has settled: the same start-up as the application, the
// connection made through the manager singleton the pages use, then the
// event loop left to run (frames, page change, timers) before VmRSS is read.
// Prints the figure in MiB on its last line.
#include "GuiBench.h"
#include "SimulatorProcess.h"
#include "manager/TavManager.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QTemporaryDir home;
    GuiBench::isolateUserFiles(home.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int settleMs = argc > 1 ? QString(argv[1]).toInt() : 5000;

    QQmlApplicationEngine engine;
    QQuickWindow* window = GuiBench::loadMainWindow(engine);
    if (!window)
        return 1;
    GuiBench::settle(500);
    QTextStream out(stdout);
    out << "before connecting: " << QString::number(GuiBench::residentMb(), 'f', 1) << " MiB\n";

    SimulatorProcess sim({"--module", "TREKON"});
    if (!GuiBench::connectTo(GuiBench::manager(engine), sim, TavBoard::TREKON))
        return 1;
    GuiBench::settle(settleMs);
    out << "idle_rss_mb: " << QString::number(GuiBench::residentMb(), 'f', 1) << "\n";
    return 0;
}
