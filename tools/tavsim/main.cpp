// tavsim: one transmitter module on a pseudo-terminal, for tests and demos.
#include "ControlChannel.h"
#include "SignalWatcher.h"
#include "SimOptions.h"
#include "Simulator.h"

#include <QCoreApplication>
#include <QLocalSocket>

#include <cstdio>

namespace {

// Control commands to a running simulator, one per line: written at once, so
// that they run back to back; prints each reply. Exit status 0 when all say OK.
int tell(const SimOptions& options)
{
    QLocalSocket socket;
    socket.connectToServer(options.tellPath);
    if (!socket.waitForConnected(3000)) {
        fprintf(stderr, "tavsim: %s: %s\n", qPrintable(options.tellPath), qPrintable(socket.errorString()));
        return 1;
    }
    QStringList commands;
    for (const QString& line : options.tellCommand.split('\n')) {
        if (!line.trimmed().isEmpty())
            commands << line.trimmed();
    }
    socket.write(commands.join('\n').toUtf8() + '\n');
    bool allOk = true;
    for (qsizetype i = 0; i < commands.size(); ++i) {
        while (!socket.canReadLine() && socket.waitForReadyRead(5000)) { }
        const QString reply = QString::fromUtf8(socket.readLine()).trimmed();
        if (reply.isEmpty()) {
            fprintf(stderr, "tavsim: no reply from %s\n", qPrintable(options.tellPath));
            return 1;
        }
        printf("%s\n", qPrintable(reply));
        allOk = allOk && reply.startsWith(QLatin1String("OK"));
    }
    return allOk ? 0 : 1;
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
