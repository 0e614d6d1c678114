// Lines per second the log pane takes with no frame interval over 100 ms.
// The window is the application's, connected to a simulated TREKON, on its
// log tab, with a full history (100,000 lines by default) and a search
// active; lines go through the manager's Logger as received lines do. The
// window is kept rendering all the time, so an interval only grows when the
// GUI thread is busy. Rates climb until one fails (a frame interval over
// 100 ms, a line lost, or the feed falling behind), a failed rate is tried
// once more, and the gap to the last rate that held is then halved a few
// times. Prints the highest rate that held on its last line.
#include "GuiBench.h"
#include "SimulatorProcess.h"
#include "log/LogModel.h"
#include "log/LogSearch.h"
#include "log/LogViewModel.h"
#include "manager/TavManager.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <ctime>

namespace {

constexpr double kMaxFrameIntervalMs = 100.0;
constexpr int kMinimumRate = 500;

struct Step {
    double maxIntervalMs = 0;
    int frames = 0;
    qint64 sent = 0;
    qint64 taken = 0;
    double achievedRate = 0;
    double busyShare = 0; // processor time of the GUI thread over wall-clock time
    bool held = false;
};

double threadCpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

class LogPaneRig {
public:
    LogPaneRig(QQuickWindow* window, TavManager* manager, LogViewModel* pane)
        : m_manager(manager)
        , m_clock(window)
    {
        // What the pane took: the rows its model added.
        QObject::connect(pane, &QAbstractItemModel::rowsInserted,
            [this](const QModelIndex&, int first, int last) { m_taken += last - first + 1; });
    }

    // Fills the history at once, as a long session would have.
    void fill(int lines)
    {
        for (int n = 0; n < lines; ++n)
            m_manager->logger()->log(Logger::TRK, line(n));
        m_manager->logger()->history()->flush();
    }

    // Feeds `rate` lines a second for `ms`, then lets the pane take the last
    // batch, and reports what the frames and the pane saw.
    Step run(int rate, int ms)
    {
        Step step;
        const qint64 before = m_taken;
        QElapsedTimer elapsed;
        QTimer feed;
        feed.setTimerType(Qt::PreciseTimer);
        feed.setInterval(5);
        QObject::connect(&feed, &QTimer::timeout, [&]() {
            const qint64 due = qint64(double(rate) * elapsed.nsecsElapsed() / 1e9);
            for (; step.sent < due; ++step.sent)
                m_manager->logger()->log(Logger::TRK, line(step.sent));
        });
        m_clock.restart();
        const double cpuStart = threadCpuSeconds();
        elapsed.start();
        feed.start();
        GuiBench::settle(ms);
        feed.stop();
        const double seconds = elapsed.nsecsElapsed() / 1e9;
        // The pane adds what it holds ten times a second.
        GuiBench::settle(250);
        step.maxIntervalMs = m_clock.maxIntervalMs();
        step.frames = m_clock.frames();
        step.taken = m_taken - before;
        step.achievedRate = step.sent / seconds;
        step.busyShare = (threadCpuSeconds() - cpuStart) / (elapsed.nsecsElapsed() / 1e9);
        step.held = step.maxIntervalMs <= kMaxFrameIntervalMs && step.taken == step.sent
            && step.achievedRate >= 0.95 * rate;
        return step;
    }

private:
    static QString line(qint64 n)
    {
        // A received answer of typical length, different every time.
        return "+AOP=" + QString::number(n % 7 + 1, 16).toUpper() + ",2026-12-8T10:0:0Z,7180.5,98.5,-60.2,"
            + QString::number(n % 360) + ".3,100.6,-0.1";
    }

    TavManager* m_manager;
    qint64 m_taken = 0;
    GuiBench::FrameClock m_clock;
};

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir home;
    GuiBench::isolateUserFiles(home.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Seconds per rate, the highest rate to try and the history's size (a
    // smoke run uses small ones).
    const double stepSeconds = argc > 1 ? QString(argv[1]).toDouble() : 3.0;
    const int ceiling = argc > 2 ? QString(argv[2]).toInt() : 256000;
    const int historyLines = argc > 3 ? QString(argv[3]).toInt() : LogModel::DEFAULT_MAX_LINES;
    const int stepMs = qMax(100, int(stepSeconds * 1000));

    QQmlApplicationEngine engine;
    QQuickWindow* window = GuiBench::loadMainWindow(engine);
    if (!window)
        return 1;
    TavManager* manager = GuiBench::manager(engine);
    SimulatorProcess sim({"--module", "TREKON"});
    if (!GuiBench::connectTo(manager, sim, TavBoard::TREKON))
        return 1;

    // To the log tab of the settings page, as the top bar's button and the tab do.
    QObject* topBar = window->findChild<QObject*>("topBar");
    QObject* settingsPage = topBar ? topBar->property("settingsPage").value<QObject*>() : nullptr;
    QObject* logFrame = window->findChild<QObject*>("logFrame");
    if (!settingsPage || !logFrame) {
        QTextStream(stderr) << "the window has no settings page or log pane\n";
        return 1;
    }
    QMetaObject::invokeMethod(topBar, "toggleSettings");
    QMetaObject::invokeMethod(settingsPage, "showTab", Q_ARG(QVariant, 3));
    GuiBench::settle(1000);
    if (!logFrame->property("visible").toBool()) {
        QTextStream(stderr) << "the log pane is not shown\n";
        return 1;
    }

    auto* pane = logFrame->property("model").value<LogViewModel*>();
    if (!pane) {
        QTextStream(stderr) << "the log pane has no model\n";
        return 1;
    }
    manager->logger()->history()->setMaxLines(historyLines);
    LogPaneRig rig(window, manager, pane);
    rig.fill(historyLines);
    // A search whose matches come with the lines: one in seven.
    pane->search()->setText(QStringLiteral("+AOP=3,"));
    GuiBench::settle(500);
    QTextStream out(stdout);
    auto report = [&out](int rate, const Step& s) {
        out << rate << " lines/s: " << s.sent << " sent, " << s.taken << " taken by the pane, " << s.frames
            << " frames, max interval " << QString::number(s.maxIntervalMs, 'f', 1) << " ms, GUI thread busy "
            << qRound(s.busyShare * 100) << " % -> " << (s.held ? "held" : "failed") << "\n";
        out.flush();
    };
    auto holds = [&](int rate) {
        Step s = rig.run(rate, stepMs);
        report(rate, s);
        if (!s.held) {
            // One more try: the machine is shared and a single stall may not be ours.
            s = rig.run(rate, stepMs);
            report(rate, s);
        }
        return s.held;
    };

    // The history is full: from here on every line added drops one.
    QTextStream(stdout) << manager->logger()->history()->count() << " lines in the history, "
                        << pane->search()->count() << " matches\n";

    int held = 0;
    int failed = 0;
    for (int rate = kMinimumRate; rate <= ceiling; rate *= 2) {
        if (!holds(rate)) {
            failed = rate;
            break;
        }
        held = rate;
    }
    for (int i = 0; i < 3 && failed > 0 && held > 0 && failed - held > held / 8; ++i) {
        const int rate = (held + failed) / 2;
        (holds(rate) ? held : failed) = rate;
    }
    if (held < kMinimumRate)
        out << "not even the minimum of " << kMinimumRate << " lines/s held\n";
    out << "log_pane_lines_per_s: " << held << "\n";
    return 0;
}
