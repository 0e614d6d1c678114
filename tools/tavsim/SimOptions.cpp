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

} // namespace

SimOptions::Outcome SimOptions::parse(const QStringList& arguments, SimOptions* options, QString* message)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Emulates one transmitter module on a pseudo-terminal. The device path is printed on the\n"
        "first line of standard output; the simulator serves until SIGTERM or SIGINT."));
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption version("version", "Shows the version.");
    const QCommandLineOption module(
        "module", "Module variant: TAV1, TAV2, RIX or TREKON (default TAV2).", "name");
    const QCommandLineOption link("link", "Also makes a symbolic link to the device at this path.", "path");
    const QCommandLineOption latency("latency", "Answer latency in ms (default 5).", "ms");
    const QCommandLineOption baud(
        "baud", "Paces the output at this baud rate, 10 bits per byte (default: unpaced).", "n");
    const QCommandLineOption txDelay(
        "tx-delay", "Delay of a transmit result +TX=0,<data> in ms (default 1000).", "ms");
    const QCommandLineOption asleep("asleep", "TREKON only: starts asleep, waiting for the wake-up button.");
    const QCommandLineOption autoWake("auto-wake",
        "TREKON only: the user presses the wake-up button this many ms after the kit went asleep "
        "and after a program opened the device of a sleeping kit.",
        "ms");
    const QCommandLineOption transcript(
        "transcript", "Writes every request and every line sent, time-stamped.", "file");
    const QCommandLineOption replay("replay",
        "Answers each request with the lines a device log (written by --log of the window or "
        "tavcli) recorded for the same request, and replays the lines the module sent unasked.",
        "file");
    const QCommandLineOption control(
        "control", "Control commands from a local socket at this path, or '-' for standard input.", "path");
    const QCommandLineOption passIn(
        "pass-in", "Next pass starts this many seconds ahead of the module clock (default 2).", "s");
    const QCommandLineOption passDuration(
        "pass-duration", "Duration of a predicted pass in seconds (default 612.5).", "s");
    const QCommandLineOption tell("tell",
        "Sends the command given after the options to the control socket of a "
        "running simulator, prints its reply and exits. Several commands, one per "
        "line, are written at once and run back to back.",
        "path");
    p.addOptions({help, version, module, link, latency, baud, txDelay, asleep, autoWake, transcript, replay, control,
        passIn, passDuration, tell});
    p.addPositionalArgument("COMMAND", "With --tell: the control command, for example: wake", "[COMMAND...]");

    if (!p.parse(arguments)) {
        *message = p.errorText();
        return Outcome::BAD;
    }
    if (p.isSet(help)) {
        *message = p.helpText()
            + "\nControl commands, one per line:\n"
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
        return Outcome::HELP;
    }
    if (p.isSet(version)) {
        *message = QStringLiteral("tavsim " TAV_VERSION "\n");
        return Outcome::HELP;
    }
    if (p.isSet(tell)) {
        options->tellPath = p.value(tell);
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
    if (p.isSet(module) && !variantFromName(p.value(module), &options->variant)) {
        *message = "--module: unknown module '" + p.value(module) + "' (TAV1, TAV2, RIX or TREKON)";
        return Outcome::BAD;
    }
    double latencyMs = options->latencyMs, baudRate = options->baud, txDelayMs = options->txDelayMs;
    double autoWakeMs = options->autoWakeMs;
    if (!readNumber(p, latency, 0, 60000, &latencyMs, message)
        || !readNumber(p, baud, 0, 4000000, &baudRate, message)
        || !readNumber(p, txDelay, 0, 3600000, &txDelayMs, message)
        || !readNumber(p, autoWake, 1, 600000, &autoWakeMs, message)
        || !readNumber(p, passIn, 0, 86400, &options->passInS, message)
        || !readNumber(p, passDuration, 1, 7200, &options->passDurationS, message))
        return Outcome::BAD;
    options->latencyMs = int(latencyMs);
    options->baud = int(baudRate);
    options->txDelayMs = int(txDelayMs);
    options->autoWakeMs = int(autoWakeMs);
    options->asleep = p.isSet(asleep);
    if (options->asleep && options->variant != Variant::TREKON) {
        *message = "--asleep: only the TREKON development kit sleeps";
        return Outcome::BAD;
    }
    if (options->autoWakeMs > 0 && options->variant != Variant::TREKON) {
        *message = "--auto-wake: only the TREKON development kit has a wake-up button";
        return Outcome::BAD;
    }
    options->linkPath = p.value(link);
    options->transcriptPath = p.value(transcript);
    options->replayPath = p.value(replay);
    if (!options->replayPath.isEmpty() && options->asleep) {
        *message = "--asleep: a replayed kit sleeps and wakes as the log recorded";
        return Outcome::BAD;
    }
    options->controlPath = p.value(control);
    return Outcome::RUN;
}
