// Start of the application to the main window's first frame, offscreen.
// The benchmark starts itself again as the application (--child) several
// times, each with the same settings store and QML cache: the first start
// compiles the QML and has no settings yet, the others find both. Between
// them it starts a bare window of the same style (--bare: one page, one
// label), the floor any Qt Quick application pays. Prints the medians and
// their ratio, the ratio on the last line.
#include "GuiBench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

// The application's start-up (or, with `bare`, a window of the same style
// and size with one page and one label), reporting its first frame on
// standard output.
int runChild(int argc, char* argv[], bool bare)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    QQuickWindow* window = nullptr;
    if (bare) {
        engine.loadData(
            "import QtQuick\nimport QtQuick.Controls\n"
            "ApplicationWindow { width: 1350; height: 850; visible: true\n"
            "  Page { anchors.fill: parent; Label { anchors.centerIn: parent; text: \"TavGUI\" } } }\n");
        if (!engine.rootObjects().isEmpty())
            window = qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
    } else {
        window = GuiBench::loadMainWindow(engine);
    }
    if (!window)
        return 1;
    QObject::connect(
        window, &QQuickWindow::frameSwapped, &app,
        [&sinceMain]() {
            std::printf("first frame %.1f ms after main\n", sinceMain.nsecsElapsed() / 1e6);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        },
        Qt::DirectConnection);
    return app.exec();
}

// Milliseconds from the start of the child to its first frame; negative
// when it showed none.
double timeChild(const QProcessEnvironment& env, const QString& mode, QString* line)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({mode});
    QElapsedTimer timer;
    timer.start();
    child.start();
    while (!child.canReadLine() && child.state() != QProcess::NotRunning && timer.elapsed() < 30000)
        child.waitForReadyRead(100);
    const double ms = timer.nsecsElapsed() / 1e6;
    *line = QString::fromUtf8(child.readLine()).trimmed();
    if (!line->startsWith("first frame")) {
        *line = QString::fromLocal8Bit(child.readAllStandardError());
        return -1;
    }
    child.waitForFinished(10000);
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && (std::strcmp(argv[1], "--child") == 0 || std::strcmp(argv[1], "--bare") == 0))
        return runChild(argc, argv, std::strcmp(argv[1], "--bare") == 0);

    QCoreApplication app(argc, argv);
    const int runs = qMax(2, argc > 1 ? QString(argv[1]).toInt() : 7);
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_CACHE_HOME", home.filePath("cache"));
    env.insert("XDG_DATA_HOME", home.filePath("data"));

    QTextStream out(stdout);
    QList<double> warm;
    QList<double> bare;
    for (int run = 0; run < runs; ++run) {
        QString line;
        const double ms = timeChild(env, QStringLiteral("--child"), &line);
        QString bareLine;
        const double bareMs = timeChild(env, QStringLiteral("--bare"), &bareLine);
        if (ms < 0 || bareMs < 0) {
            QTextStream(stderr) << "run " << run + 1 << ": no first frame: " << (ms < 0 ? line : bareLine)
                                << "\n";
            return 1;
        }
        out << "run " << run + 1 << (run == 0 ? " (first start)" : "") << ": " << qRound(ms) << " ms, "
            << line << "; bare window " << qRound(bareMs) << " ms\n";
        out.flush();
        if (run > 0) {
            warm << ms;
            bare << bareMs;
        }
    }
    out << "bare_window_first_frame_ms: " << qRound(GuiBench::median(bare)) << "\n";
    out << "start_to_first_frame_ms: " << qRound(GuiBench::median(warm)) << "\n";
    out << "startup_over_bare_window: "
        << QString::number(GuiBench::median(warm) / GuiBench::median(bare), 'f', 2) << "\n";
    return 0;
}
