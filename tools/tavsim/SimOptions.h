#pragma once

#include "Variant.h"

#include <QString>
#include <QStringList>

// The simulator's command line.
struct SimOptions {
    Variant variant = Variant::TAV2;
    QString linkPath;
    QString transcriptPath;
    QString controlPath; // "-" for standard input
    int latencyMs = 5;
    int baud = 0;
    int txDelayMs = 1000;
    bool asleep = false;
    double passInS = 2;
    double passDurationS = 612.5;

    enum class Outcome { RUN, HELP, BAD };
    // Fills `options`; on HELP or BAD, `message` holds the text to print.
    static Outcome parse(const QStringList& arguments, SimOptions* options, QString* message);
};
