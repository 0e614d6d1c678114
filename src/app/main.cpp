#include <QCommandLineParser>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

#include "manager/TavManager.h"
#include "tx/TxManager.h"
#include "tx/TxRecordJournal.h"
#include "ui/FrameReport.h"
#include "ui/LaunchOptions.h"
#include "ui/QmlStartup.h"

namespace {

int g_signalFds[2] = {-1, -1};
volatile sig_atomic_t g_signal = 0;
volatile sig_atomic_t g_sender = 0;

void onSignal(int signal, siginfo_t* info, void*)
{
    g_signal = signal;
    g_sender = info ? info->si_pid : 0;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[0], &byte, 1);
}

// SIGTERM and SIGINT close the window as its close button does, so the
// application saves its settings and shuts down in order.
void closeOnSignal(QQuickWindow* window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window, notifier]() {
        char byte;
        if (::read(g_signalFds[1], &byte, 1) != 1) {
            notifier->setEnabled(false);
            return;
        }
        QTextStream(stderr) << "tavgui: closing on " << (g_signal == SIGINT ? "SIGINT" : "SIGTERM")
                            << " from process " << g_sender << Qt::endl;
        // Nobody is at the window to confirm stopping a running sequence.
        window->setProperty("closeConfirmed", true);
        window->close();
    });
    struct sigaction sa {};
    sa.sa_sigaction = onSignal;
    sa.sa_flags = SA_SIGINFO;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

} // namespace

// The window's campaign survives a crash or a restart: its records are
// appended to a file of the data folder as they happen, and read back here.
static void keepTxRecords(TavManager* manager)
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        + QStringLiteral("/transmissions.jsonl");
    auto* journal = new TxRecordJournal(*manager->tx()->txRecords(), path, manager);
    QObject::connect(journal, &TxRecordJournal::writeFailed, manager,
        [manager](const QString& error) { emit manager->processingDataChanged(error, true); });
    QString error;
    if (!journal->load(&error))
        QTimer::singleShot(0, manager, [manager, error]() { emit manager->processingDataChanged(error, true); });
}

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    setApplicationIdentity();

    QCommandLineParser parser;
    parser.setApplicationDescription("Evaluation and configuration tool for TAV transmitter modules.");
    parser.addHelpOption();
    parser.addVersionOption();
    LaunchOptions::addTo(parser);
    parser.process(app);
    LaunchOptions launch;
    QString error;
    if (!launch.read(parser, &error)) {
        QTextStream(stderr) << "tavgui: " << error << Qt::endl;
        return 2;
    }

    if (!launch.startDemo(&error)) {
        QTextStream(stderr) << "tavgui: " << error << Qt::endl;
        return 1;
    }

    // After the command line: --help and --version end the process there,
    // with no engine left undestroyed.
    QQmlApplicationEngine engine;
    TavManager* manager = nullptr;
    watchManagerCreation([&manager, &launch](TavManager* created) {
        manager = created;
        launch.listDemo(created);
        keepTxRecords(created);
    });

    prepareEngine(engine);

    engine.load(QUrl(MAIN_QML));
    if (engine.rootObjects().isEmpty())
        return -1;
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
    if (window)
        closeOnSignal(window);

    std::unique_ptr<FrameReport> frameReport;
    const QString reportPath = qEnvironmentVariable(FrameReport::ENV);
    if (window && !reportPath.isEmpty())
        frameReport = std::make_unique<FrameReport>(window, reportPath);

    if (!manager) {
        QTextStream(stderr) << "tavgui: the window did not create its manager" << Qt::endl;
        return -1;
    }
    if (!launch.apply(manager, &error)) {
        QTextStream(stderr) << "tavgui: " << error << Qt::endl;
        return 2;
    }
    return app.exec();
}
