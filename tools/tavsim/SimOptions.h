#pragma once

#include "Variant.h"

#include <QString>
#include <QStringList>

// The simulator's command line.
struct SimOptions {
    Variant variant = Variant::TAV2;
    QString linkPath;
    QString transcriptPath;
    // A device log to answer from instead of the module's firmware.
    QString replayPath;
    QString controlPath; // "-" for standard input
    int latencyMs = 5;
    int baud = 0;
    int txDelayMs = 1000;
    bool asleep = false;
    int autoWakeMs = 0; // 0: only the control channel presses the button
    double passInS = 2;
    double passDurationS = 612.5;
    // Client mode: sends `tellCommand` to the control socket of a running
    // simulator at `tellPath` and prints its reply.
    QString tellPath;
    QString tellCommand;

    enum class Outcome { RUN, TELL, HELP, BAD };
    // Fills `options`; on HELP or BAD, `message` holds the text to print.
    static Outcome parse(const QStringList& arguments, SimOptions* options, QString* message);
};
