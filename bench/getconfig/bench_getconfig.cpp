// getConfig of a TREKON over the real serial line to the simulator, paced at
// 115200 baud, against its floor: every byte both ways at 10 bits a byte,
// plus the simulator's answer latency and the manager's 10 ms pause after
// each request. Prints the median ratio on its last line.
#include "SimulatorProcess.h"
#include "manager/TavManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kBaud = 115200;
constexpr double kPauseAfterRequestMs = 10.0;

struct WireCount {
    int requests = 0;
    qint64 requestBytes = 0;
    qint64 answerBytes = 0;
};

// Requests and answer lines since entry `from` of the transcript, each with
// the CR LF that ends it on the wire.
WireCount countWire(const QStringList& entries, qsizetype from)
{
    WireCount count;
    for (qsizetype i = from; i < entries.size(); ++i) {
        const QString& e = entries.at(i);
        // An entry is "< " or "> " and the line: as long as the line and
        // the CR LF after it.
        if (e.startsWith(QLatin1String("< "))) {
            ++count.requests;
            count.requestBytes += e.size();
        } else if (e.startsWith(QLatin1String("> "))) {
            count.answerBytes += e.size();
        }
    }
    return count;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("NorvaneBench");
    QCoreApplication::setApplicationName("bench_getconfig");
    QSettings().clear();
    QLoggingCategory::setFilterRules("*.debug=false\n*.info=false\n*.warning=false");

    const QStringList args = app.arguments();
    const int runs = args.size() > 1 ? args.at(1).toInt() : 9;
    const int latencyMs = args.size() > 2 ? args.at(2).toInt() : 5;

    SimulatorProcess sim(
        {"--module", "TREKON", "--baud", QString::number(kBaud), "--latency", QString::number(latencyMs)});
    if (!sim.start()) {
        QTextStream(stderr) << "simulator: " << sim.errorString() << "\n";
        return 1;
    }

    TavManager manager;
    // The kit waits for its wake-up button once: press it when asked.
    QObject::connect(&manager, &TavManager::userActionRequested,
        [&sim]() { QTimer::singleShot(0, [&sim]() { sim.sendControl("wake"); }); });
    bool connected = false;
    QObject::connect(&manager, &TavManager::connected, [&connected]() { connected = true; });
    manager.connect(TavBoard::TREKON, sim.portPath(), QString::number(kBaud));
    if (!connected) {
        QTextStream(stderr) << "could not connect to the simulated TREKON\n";
        return 1;
    }

    QTextStream out(stdout);
    QList<double> ratios;
    for (int run = 0; run < runs; ++run) {
        const qsizetype from = sim.transcriptEntries().size();
        QElapsedTimer timer;
        timer.start();
        manager.getConfig();
        const double elapsedMs = timer.nsecsElapsed() / 1e6;
        // The transcript is written as the simulator goes: wait until it
        // holds the last answer.
        QThread::msleep(50);
        const WireCount wire = countWire(sim.transcriptEntries(), from);
        const double msPerByte = 10 * 1000.0 / kBaud;
        const double wireMs = (wire.requestBytes + wire.answerBytes) * msPerByte;
        const double floorMs = wireMs + wire.requests * (latencyMs + kPauseAfterRequestMs);
        const double ratio = elapsedMs / floorMs;
        ratios << ratio;
        // The simulator paces only its answers; against them alone the
        // floor is stricter.
        const double answerFloorMs = floorMs - wire.requestBytes * msPerByte;
        out << "run " << run + 1 << ": " << wire.requests << " requests, " << wire.requestBytes << " + "
            << wire.answerBytes << " bytes, " << qRound(elapsedMs) << " ms, floor " << qRound(floorMs)
            << " ms (wire " << qRound(wireMs) << " ms), ratio " << QString::number(ratio, 'f', 3)
            << ", to the answers-only floor " << QString::number(elapsedMs / answerFloorMs, 'f', 3) << "\n";
        out.flush();
    }
    out << "ratio: " << QString::number(median(ratios), 'f', 3) << "\n";
    return 0;
}
