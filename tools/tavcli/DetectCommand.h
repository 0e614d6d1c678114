#pragma once

#include <QCommandLineParser>
#include <QString>

class CliSession;

// `tavcli detect` and `--module auto`: which variant is on the port, found
// with reads only, before anything else is sent.
namespace DetectCommand {

// The options every command takes for the connection's start.
void addOptions(QCommandLineParser& parser);
// Reads --wake-timeout into seconds (0 waits forever); an empty text when it holds.
QString readWakeTimeout(const QCommandLineParser& parser, int* seconds);

// Prints the variant, identity and firmware in one line (or JSON).
int run(CliSession& session, bool json);
// Detects the module for `--module auto` and sets it on the session;
// EXIT_OK, or the failure's status with its line printed.
int resolveAuto(CliSession& session);

} // namespace DetectCommand
