#include "SimOptions.h"

#include "TavVersion.h"

#include <QCommandLineParser>

namespace {

bool readNumber(const QCommandLineParser& p, const QCommandLineOption& o, double min, double max, double* out,
    QString* message)
{
    if (!p.isSet(o))
        return true;
    bool ok = false;
    const double v = p.value(o).toDouble(&ok);
    if (!ok || v < min || v > max) {
        *message = "--" + o.names().constFirst() + ": expected a number from " + QString::number(min) + " to "
            + QString::number(max) + ", got '" + p.value(o) + "'";
        return false;
    }
    *out = v;
    return true;
}

// The options in the order --help lists them.
enum Key {
    HELP,
    VERSION,
    MODULE,
    LINK,
    LATENCY,
    BAUD,
    TX_DELAY,
    ASLEEP,
    AUTO_WAKE,
    TRANSCRIPT,
    REPLAY,
    CONTROL,
    PASS_IN,
    PASS_DURATION,
    TELL
};

QList<QCommandLineOption> optionTable()
{
    return {
        {{"h", "help"}, "Shows this help."},
        {"version", "Shows the version."},
        {"module", "Module variant: TAV1, TAV2, RIX or TREKON (default TAV2).", "name"},
        {"link", "Also makes a symbolic link to the device at this path.", "path"},
        {"latency", "Answer latency in ms (default 5).", "ms"},
        {"baud", "Paces the output at this baud rate, 10 bits per byte (default: unpaced).", "n"},
        {"tx-delay", "Delay of a transmit result +TX=0,<data> in ms (default 1000).", "ms"},
        {"asleep", "TREKON only: starts asleep, waiting for the wake-up button."},
        {"auto-wake",
            "TREKON only: the user presses the wake-up button this many ms after the kit went asleep "
            "and after a program opened the device of a sleeping kit.",
            "ms"},
        {"transcript", "Writes every request and every line sent, time-stamped.", "file"},
        {"replay",
            "Answers each request with the lines a device log (written by --log of the window or "
            "tavcli) recorded for the same request, and replays the lines the module sent unasked.",
            "file"},
        {"control", "Control commands from a local socket at this path, or '-' for standard input.", "path"},
        {"pass-in", "Next pass starts this many seconds ahead of the module clock (default 2).", "s"},
        {"pass-duration", "Duration of a predicted pass in seconds (default 612.5).", "s"},
        {"tell",
            "Sends the command given after the options to the control socket of a "
            "running simulator, prints its reply and exits. Several commands, one per "
            "line, are written at once and run back to back.",
            "path"},
    };
}

// The number options: their range, checked in this order, and their field.
struct NumberOption {
    Key key;
    double min;
    double max;
    void (*store)(SimOptions& options, double value);
};

const NumberOption numberOptions[] = {
    {LATENCY, 0, 60000, [](SimOptions& o, double v) { o.latencyMs = int(v); }},
    {BAUD, 0, 4000000, [](SimOptions& o, double v) { o.baud = int(v); }},
    {TX_DELAY, 0, 3600000, [](SimOptions& o, double v) { o.txDelayMs = int(v); }},
    {AUTO_WAKE, 1, 600000, [](SimOptions& o, double v) { o.autoWakeMs = int(v); }},
    {PASS_IN, 0, 86400, [](SimOptions& o, double v) { o.passInS = v; }},
    {PASS_DURATION, 1, 7200, [](SimOptions& o, double v) { o.passDurationS = v; }},
};

const char controlHelp[] = "\nControl commands, one per line:\n"
                           "  wake | sleep                 TREKON wake-up button / going to sleep\n"
                           "  mute on|off                  stop or resume answering requests\n"
                           "  mute CMD | mute CMD off      leave requests of CMD alone unanswered\n"
                           "  latency MS | baud N          change answer latency or output pacing\n"
                           "  error CMD CODE | error CMD off   answer +ERROR=CODE to CMD\n"
                           "  ignore CMD | ignore CMD off  acknowledge a set of CMD but keep the value\n"
                           "  txfail CODE | txfail off     report transmit results with that status\n"
                           "  txfail-every N CODE | off    report every Nth transmit result with CODE\n"
                           "  txdrop-every N | off         never report every Nth transmit result\n"
                           "  garbage N | longline N       N random bytes / N bytes without LF\n"
                           "  send TEXT | assert TEXT      raw line / +ASSERT=TEXT and a restart\n"
                           "  rx HEX | bc HEX              downlink message / beacon command\n"
                           "  flood N                      N unsolicited answers per second, 0 stops\n"
                           "  hangup [stay] | replug       the device vanishes (and comes back)\n"
                           "  state | help\n"
                           "\nFrom another terminal: tavsim --tell <control socket> wake\n";

// The checks of what the options set together; "" when they agree.
QString conflict(const SimOptions& options)
{
    if (options.asleep && options.variant != Variant::TREKON)
        return QStringLiteral("--asleep: only the TREKON development kit sleeps");
    if (options.autoWakeMs > 0 && options.variant != Variant::TREKON)
        return QStringLiteral("--auto-wake: only the TREKON development kit has a wake-up button");
    if (!options.replayPath.isEmpty() && options.asleep)
        return QStringLiteral("--asleep: a replayed kit sleeps and wakes as the log recorded");
    return QString();
}

} // namespace

SimOptions::Outcome SimOptions::parse(const QStringList& arguments, SimOptions* options, QString* message)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Emulates one transmitter module on a pseudo-terminal. The device path is printed on the\n"
        "first line of standard output; the simulator serves until SIGTERM or SIGINT."));
    const QList<QCommandLineOption> o = optionTable();
    p.addOptions(o);
    p.addPositionalArgument("COMMAND", "With --tell: the control command, for example: wake", "[COMMAND...]");

    if (!p.parse(arguments)) {
        *message = p.errorText();
        return Outcome::BAD;
    }
    if (p.isSet(o[HELP]) || p.isSet(o[VERSION])) {
        *message = p.isSet(o[HELP]) ? p.helpText() + controlHelp : QStringLiteral("tavsim " TAV_VERSION "\n");
        return Outcome::HELP;
    }
    if (p.isSet(o[TELL])) {
        options->tellPath = p.value(o[TELL]);
        options->tellCommand = p.positionalArguments().join(' ');
        if (options->tellCommand.isEmpty()) {
            *message = "--tell: no command given";
            return Outcome::BAD;
        }
        return Outcome::TELL;
    }
    if (!p.positionalArguments().isEmpty()) {
        *message = "unexpected argument '" + p.positionalArguments().constFirst() + "'";
        return Outcome::BAD;
    }
    if (p.isSet(o[MODULE]) && !variantFromName(p.value(o[MODULE]), &options->variant)) {
        *message = "--module: unknown module '" + p.value(o[MODULE]) + "' (TAV1, TAV2, RIX or TREKON)";
        return Outcome::BAD;
    }
    for (const NumberOption& number : numberOptions) {
        double value = 0;
        if (!readNumber(p, o[number.key], number.min, number.max, &value, message))
            return Outcome::BAD;
        if (p.isSet(o[number.key]))
            number.store(*options, value);
    }
    options->asleep = p.isSet(o[ASLEEP]);
    options->linkPath = p.value(o[LINK]);
    options->transcriptPath = p.value(o[TRANSCRIPT]);
    options->replayPath = p.value(o[REPLAY]);
    options->controlPath = p.value(o[CONTROL]);
    const QString why = conflict(*options);
    if (why.isEmpty())
        return Outcome::RUN;
    *message = why;
    return Outcome::BAD;
}
