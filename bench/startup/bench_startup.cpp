// Start of the application to the main window's first frame, offscreen.
// The benchmark starts itself again as the application (--child) several
// times, each with the same settings store and QML cache: the first start
// compiles the QML and has no settings yet, the others find both. Prints
// the median of the later starts on its last line.
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

// The application's start-up, reporting its first frame on standard output.
int runChild(int argc, char* argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    QQuickWindow* window = GuiBench::loadMainWindow(engine);
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

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);

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
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({"--child"});
        QElapsedTimer timer;
        timer.start();
        child.start();
        while (!child.canReadLine() && child.state() != QProcess::NotRunning && timer.elapsed() < 30000)
            child.waitForReadyRead(100);
        const double ms = timer.nsecsElapsed() / 1e6;
        const QString line = QString::fromUtf8(child.readLine()).trimmed();
        if (!line.startsWith("first frame")) {
            QTextStream(stderr) << "run " << run + 1 << ": no first frame: "
                                << QString::fromLocal8Bit(child.readAllStandardError()) << "\n";
            return 1;
        }
        child.waitForFinished(10000);
        out << "run " << run + 1 << (run == 0 ? " (first start)" : "") << ": " << qRound(ms) << " ms, "
            << line << "\n";
        out.flush();
        if (run > 0)
            warm << ms;
    }
    out << "start_to_first_frame_ms: " << qRound(GuiBench::median(warm)) << "\n";
    return 0;
}
