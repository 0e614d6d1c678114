// tavsim: one transmitter module on a pseudo-terminal, for tests and demos.
#include "ControlChannel.h"
#include "SignalWatcher.h"
#include "SimOptions.h"
#include "Simulator.h"

#include <QCoreApplication>
#include <QLocalSocket>

#include <cstdio>

namespace {

// One control command to a running simulator; exit status 0 when it says OK.
int tell(const SimOptions& options)
{
    QLocalSocket socket;
    socket.connectToServer(options.tellPath);
    if (!socket.waitForConnected(3000)) {
        fprintf(stderr, "tavsim: %s: %s\n", qPrintable(options.tellPath), qPrintable(socket.errorString()));
        return 1;
    }
    socket.write(options.tellCommand.toUtf8() + '\n');
    while (!socket.canReadLine() && socket.waitForReadyRead(5000)) { }
    const QString reply = QString::fromUtf8(socket.readLine()).trimmed();
    if (reply.isEmpty()) {
        fprintf(stderr, "tavsim: no reply from %s\n", qPrintable(options.tellPath));
        return 1;
    }
    printf("%s\n", qPrintable(reply));
    return reply.startsWith(QLatin1String("OK")) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavsim"));

    SimOptions options;
    QString message;
    switch (SimOptions::parse(app.arguments(), &options, &message)) {
    case SimOptions::Outcome::HELP: fputs(qPrintable(message), stdout); return 0;
    case SimOptions::Outcome::BAD: fprintf(stderr, "tavsim: %s\n", qPrintable(message)); return 2;
    case SimOptions::Outcome::TELL: return tell(options);
    case SimOptions::Outcome::RUN: break;
    }

    SignalWatcher signalWatcher;
    Simulator simulator(options);
    QString error;
    if (!simulator.start(&error)) {
        fprintf(stderr, "tavsim: %s\n", qPrintable(error));
        return 1;
    }

    ControlChannel control([&simulator](const QString& c) { return simulator.execute(c); });
    if (options.controlPath == QLatin1String("-")) {
        control.listenOnStdin();
        // Whoever drives the simulator through its input is gone: so is the module.
        QObject::connect(&control, &ControlChannel::inputClosed, &app, &QCoreApplication::quit);
    } else if (!options.controlPath.isEmpty() && !control.listenOnSocket(options.controlPath, &error)) {
        fprintf(stderr, "tavsim: %s\n", qPrintable(error));
        simulator.shutDown();
        return 1;
    }

    printf("%s\n", qPrintable(simulator.devicePath()));
    fflush(stdout);

    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &app, &QCoreApplication::quit);
    QObject::connect(&simulator, &Simulator::finished, &app, &QCoreApplication::quit);
    const int code = app.exec();
    simulator.shutDown();
    return code;
}
