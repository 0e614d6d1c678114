// tavcli: provisioning and lab automation from a shell, on the same core as
// the window. Every subcommand runs the manager's own operations.
#include "CliCommands.h"
#include "CliSession.h"
#include "DetectCommand.h"
#include "PassesCommand.h"
#include "Provisioner.h"
#include "TavVersion.h"
#include "demo/DemoModules.h"
#include "log/DecimalText.h"
#include "log/Helper.h"
#include "protocol/CommandTable.h"
#include "protocol/VariantCapabilities.h"
#include "serial/SerialPortManager.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalFds[2] = {-1, -1};
volatile std::sig_atomic_t g_signalled = 0;

// The first Ctrl-C asks for a clean end; a second one ends at once.
void onSignal(int)
{
    if (g_signalled)
        ::_exit(130);
    g_signalled = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[0], &byte, 1);
}

struct Invocation;

// When a command runs: before any port is opened, once the port is open
// (the detection drives the line itself), or once the module is connected.
enum class Stage { OFFLINE, PORT, CONNECTED };
enum class Arity { NONE, ONE, MANY };

struct Command {
    const char* name;
    const char* arguments;
    const char* summary;
    // What the argument is, for the command's help; empty when it takes none.
    const char* argumentHelp;
    Arity arity;
    Stage stage;
    int (*run)(CliSession& session, const Invocation& call);
};

// The command line, read and checked.
struct Invocation {
    const Command* command = nullptr;
    const QCommandLineParser* parser = nullptr;
    QStringList positional;
    CliSession::Options options;
    bool autoModule = false;
    CliCommands::TxRequest tx;
    PassesCommand::Request passes;

    bool isSet(const char* option) const { return parser->isSet(QLatin1String(option)); }
    const QString& argument() const { return positional.constFirst(); }
};

int provision(CliSession& session, const QCommandLineParser& parser, const CliSession::Options& options,
    const QString& file);

const Command kCommands[] = {
    {"ports", "", "List the serial ports that --port takes", "", Arity::NONE, Stage::OFFLINE,
        [](CliSession& s, const Invocation& c) { return CliCommands::listPorts(s, c.isSet("details")); }},
    {"info", "", "Connect and print the module's identity (--json for JSON)", "", Arity::NONE,
        Stage::CONNECTED,
        [](CliSession& s, const Invocation& c) { return CliCommands::info(s, c.isSet("json")); }},
    {"detect", "", "Find which module is on --port, with reads only (--json for JSON)", "", Arity::NONE,
        Stage::PORT,
        [](CliSession& s, const Invocation& c) { return DetectCommand::run(s, c.isSet("json")); }},
    {"get-config", "", "Read the module's whole configuration (--json for JSON)", "", Arity::NONE,
        Stage::CONNECTED,
        [](CliSession& s, const Invocation& c) { return CliCommands::getConfig(s, c.isSet("json")); }},
    {"export-config", "FILE", "Write the configuration an upload would send to FILE",
        "The configuration file to write.", Arity::ONE, Stage::CONNECTED,
        [](CliSession& s, const Invocation& c) { return CliCommands::exportConfig(s, c.argument()); }},
    {"import-config", "FILE", "Apply FILE, then upload it to the module (--verify reads it back)",
        "The configuration file to upload.", Arity::ONE, Stage::CONNECTED,
        [](CliSession& s, const Invocation& c) {
            return CliCommands::importConfig(s, c.argument(), c.isSet("verify"));
        }},
    {"diff-config", "FILE", "Print each field where the module differs from FILE",
        "The configuration file to compare with.", Arity::ONE, Stage::CONNECTED,
        [](CliSession& s, const Invocation& c) { return CliCommands::diffConfig(s, c.argument()); }},
    {"provision", "FILE", "Upload FILE to many modules at once and verify each (--ports or --all-ports)",
        "The configuration file every module gets.", Arity::ONE, Stage::OFFLINE,
        [](CliSession& s, const Invocation& c) { return provision(s, *c.parser, c.options, c.argument()); }},
    {"at", "COMMAND", "Send one AT command as typed and print the answer",
        "The AT command, such as 'AT+ID=?'.", Arity::ONE, Stage::CONNECTED,
        [](CliSession& s, const Invocation& c) { return CliCommands::customCommand(s, c.argument()); }},
    {"aop-download", "", "Fetch the satellites' orbit data and print it", "", Arity::NONE, Stage::OFFLINE,
        [](CliSession& s, const Invocation&) { return CliCommands::downloadAop(s); }},
    {"aop-upload", "", "Upload the orbit data and constellation status to the module", "", Arity::NONE,
        Stage::CONNECTED, [](CliSession& s, const Invocation&) { return CliCommands::uploadAop(s); }},
    {"next-pass", "", "Ask the module for its next satellite pass (--json for JSON)", "", Arity::NONE,
        Stage::CONNECTED,
        [](CliSession& s, const Invocation& c) { return CliCommands::nextPass(s, c.isSet("json")); }},
    {"passes", "", "Predict the satellites' passes over a site from orbit data (no module needed)", "",
        Arity::NONE, Stage::OFFLINE,
        [](CliSession& s, const Invocation& c) { return PassesCommand::run(s, c.passes); }},
    {"tx", "MESSAGE...", "Run a transmission sequence of the given payloads to its end",
        "The payloads in hexadecimal, one argument each.", Arity::MANY, Stage::CONNECTED,
        [](CliSession& s, const Invocation& c) { return CliCommands::transmit(s, c.tx); }},
};

// What each child of `provision` runs on its port; not for people to type.
const Command kProvisionPort = {"provision-port", "FILE", "Compare, upload and verify one module",
    "The configuration file.", Arity::ONE, Stage::CONNECTED,
    [](CliSession& s, const Invocation& c) { return CliCommands::provisionPort(s, c.argument()); }};

const Command* findCommand(const QString& name)
{
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return name == QLatin1String(kProvisionPort.name) ? &kProvisionPort : nullptr;
}

QString usage()
{
    QString text = "Usage: tavcli [options] COMMAND [arguments]\n\nCommands:\n";
    for (const Command& command : kCommands)
        text += QString("  %1  %2\n")
                    .arg(QString("%1 %2").arg(command.name, command.arguments).trimmed().leftJustified(20),
                        command.summary);
    text += "\nRun 'tavcli COMMAND --help' for the options of one command.\n";
    return text;
}

void addCommonOptions(QCommandLineParser& parser)
{
    parser.addOption({"module", "Module type: TAV1, TAV2, RIX, TREKON, or auto to detect it first.", "type"});
    parser.addOption({"port", "Serial port name or device path (see 'tavcli ports').", "path"});
    parser.addOption({"baud", "Baud rate: Default, 9600 or 115200.", "rate", "Default"});
    parser.addOption({"log", "Append the device log to this file (the lines of the window's log).", "file"});
    parser.addOption({"timeout-scale", "Multiply every request timeout by this factor.", "factor", "1"});
    parser.addOption({"quiet", "Print only results and errors."});
    parser.addOption({"demo",
        "Run against a simulated module of this type instead of a port (no hardware needed).", "type"});
    DetectCommand::addOptions(parser);
}

void addCommandOptions(QCommandLineParser& parser, const QString& command)
{
    if (command == "ports")
        parser.addOption(
            {"details", "Add a tab and the description, manufacturer, VID:PID and serial number."});
    if (command == "get-config" || command == "info" || command == "next-pass" || command == "detect")
        parser.addOption({"json", "Print the result as JSON."});
    if (command == "passes")
        PassesCommand::addOptions(parser);
    if (command == "import-config")
        parser.addOption(
            {"verify", "Read the configuration back after the upload and compare it with FILE."});
    if (command == "provision") {
        parser.addOption({"ports", "The serial ports of the modules, separated by commas.", "list"});
        parser.addOption({"all-ports", "Every serial port that 'tavcli ports' lists."});
        parser.addOption({"jobs", "Modules provisioned at the same time (default: all).", "n"});
        parser.addOption({"report", "Write one JSON line per module to FILE.", "file"});
    }
    if (command == "tx") {
        parser.addOption({"profile", "periodic, prepass or prepass-on-module.", "profile", "periodic"});
        parser.addOption({"repeat", "Number of sequence repetitions.", "n", "1"});
        parser.addOption({"ack", "Ask for an acknowledgement of every payload."});
        parser.addOption({"mail", "Ask for a downlink message."});
        parser.addOption({"important", "Send every payload as important (redundancy 10)."});
        parser.addOption(
            {"csv", "Passes for the prepass profile, exported from the pass-prediction portal.", "file"});
        parser.addOption({"reconnect",
            "When the port vanishes, wait for it to come back, connect again and go on with the sequence."});
        parser.addOption(
            {"period", "Periodic profile: minutes between bursts (default: the saved setting).", "min"});
        parser.addOption({"redundancy",
            "Periodic profile: transmissions of each payload a burst (default: the module's).", "n"});
        parser.addOption({"delay", "Periodic profile: seconds between the transmissions of a burst.", "s"});
        parser.addOption({"report", "Append one line per transmission to FILE as it ends.", "file"});
        parser.addOption({"report-format", "jsonl (one JSON object a line) or csv.", "format", "jsonl"});
    }
}

// Reads the options of `tx` into a request; an empty text when they hold.
QString readTxRequest(const QCommandLineParser& parser, const QStringList& messages, TavBoard::Module module,
    CliCommands::TxRequest* request)
{
    if (messages.isEmpty())
        return "no payload given: tavcli tx MESSAGE...";
    request->messages = messages;
    const QString profile = parser.value("profile");
    if (profile == "prepass")
        request->profile = TxManager::PREPASS;
    else if (profile == "prepass-on-module")
        request->profile = TxManager::PREPASS_ON_MODULE;
    else if (profile != "periodic")
        return "unknown profile '" + profile + "' (periodic, prepass or prepass-on-module)";
    if (request->profile == TxManager::PREPASS_ON_MODULE && module != TavBoard::NA
        && !CommandTable::knows(module, AtCmdHandler::NEXTPASS))
        return "a " + Helper::enumToStr(module)
            + " does not predict passes: use --profile periodic or prepass";
    if (request->profile == TxManager::PREPASS) {
        if (!parser.isSet("csv"))
            return "the prepass profile needs --csv FILE";
        request->csvPath = QFileInfo(parser.value("csv")).absoluteFilePath();
    }
    bool ok = false;
    const uint repeat = parser.value("repeat").toUInt(&ok);
    if (!ok || repeat == 0 || repeat > 255)
        return "--repeat takes a number from 1 to 255";
    request->repeat = static_cast<quint8>(repeat);
    request->ack = parser.isSet("ack");
    request->mail = parser.isSet("mail");
    request->important = parser.isSet("important");
    request->reconnect = parser.isSet("reconnect");
    const QString reportFormat = parser.value("report-format");
    if (reportFormat != "jsonl" && reportFormat != "csv")
        return "unknown report format '" + reportFormat + "' (jsonl or csv)";
    request->reportCsv = reportFormat == "csv";
    if (parser.isSet("report"))
        request->reportPath = QFileInfo(parser.value("report")).absoluteFilePath();
    struct Bound {
        const char* name;
        int min;
        int max;
        int* value;
    };
    for (const Bound& bound : {Bound {"period", 0, 255, &request->period},
             Bound {"redundancy", 1, 255, &request->redundancy}, Bound {"delay", 0, 255, &request->delay}}) {
        if (!parser.isSet(bound.name))
            continue;
        const int value = parser.value(bound.name).toInt(&ok);
        if (!ok || value < bound.min || value > bound.max)
            return QStringLiteral("--%1 takes a number from %2 to %3")
                .arg(bound.name)
                .arg(bound.min)
                .arg(bound.max);
        *bound.value = value;
    }
    return {};
}

// Why `command` does not apply to `module`; empty when it does. Orbit data
// and passes need the commands that carry them; the configuration file and
// its upload are the evaluation kit's (the modules refuse its commands).
QString notApplicable(const QString& command, TavBoard::Module module)
{
    if (module == TavBoard::NA)
        return {};
    const QString name = Helper::enumToStr(module);
    const bool configFile = command == "export-config" || command == "import-config"
        || command == "diff-config" || command == "provision" || command == "provision-port";
    if (configFile && !VariantCapabilities::of(module).configurationFile) {
        QStringList kits;
        for (const auto kit : {TavBoard::TAV1, TavBoard::TAV2, TavBoard::RIX, TavBoard::TREKON}) {
            if (VariantCapabilities::of(kit).configurationFile)
                kits << Helper::enumToStr(kit);
        }
        return command + " applies to a " + kits.join(" or a ") + " only";
    }
    const AtCmdHandler::CmdId needed = command == "aop-upload" ? AtCmdHandler::AOP : AtCmdHandler::NEXTPASS;
    if ((command == "aop-upload" || command == "next-pass") && !CommandTable::knows(module, needed))
        return command + " does not apply to a " + name;
    return {};
}

// Runs `provision` to its end: the children do the work, this process only
// starts them, reports, and passes Ctrl-C on.
int provision(CliSession& session, const QCommandLineParser& parser, const CliSession::Options& options,
    const QString& file)
{
    if (options.module == TavBoard::NA)
        return session.fail("no module given: use --module TREKON", CliSession::EXIT_USAGE);
    Provisioner::Options run;
    run.filePath = QFileInfo(file).absoluteFilePath();
    run.module = Helper::enumToStr(options.module);
    run.baud = options.baud;
    run.wakeTimeoutS = options.wakeTimeoutS;
    run.timeoutScale = options.timeoutScale;
    run.reportPath = parser.value("report");
    run.program = QCoreApplication::applicationFilePath();
    if (parser.isSet("all-ports")) {
        SerialPortManager ports;
        run.ports = ports.portListModel()->names();
    } else {
        for (const QString& port : parser.value("ports").split(',', Qt::SkipEmptyParts)) {
            if (!run.ports.contains(port.trimmed()))
                run.ports << port.trimmed();
        }
    }
    if (run.ports.isEmpty())
        return session.fail("no port to provision", CliSession::EXIT_USAGE);
    if (parser.isSet("jobs")) {
        bool ok = false;
        run.jobs = parser.value("jobs").toInt(&ok);
        if (!ok || run.jobs < 1)
            return session.fail("--jobs takes a positive number", CliSession::EXIT_USAGE);
    }

    Provisioner provisioner(run);
    QString error;
    if (!provisioner.start(&error))
        return session.fail(error);
    while (!provisioner.finished()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (session.interrupted())
            provisioner.interrupt();
    }
    QTextStream(stdout) << provisioner.summary() << Qt::endl;
    const int status = provisioner.exitStatus();
    if (status == CliSession::EXIT_INTERRUPTED)
        return session.fail("interrupted", status);
    if (!provisioner.reportError().isEmpty())
        return session.fail(provisioner.reportError());
    return status;
}

// Help, version or usage when no known command is named; its exit status.
int withoutCommand(const QCommandLineParser& probe, bool parsed, const QString& name)
{
    QTextStream err(stderr);
    if (probe.isSet("version")) {
        QTextStream(stdout) << "tavcli " << TAV_VERSION << Qt::endl;
        return 0;
    }
    if (probe.isSet("help") || name == "help") {
        const QString options = probe.helpText().section("Options:", 1);
        QTextStream(stdout) << usage() << "\nOptions:" << options;
        return 0;
    }
    if (!parsed)
        err << "tavcli: " << probe.errorText() << Qt::endl;
    else if (name.isEmpty())
        err << usage();
    else
        err << "tavcli: unknown command '" << name << "' (see 'tavcli --help')" << Qt::endl;
    return CliSession::EXIT_USAGE;
}

// A module type given on the command line; NA and the text to say when unknown.
TavBoard::Module readModule(const QString& text, QString* problem)
{
    const int module = Helper::strToEnum<TavBoard::Module>(text.toUpper());
    if (module > 0)
        return static_cast<TavBoard::Module>(module);
    *problem = "unknown module '" + text + "' (TAV1, TAV2, RIX or TREKON)";
    return TavBoard::NA;
}

// The options every command takes; the problem when one does not hold.
QString readOptions(const QCommandLineParser& parser, Invocation* call)
{
    CliSession::Options& options = call->options;
    QString problem;
    call->autoModule = parser.value("module").compare("auto", Qt::CaseInsensitive) == 0;
    if (parser.isSet("module") && !call->autoModule) {
        options.module = readModule(parser.value("module"), &problem);
        if (!problem.isEmpty())
            return problem;
    }
    options.port = parser.value("port");
    if (parser.isSet("demo")) {
        const TavBoard::Module module = readModule(parser.value("demo"), &problem);
        if (!problem.isEmpty())
            return problem;
        if (!options.port.isEmpty() || (options.module != TavBoard::NA && options.module != module))
            return QStringLiteral("--demo takes the place of --port and --module");
        options.module = module;
    }
    options.baud = parser.value("baud");
    if (options.baud != "Default" && options.baud != "9600" && options.baud != "115200")
        return "unknown baud rate '" + options.baud + "' (Default, 9600 or 115200)";
    options.logPath = parser.value("log");
    options.quiet = parser.isSet("quiet");
    // NaN, for what is not a number, is in no range; bounded so that every
    // wait still ends: "inf" would wait for ever.
    options.timeoutScale = DecimalText::parse(parser.value("timeout-scale"), 0, 1000, 6);
    if (!(options.timeoutScale >= 0.1 && options.timeoutScale <= 100))
        return QStringLiteral("--timeout-scale takes a number from 0.1 to 100");
    return {};
}

// The arguments and the options of the command itself; the problem when one
// does not hold, all found before the kit is woken up for nothing.
QString readArguments(const QCommandLineParser& parser, Invocation* call)
{
    const QString name = call->command->name;
    const Arity arity = call->command->arity;
    if (arity == Arity::ONE && call->positional.size() != 1)
        return name + " takes one argument: " + call->command->arguments;
    if (arity == Arity::NONE && !call->positional.isEmpty())
        return name + " takes no argument";
    const QString reason = notApplicable(name, call->options.module);
    if (!reason.isEmpty())
        return reason;
    // One command, one line: a line break would put a second one on the wire.
    static const QRegularExpression controlCharacter(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    if (name == "at"
        && (call->argument().trimmed().isEmpty() || call->argument().trimmed().contains(controlCharacter)))
        return QStringLiteral("at takes one command of printable characters, such as 'AT+ID=?'");
    if (name == "provision" && parser.isSet("ports") == parser.isSet("all-ports"))
        return QStringLiteral("provision takes either --ports P1,P2,... or --all-ports");
    const QString wakeProblem = DetectCommand::readWakeTimeout(parser, &call->options.wakeTimeoutS);
    if (!wakeProblem.isEmpty())
        return wakeProblem;
    if (call->autoModule && (name == "provision" || parser.isSet("demo")))
        return QStringLiteral("--module auto needs one --port");
    if (name == "tx")
        return readTxRequest(parser, call->positional, call->options.module, &call->tx);
    if (name == "passes")
        return PassesCommand::read(parser, QDateTime::currentDateTimeUtc(), &call->passes);
    return {};
}

// Ctrl-C, SIGTERM and a closed terminal end waits and sequences cleanly
// instead of killing the process.
void catchSignals(QCoreApplication& app, CliSession& session)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) == 0) {
        auto* notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, [&session]() {
            char byte;
            [[maybe_unused]] const ssize_t n = ::read(g_signalFds[1], &byte, 1);
            session.interrupt();
        });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGHUP, onSignal);
    }
    // A file-size limit fails the write ("File too large") instead of
    // killing the tool with the file half-written.
    std::signal(SIGXFSZ, SIG_IGN);
}

// Runs the command at its stage: connecting first when it needs the module.
int runCommand(CliSession& session, const Invocation& call)
{
    const Command& command = *call.command;
    if (command.stage == Stage::OFFLINE)
        return session.finish(command.run(session, call));
    // A child of `provision` tells its parent when the kit waits for its button.
    if (&command == &kProvisionPort) {
        QObject::connect(&session.manager(), &TavManager::userActionRequested, &session,
            []() { QTextStream(stdout) << "{\"waiting\":\"wake-up\"}" << Qt::endl; });
    }
    if (command.stage == Stage::PORT)
        return command.run(session, call);
    if (call.autoModule) {
        const int found = DetectCommand::resolveAuto(session);
        if (found != CliSession::EXIT_OK)
            return found;
        const QString reason = notApplicable(command.name, session.options().module);
        if (!reason.isEmpty())
            return session.fail(reason, CliSession::EXIT_USAGE);
    }
    const int connected = session.connectBoard();
    if (connected != CliSession::EXIT_OK)
        return session.finish(connected);
    const int result = command.run(session, call);
    session.disconnectBoard();
    // A Ctrl-C during a request ends the command once that request is over.
    if (result == CliSession::EXIT_OK && session.interrupted())
        return session.finish(session.fail("interrupted", CliSession::EXIT_INTERRUPTED));
    return session.finish(result);
}

// Reads the command's own options and arguments into `call`: an exit status
// when the run ends here (its help, a refused option), else -1.
int readCommandLine(QCommandLineParser& parser, const QStringList& args, Invocation* call)
{
    QTextStream err(stderr);
    const QString commandName = call->command->name;
    parser.setApplicationDescription(call->command->summary);
    addCommonOptions(parser);
    addCommandOptions(parser, commandName);
    parser.addHelpOption();
    // The command's name is the first positional argument, but the help
    // lists only what follows it.
    if (*call->command->arguments)
        parser.addPositionalArgument(QString(call->command->arguments).remove("..."),
            call->command->argumentHelp, call->command->arguments);
    if (!parser.parse(args)) {
        err << "tavcli: " << parser.errorText() << Qt::endl;
        return CliSession::EXIT_USAGE;
    }
    if (parser.isSet("help")) {
        // Usage lines name the tool, not the path it was started from.
        QTextStream(stdout) << parser.helpText().replace(
            args.constFirst() + " [options]", "tavcli [options] " + commandName)
                            << Qt::endl;
        return 0;
    }
    call->parser = &parser;
    call->positional = parser.positionalArguments().mid(1);
    QString problem = readOptions(parser, call);
    if (problem.isEmpty())
        problem = readArguments(parser, call);
    if (!problem.isEmpty()) {
        err << "tavcli: " << problem << Qt::endl;
        return CliSession::EXIT_USAGE;
    }
    // Found unreadable before the kit is woken up for nothing.
    const bool readsFile = commandName == "import-config" || commandName == "diff-config"
        || commandName == "provision" || commandName == "provision-port";
    if (readsFile) {
        problem = CliCommands::unreadableConfig(call->argument());
        if (!problem.isEmpty()) {
            err << "tavcli: cannot read " << call->argument() << ": " << problem << Qt::endl;
            return CliSession::EXIT_FAILED;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("TavGUI");
    QCoreApplication::setApplicationVersion(TAV_VERSION);
    QCoreApplication::setOrganizationName("Norvane");
    QCoreApplication::setOrganizationDomain("norvane.com");
    QLoggingCategory::setFilterRules("*.debug=false\n*.info=false\n*.warning=false");

    QStringList args = QCoreApplication::arguments();
    QCommandLineParser probe;
    addCommonOptions(probe);
    probe.addHelpOption();
    probe.addVersionOption();
    probe.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    // The options of a command given before its name are judged by its own parser.
    const bool probeParsed = probe.parse(args);
    const QString commandName = probe.positionalArguments().value(0);
    Invocation call;
    call.command = findCommand(commandName);
    if (!call.command)
        return withoutCommand(probe, probeParsed, commandName);

    QCommandLineParser parser;
    const int ended = readCommandLine(parser, args, &call);
    if (ended >= 0)
        return ended;

    QTextStream err(stderr);
    QString problem;
    // A simulated module stands in for the port; its TREKON's button is
    // pressed half a second after the port opens.
    DemoModules demo;
    if (parser.isSet("demo")) {
        if (!demo.start({call.options.module}, 500, &problem)) {
            err << "tavcli: " << problem << Qt::endl;
            return CliSession::EXIT_PORT;
        }
        call.options.port = demo.ports().constFirst().name;
    }

    CliSession session(call.options);
    session.manager().serialPort()->setNamedPorts(demo.ports());
    if (!session.openLog())
        return session.fail(session.logError());
    catchSignals(app, session);
    return runCommand(session, call);
}
