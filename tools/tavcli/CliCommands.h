#pragma once

#include "tx/TxManager.h"

#include <QString>
#include <QStringList>

class CliSession;

// The subcommands, each on the manager's own operations. They return the
// process exit status and print their one failure line through the session.
namespace CliCommands {

struct TxRequest {
    QStringList messages;
    TxManager::Profile profile = TxManager::PERIODIC;
    quint8 repeat = 1;
    bool ack = false;
    bool mail = false;
    bool important = false;
    QString csvPath;
    // A vanished port is waited for instead of ending the sequence.
    bool reconnect = false;
    // The periodic profile's settings for this run; -1 keeps the current one.
    int period = -1;
    int redundancy = -1;
    int delay = -1;
    // One line per transmission appended to this file as it ends; none when empty.
    QString reportPath;
    bool reportCsv = false;
};

// One port a line; with `details`, a tab and what the system tells of it.
int listPorts(CliSession& session, bool details);
int info(CliSession& session, bool json);
int getConfig(CliSession& session, bool json);
int exportConfig(CliSession& session, const QString& path);
// With `verify`, the configuration is read back after the upload and every
// field of the file that did not take fails the command.
int importConfig(CliSession& session, const QString& path, bool verify);
// Why the configuration file at `path` cannot be used, read as the commands
// read it; empty when it can. Asked before the kit is woken for nothing.
QString unreadableConfig(const QString& path);
// Prints each field where the module differs from the file; 1 when any does.
int diffConfig(CliSession& session, const QString& path);
int verifyUpload(CliSession& session, const QString& path);
// Compares, uploads and verifies, then prints the outcome as one JSON line.
int provisionPort(CliSession& session, const QString& path);
int customCommand(CliSession& session, const QString& command);
int downloadAop(CliSession& session);
// Fetches the orbit data; the failure text names the network error.
bool fetchAop(CliSession& session, QString* failure);
int uploadAop(CliSession& session);
int nextPass(CliSession& session, bool json);
int transmit(CliSession& session, const TxRequest& request);

} // namespace CliCommands
