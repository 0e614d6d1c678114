#include "PassesCommand.h"

#include "CliCommands.h"
#include "CliSession.h"
#include "log/DecimalText.h"
#include "log/FileAccess.h"
#include "orbit/PassPredictor.h"
#include "orbit/PrepassCsv.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace PassesCommand {

namespace {

// Reads a number option within [low, high], with "." or "," before the
// decimals; false when it is not one.
bool number(const QCommandLineParser& parser, const QString& name, double low, double high, double* value)
{
    if (!parser.isSet(name))
        return true;
    const double read = DecimalText::parse(parser.value(name), low, high, 9);
    if (!(read >= low && read <= high))
        return false;
    *value = read;
    return true;
}

QString table(const QList<Prepass>& passes)
{
    QString text;
    QTextStream out(&text);
    const auto row = [&out](const QStringList& cells) {
        static const int widths[] = {10, 21, 21, 21, 10, 8, 9, 8, 7};
        for (int i = 0; i < cells.size(); ++i)
            out << (i + 1 < cells.size() ? cells.at(i).leftJustified(widths[i]) : cells.at(i));
        out << "\n";
    };
    row({"Satellite", "Start (UTC)", "Highest", "End", "Duration", "Max el", "Az start", "Az max", "Az end"});
    for (const Prepass& pass : passes)
        row({pass.satellite(), PrepassCsv::formatDate(pass.start()), PrepassCsv::formatDate(pass.middle()),
            PrepassCsv::formatDate(pass.end()), pass.duration().toString("hh:mm:ss"),
            PrepassCsv::formatAngle(pass.elevation()), PrepassCsv::formatAngle(pass.startAzimuth()),
            PrepassCsv::formatAngle(pass.middleAzimuth()), PrepassCsv::formatAngle(pass.endAzimuth())});
    if (passes.isEmpty())
        out << "No pass in the window.\n";
    out.flush();
    return text;
}

QString json(const QList<Prepass>& passes)
{
    QJsonArray list;
    for (const Prepass& pass : passes)
        list.append(QJsonObject {{"satellite", pass.satellite()}, {"start", PrepassCsv::formatDate(pass.start())},
            {"highest", PrepassCsv::formatDate(pass.middle())}, {"end", PrepassCsv::formatDate(pass.end())},
            {"duration", pass.duration().toString("hh:mm:ss")}, {"maxElevation", pass.elevation()},
            {"startAzimuth", pass.startAzimuth()}, {"highestAzimuth", pass.middleAzimuth()},
            {"endAzimuth", pass.endAzimuth()}});
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented));
}

} // namespace

void addOptions(QCommandLineParser& parser)
{
    parser.addOption({"aop", "Orbit data in the orbit-data service's JSON shape, read offline.", "file"});
    parser.addOption({"download", "Fetch the orbit data from the orbit-data service."});
    parser.addOption({"lat", "Latitude of the site, degrees north.", "deg"});
    parser.addOption({"lon", "Longitude of the site, degrees east.", "deg"});
    parser.addOption({"start", "Start of the window, ISO 8601 UTC (default: now).", "iso"});
    parser.addOption({"hours", "Length of the window in hours (default 24).", "h"});
    parser.addOption({"days", "Length of the window in days.", "d"});
    parser.addOption({"min-el", "Minimum elevation, degrees (default 5).", "deg"});
    parser.addOption({"min-duration", "Minimum pass duration, minutes (default 0).", "min"});
    parser.addOption({"all", "Include the satellites whose uplink is out of service."});
    parser.addOption({"format", "table, csv or json.", "format", "table"});
}

QString read(const QCommandLineParser& parser, const QDateTime& nowUtc, Request* request)
{
    if (parser.isSet("aop") == parser.isSet("download"))
        return "passes needs either --aop FILE or --download";
    request->aopPath = parser.value("aop");
    if (!parser.isSet("lat") || !parser.isSet("lon"))
        return "passes needs the site: --lat DEG --lon DEG";
    if (!number(parser, "lat", -90, 90, &request->latitude))
        return "--lat takes degrees from -90 to 90";
    if (!number(parser, "lon", -180, 360, &request->longitude))
        return "--lon takes degrees from -180 to 360";
    request->start = nowUtc.toUTC();
    if (parser.isSet("start")) {
        request->start = PrepassCsv::parseDate(parser.value("start"));
        if (!request->start.isValid())
            return "--start takes an ISO 8601 UTC date-time such as 2021-03-06T04:43:29";
    }
    if (parser.isSet("hours") && parser.isSet("days"))
        return "give the window's length with --hours or --days, not both";
    const double maxHours = PassPredictor::MAX_WINDOW_DAYS * 24.0;
    double hours = 24;
    if (!number(parser, "hours", 0, maxHours, &hours) || hours <= 0)
        return QString("--hours takes a length above 0 and up to %1").arg(maxHours);
    double days = hours / 24;
    if (!number(parser, "days", 0, PassPredictor::MAX_WINDOW_DAYS, &days) || days <= 0)
        return QString("--days takes a length above 0 and up to %1").arg(PassPredictor::MAX_WINDOW_DAYS);
    request->lengthSeconds = qint64(days * 86400 + 0.5);
    if (!number(parser, "min-el", 0, 90, &request->minElevation))
        return "--min-el takes degrees from 0 to 90";
    if (!number(parser, "min-duration", 0, 24 * 60, &request->minDurationMinutes))
        return "--min-duration takes minutes from 0";
    request->all = parser.isSet("all");
    request->format = parser.value("format");
    if (request->format != "table" && request->format != "csv" && request->format != "json")
        return "unknown format '" + request->format + "' (table, csv or json)";
    return {};
}

int run(CliSession& session, const Request& request)
{
    SatelliteAopModel* model = session.manager().tx()->prepassProfile()->satelliteAopModel();
    if (request.aopPath.isEmpty()) {
        QString failure;
        if (!CliCommands::fetchAop(session, &failure))
            return session.failOrInterrupted(failure);
    } else {
        QByteArray document;
        QString error;
        if (!FileAccess::read(request.aopPath, FileAccess::ORBIT_FILE_MAX_BYTES, &document, &error))
            return session.fail("cannot read " + request.aopPath + ": " + error);
        if (!model->parseJsonData(document))
            return session.fail(request.aopPath + " is not an orbit-data document");
    }
    if (model->rowCount() == 0)
        return session.fail(PrepassProfile::AOP_EMPTY_ERROR);

    PassQuery query;
    query.latitude = request.latitude;
    query.longitude = request.longitude;
    query.start = request.start;
    query.lengthSeconds = request.lengthSeconds;
    query.minElevation = request.minElevation;
    query.minDurationMinutes = request.minDurationMinutes;
    query.includeOutOfService = request.all;
    const PassPrediction prediction = PassPredictor(query).predict(*model);

    QTextStream err(stderr);
    // Refused satellites only warn, as those without orbit data: the others' passes stand.
    if (!session.quiet()) {
        for (const QString& warning : prediction.warnings + prediction.refusals)
            err << "tavcli: " << warning << Qt::endl;
    }
    QTextStream out(stdout);
    if (request.format == "csv")
        out << PrepassCsv::write(prediction.passes);
    else if (request.format == "json")
        out << json(prediction.passes);
    else
        out << table(prediction.passes);
    out.flush();
    return CliSession::EXIT_OK;
}

} // namespace PassesCommand
