// tavcli: provisioning and lab automation from a shell, on the same core as
// the window. Every subcommand runs the manager's own operations.
#include "CliSession.h"
#include "ConfigReport.h"
#include "Helper.h"
#include "PayloadModel.h"
#include "PrepassModel.h"
#include "PrepassProfile.h"
#include "SatelliteAopModel.h"
#include "SerialPortManager.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QStringListModel>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalFds[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[0], &byte, 1);
}

struct Command {
    const char* name;
    const char* arguments;
    const char* summary;
    bool needsBoard;
};

const Command kCommands[] = {
    {"ports", "", "List the serial ports the connection page would offer", false},
    {"info", "", "Connect and print the module's identity", true},
    {"get-config", "", "Read the module's whole configuration (--json for JSON)", true},
    {"export-config", "FILE", "Write the configuration an upload would send to FILE", true},
    {"import-config", "FILE", "Apply FILE, then upload it to the module", true},
    {"at", "COMMAND", "Send one AT command as typed and print the answer", true},
    {"aop-download", "", "Fetch the satellites' orbit data and print it", false},
    {"aop-upload", "", "Upload the orbit data and constellation status to the module", true},
    {"next-pass", "", "Ask the module for its next satellite pass", true},
    {"tx", "MESSAGE...", "Run a transmission sequence of the given payloads to its end", true},
};

const Command* findCommand(const QString& name)
{
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString usage()
{
    QString text = "Usage: tavcli [options] COMMAND [arguments]\n\nCommands:\n";
    for (const Command& command : kCommands)
        text += QString("  %1 %2\n      %3\n").arg(command.name, command.arguments, command.summary);
    text += "\nRun 'tavcli COMMAND --help' for the options of one command.\n";
    return text;
}

void addCommonOptions(QCommandLineParser& parser)
{
    parser.addOption({"module", "Module type: TAV1, TAV2, RIX or TREKON.", "type"});
    parser.addOption({"port", "Serial port name or device path.", "path"});
    parser.addOption({"baud", "Baud rate: Default, 9600 or 115200.", "rate", "Default"});
    parser.addOption({"log", "Append the device log to FILE (same lines as the log pane).", "file"});
    parser.addOption({"timeout-scale", "Multiply every request timeout by FACTOR.", "factor", "1"});
    parser.addOption({"quiet", "Print only results and errors."});
}

void addCommandOptions(QCommandLineParser& parser, const QString& command)
{
    if (command == "get-config")
        parser.addOption({"json", "Print the configuration as JSON."});
    if (command == "tx") {
        parser.addOption({"profile", "periodic, prepass or prepass-on-module.", "profile", "periodic"});
        parser.addOption({"repeat", "Number of sequence repetitions.", "n", "1"});
        parser.addOption({"ack", "Ask for an acknowledgement of every payload."});
        parser.addOption({"mail", "Ask for a downlink message."});
        parser.addOption({"important", "Send every payload as important (redundancy 10)."});
        parser.addOption(
            {"csv", "Passes for the prepass profile, exported from the pass-prediction portal.", "file"});
    }
}

int listPorts(CliSession& session)
{
    SerialPortManager ports;
    const QStringList names = ports.portListModel()->stringList();
    QTextStream out(stdout);
    for (const QString& name : names)
        out << name << Qt::endl;
    if (names.isEmpty())
        session.say("No serial port found.");
    return CliSession::EXIT_OK;
}

int printReport(const QJsonObject& report, bool json)
{
    QTextStream out(stdout);
    if (json)
        out << QJsonDocument(report).toJson(QJsonDocument::Indented);
    else
        out << ConfigReport::toText(report);
    out.flush();
    return CliSession::EXIT_OK;
}

int getConfig(CliSession& session, bool json)
{
    TavManager& manager = session.manager();
    // A TREKON reads its whole configuration when it connects.
    if (manager.board()->module() != TavBoard::TREKON)
        manager.getConfig();
    QJsonObject report;
    report["identity"] = ConfigReport::identity(manager);
    report["configuration"] = ConfigReport::configuration(manager);
    report["orbitData"] = ConfigReport::satellites(manager);
    return printReport(report, json);
}

int exportConfig(CliSession& session, const QString& path)
{
    session.clearFailures();
    session.manager().exportConfig(QFileInfo(path).absoluteFilePath());
    if (session.lastProcessingError() || session.lastProcessingMessage() != "Configuration exported!")
        return session.fail(
            session.failureLine().isEmpty() ? session.lastProcessingMessage() : session.failureLine());
    session.say("Configuration written to " + path);
    return CliSession::EXIT_OK;
}

int importConfig(CliSession& session, const QString& path)
{
    TavManager& manager = session.manager();
    session.clearFailures();
    manager.importConfig(QFileInfo(path).absoluteFilePath());
    if (session.lastProcessingError())
        return session.fail(
            session.failureLine().isEmpty() ? session.lastProcessingMessage() : session.failureLine());
    session.say("Configuration read from " + path + ", uploading...");

    session.clearFailures();
    manager.uploadConfig();
    if (session.lastProcessingError())
        return session.fail(
            session.failureLine().isEmpty() ? session.lastProcessingMessage() : session.failureLine());
    if (manager.board()->module() == TavBoard::TREKON && manager.processingData()) {
        session.say("Waiting for the evaluation kit to restore its parameters...");
        if (!session.waitFor([&manager]() { return !manager.processingData(); }, 30000))
            return session.fail(
                session.interrupted() ? "interrupted" : "the evaluation kit did not confirm the upload",
                session.interrupted() ? CliSession::EXIT_INTERRUPTED : CliSession::EXIT_FAILED);
    }
    session.say("Configuration uploaded.");
    return CliSession::EXIT_OK;
}

int customCommand(CliSession& session, const QString& command)
{
    session.clearFailures();
    session.clearReceivedLines();
    const bool ok = session.manager().sendCustomAtCmd(command);
    QTextStream out(stdout);
    for (const QString& line : session.receivedLines())
        out << line << Qt::endl;
    if (!ok)
        return session.fail(session.failureLine().isEmpty() ? "the command failed" : session.failureLine());
    return CliSession::EXIT_OK;
}

int downloadAop(CliSession& session)
{
    PrepassProfile* prepass = session.manager().tx()->prepassProfile();
    QString error;
    QObject::connect(
        prepass, &PrepassProfile::aopDataDownloadFinished, [&error](const QString& e) { error = e; });
    if (!prepass->downloadAopData())
        return session.fail(error.isEmpty() ? "unable to fetch the orbit data" : error);
    return printReport(ConfigReport::satellites(session.manager()), false);
}

int uploadAop(CliSession& session)
{
    session.clearFailures();
    if (!session.manager().setAopDataAndConstellationStatus())
        return session.fail(
            session.failureLine().isEmpty() ? "unable to upload the orbit data" : session.failureLine());
    session.say("Orbit data uploaded.");
    return CliSession::EXIT_OK;
}

int nextPass(CliSession& session)
{
    session.clearFailures();
    const PrepassModel* passes = session.manager().tx()->prepassProfile()->nextPassModel();
    session.manager().getSatelliteNextPass();
    // Without orbit data the manager first tries to fetch it and logs that
    // failure; the module may still predict a pass from what it holds.
    if (passes->rowCount() == 0 || !passes->at(0).start().isValid())
        return session.fail(
            session.failureLine().isEmpty() ? "the module gave no next pass" : session.failureLine());
    return printReport(ConfigReport::nextPass(session.manager()), false);
}

int transmit(CliSession& session, const QCommandLineParser& parser, const QStringList& messages)
{
    if (messages.isEmpty())
        return session.fail("no payload given: tavcli tx MESSAGE...", CliSession::EXIT_USAGE);
    TxManager* tx = session.manager().tx();

    const QString profileText = parser.value("profile");
    TxManager::Profile profile = TxManager::PERIODIC;
    if (profileText == "prepass")
        profile = TxManager::PREPASS;
    else if (profileText == "prepass-on-module")
        profile = TxManager::PREPASS_ON_MODULE;
    else if (profileText != "periodic")
        return session.fail("unknown profile '" + profileText + "'", CliSession::EXIT_USAGE);
    bool repeatOk = false;
    const uint repeat = parser.value("repeat").toUInt(&repeatOk);
    if (!repeatOk || repeat == 0 || repeat > 255)
        return session.fail("--repeat takes a number from 1 to 255", CliSession::EXIT_USAGE);

    tx->setSelectedProfile(profile);
    if (profile == TxManager::PREPASS) {
        if (!parser.isSet("csv"))
            return session.fail("the prepass profile needs --csv FILE", CliSession::EXIT_USAGE);
        QString importError;
        bool imported = false;
        auto connection = QObject::connect(
            tx, qOverload<QString>(&TxManager::loadPrepassDataCompleted), [&](const QString& error) {
                importError = error;
                imported = true;
            });
        tx->importPrepassData(QFileInfo(parser.value("csv")).absoluteFilePath());
        QObject::disconnect(connection);
        if (imported && !importError.isEmpty())
            return session.fail(importError);
    }

    PayloadModel* payloads = tx->payloadListModel();
    while (payloads->rowCount() > 0)
        payloads->remove(0);
    for (const QString& message : messages) {
        tx->addPayloadItem(message);
        const QModelIndex index = payloads->index(payloads->rowCount() - 1);
        payloads->setData(index, parser.isSet("ack"), PayloadModel::OptionAckRole);
        payloads->setData(index, parser.isSet("mail"), PayloadModel::OptionMailRole);
        payloads->setData(index, parser.isSet("important"), PayloadModel::OptionImportantRole);
    }

    bool finished = false;
    QString error;
    QObject::connect(tx, &TxManager::sequenceCompleted, [&finished]() { finished = true; });
    QObject::connect(tx, &TxManager::sequenceStopped, [&finished]() { finished = true; });
    QObject::connect(tx, &TxManager::txErrorOccured, [&](const QString& e) {
        error = e;
        finished = true;
    });
    QObject::connect(&session, &CliSession::logLine, [&session](const QString& line) {
        if (line.contains("successfully transmitted") || line.contains("could not be sent")
            || line.contains("Tx SEQUENCE") || line.contains("A Tx error occured"))
            session.say(line);
    });
    const bool tty = ::isatty(STDOUT_FILENO);
    QObject::connect(tx, &TxManager::timeUntilNextTxChanged, [tx, tty, &session]() {
        if (tty && tx->timeUntilNextTx() > 0)
            session.say(QString("  next transmission in %1 s").arg(tx->timeUntilNextTx()));
    });

    tx->start(static_cast<quint8>(repeat));
    session.waitFor([&finished]() { return finished; }, -1);
    const bool completed = error.isEmpty() && !session.interrupted() && tx->sequenceRunning();
    if (tx->sequenceRunning())
        tx->stop();
    if (session.interrupted())
        return session.fail("interrupted", CliSession::EXIT_INTERRUPTED);
    if (!completed)
        return session.fail(error.isEmpty() ? "the sequence stopped"
                                            : QString(error).replace("\r\n", " ").replace('\n', ' '));
    return CliSession::EXIT_OK;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("TavGUI");
    QCoreApplication::setApplicationVersion("4.0.2");
    QCoreApplication::setOrganizationName("Norvane");
    QCoreApplication::setOrganizationDomain("norvane.com");
    QLoggingCategory::setFilterRules("*.debug=false\n*.info=false\n*.warning=false\n*.critical=false");

    QStringList args = QCoreApplication::arguments();
    QCommandLineParser probe;
    addCommonOptions(probe);
    probe.addHelpOption();
    probe.addVersionOption();
    probe.addPositionalArgument("command", "The command to run.");
    probe.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    probe.parse(args);
    const QString commandName = probe.positionalArguments().value(0);
    const Command* command = findCommand(commandName);

    QTextStream err(stderr);
    if (!command) {
        if (probe.isSet("version")) {
            QTextStream(stdout) << "tavcli 4.0.2" << Qt::endl;
            return 0;
        }
        const bool help = probe.isSet("help") || commandName == "help" || commandName.isEmpty();
        QTextStream out(help ? stdout : stderr);
        out << usage() << "\n" << probe.helpText().section('\n', 3);
        out.flush();
        if (!help)
            err << "tavcli: unknown command '" << commandName << "'" << Qt::endl;
        return help ? 0 : CliSession::EXIT_USAGE;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(command->summary);
    addCommonOptions(parser);
    addCommandOptions(parser, commandName);
    parser.addHelpOption();
    parser.addPositionalArgument(
        commandName, command->summary, QString(command->name) + " " + command->arguments);
    if (!parser.parse(args)) {
        err << "tavcli: " << parser.errorText() << Qt::endl;
        return CliSession::EXIT_USAGE;
    }
    if (parser.isSet("help")) {
        // Usage lines name the tool, not the path it was started from.
        QTextStream(stdout) << parser.helpText().replace(args.constFirst(), "tavcli") << Qt::endl;
        return 0;
    }
    const QStringList positional = parser.positionalArguments().mid(1);

    CliSession::Options options;
    if (parser.isSet("module")) {
        const int module = Helper::strToEnum<TavBoard::Module>(parser.value("module").toUpper());
        if (module <= 0) {
            err << "tavcli: unknown module '" << parser.value("module") << "' (TAV1, TAV2, RIX or TREKON)"
                << Qt::endl;
            return CliSession::EXIT_USAGE;
        }
        options.module = static_cast<TavBoard::Module>(module);
    }
    options.port = parser.value("port");
    options.baud = parser.value("baud");
    options.logPath = parser.value("log");
    options.quiet = parser.isSet("quiet");
    bool scaleOk = false;
    options.timeoutScale = parser.value("timeout-scale").toDouble(&scaleOk);
    if (!scaleOk || options.timeoutScale <= 0) {
        err << "tavcli: --timeout-scale takes a positive number" << Qt::endl;
        return CliSession::EXIT_USAGE;
    }

    const bool needsFile
        = commandName == "export-config" || commandName == "import-config" || commandName == "at";
    if (needsFile && positional.size() != 1) {
        err << "tavcli: " << commandName << " takes one argument: " << command->arguments << Qt::endl;
        return CliSession::EXIT_USAGE;
    }

    CliSession session(options);
    if (!session.openLog())
        return session.fail("unable to open the log file " + options.logPath);

    // Ctrl-C ends waits and sequences cleanly instead of killing the process.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) == 0) {
        auto* notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, [&session]() {
            char byte;
            [[maybe_unused]] const ssize_t n = ::read(g_signalFds[1], &byte, 1);
            session.interrupt();
        });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }

    if (commandName == "ports")
        return listPorts(session);
    if (commandName == "aop-download")
        return downloadAop(session);

    if (command->needsBoard) {
        const int connected = session.connectBoard();
        if (connected != CliSession::EXIT_OK)
            return connected;
    }

    int result = CliSession::EXIT_OK;
    if (commandName == "info")
        result = printReport(ConfigReport::identity(session.manager()), false);
    else if (commandName == "get-config")
        result = getConfig(session, parser.isSet("json"));
    else if (commandName == "export-config")
        result = exportConfig(session, positional.first());
    else if (commandName == "import-config")
        result = importConfig(session, positional.first());
    else if (commandName == "at")
        result = customCommand(session, positional.first());
    else if (commandName == "aop-upload")
        result = uploadAop(session);
    else if (commandName == "next-pass")
        result = nextPass(session);
    else if (commandName == "tx")
        result = transmit(session, parser, positional);

    session.disconnectBoard();
    return result;
}
