#pragma once

#include <QCommandLineParser>
#include <QDateTime>
#include <QString>

class CliSession;

// `tavcli passes`: the satellites' passes over a site, predicted from orbit
// data read from a file or downloaded. Needs no module.
namespace PassesCommand {

struct Request {
    QString aopPath; // empty: download
    double latitude = 0;
    double longitude = 0;
    QDateTime start; // UTC
    qint64 lengthSeconds = 24 * 3600;
    double minElevation = 5.0;
    double minDurationMinutes = 0;
    bool all = false;
    QString format = QStringLiteral("table");
};

void addOptions(QCommandLineParser& parser);
// Reads the options into `request`; an empty text when they hold.
QString read(const QCommandLineParser& parser, const QDateTime& nowUtc, Request* request);
int run(CliSession& session, const Request& request);

} // namespace PassesCommand
