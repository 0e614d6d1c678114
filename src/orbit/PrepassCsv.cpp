#include "PrepassCsv.h"

#include "log/Helper.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace PrepassCsv {

namespace {

QString cleanField(QString field)
{
    field = field.trimmed();
    if (field.size() >= 2 && field.startsWith(QLatin1Char('"')) && field.endsWith(QLatin1Char('"')))
        field = field.mid(1, field.size() - 2).trimmed();
    return field;
}

std::optional<double> parseNumber(QString text, QChar separator)
{
    text = text.trimmed();
    if (text.endsWith(QChar(0x00B0)))
        text.chop(1);
    // Spreadsheets of some locales write a decimal comma; it cannot be one
    // when the comma separates the fields.
    if (separator != QLatin1Char(','))
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString lineError(int line, const QString& reason)
{
    return QStringLiteral("Line %1: %2").arg(line).arg(reason);
}

} // namespace

QDateTime parseDate(const QString& text)
{
    static const QRegularExpression european(
        QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{4})[ T](\d{1,2}):(\d{2})(?::(\d{2}))?$)"));
    const QString trimmed = text.trimmed();
    const QRegularExpressionMatch match = european.match(trimmed);
    if (match.hasMatch()) {
        const QDate date(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
        const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
        if (!date.isValid() || !time.isValid())
            return {};
        return QDateTime(date, time, Qt::UTC);
    }
    static const QRegularExpression iso(
        QStringLiteral(R"(^\d{4}-\d{2}-\d{2}[ T]\d{2}:\d{2}(:\d{2}(\.\d+)?)?)"));
    if (!iso.match(trimmed).hasMatch())
        return {};
    QString isoText = trimmed;
    isoText[10] = QLatin1Char('T');
    QDateTime date = QDateTime::fromString(isoText, Qt::ISODateWithMs);
    if (!date.isValid())
        return {};
    if (date.timeSpec() == Qt::LocalTime)
        date.setTimeSpec(Qt::UTC);
    return date.toUTC();
}

QTime parseDuration(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(\d{1,2}):(\d{2}):(\d{2})$)"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return {};
    return QTime(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
}

QChar detectSeparator(const QString& line)
{
    if (line.contains(QLatin1Char('\t')))
        return QLatin1Char('\t');
    if (line.contains(QLatin1Char(';')))
        return QLatin1Char(';');
    return QLatin1Char(',');
}

namespace {

// One pass from the fields of its line; on a bad field, says which.
std::optional<Prepass> parseRow(const QStringList& fields, QChar separator, QString* error)
{
    if (fields.size() != FIELD_COUNT) {
        *error = QStringLiteral("%1 fields found, %2 expected").arg(fields.size()).arg(FIELD_COUNT);
        return std::nullopt;
    }
    if (fields.at(0).isEmpty()) {
        *error = QStringLiteral("satellite name is missing");
        return std::nullopt;
    }
    const char* dateNames[] = {"start", "middle", "end"};
    QDateTime dates[3];
    for (int d = 0; d < 3; ++d) {
        dates[d] = parseDate(fields.at(1 + d));
        if (!dates[d].isValid()) {
            *error = QStringLiteral("invalid %1 date \"%2\"").arg(QLatin1String(dateNames[d]), fields.at(1 + d));
            return std::nullopt;
        }
    }
    if (dates[2] < dates[0]) {
        *error = QStringLiteral("pass ends before it starts");
        return std::nullopt;
    }
    const QTime duration = parseDuration(fields.at(4));
    if (!duration.isValid()) {
        *error = QStringLiteral("invalid duration \"%1\"").arg(fields.at(4));
        return std::nullopt;
    }
    const std::optional<double> elevation = parseNumber(fields.at(5), separator);
    if (!elevation || *elevation < 0 || *elevation > 90) {
        *error = QStringLiteral("invalid elevation \"%1\"").arg(fields.at(5));
        return std::nullopt;
    }
    double azimuths[3];
    for (int a = 0; a < 3; ++a) {
        const std::optional<double> azimuth = parseNumber(fields.at(6 + a), separator);
        if (!azimuth || *azimuth < 0 || *azimuth > 360) {
            *error = QStringLiteral("invalid azimuth \"%1\"").arg(fields.at(6 + a));
            return std::nullopt;
        }
        azimuths[a] = *azimuth;
    }

    Prepass pass(fields.at(0), dates[0], duration, *elevation);
    pass.setMiddle(dates[1]);
    pass.setEnd(dates[2]);
    pass.setAzimuths(azimuths[0], azimuths[1], azimuths[2]);
    return pass;
}

// The result once every line is read: refused when the file held no pass,
// or only passes that have ended; else the passes in start order.
Result finished(Result result, QList<Prepass> passes, int dataRows, const QDateTime& lastEnd)
{
    if (dataRows == 0) {
        result.error = QStringLiteral("No satellite pass found in the file");
        return result;
    }
    // Imported, such a list would start a sequence that has nothing to wait for.
    if (passes.isEmpty()) {
        result.error = QStringLiteral("all passes of the file have ended (last at %1)")
                           .arg(lastEnd.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'")));
        return result;
    }
    std::stable_sort(passes.begin(), passes.end(),
        [](const Prepass& a, const Prepass& b) { return a.start() < b.start(); });
    result.passes = passes;
    return result;
}

} // namespace

Result parse(const QString& text, const QDateTime& nowUtc)
{
    Result result;
    QString content = text;
    if (content.startsWith(QChar(0xFEFF)))
        content.remove(0, 1);
    const QStringList lines = content.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));

    QChar separator;
    bool firstLine = true;
    QList<Prepass> passes;
    QDateTime lastEnd;
    int dataRows = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        const QString& line = lines.at(i);
        if (line.trimmed().isEmpty())
            continue;
        if (separator.isNull())
            separator = detectSeparator(line);

        QStringList fields = line.split(separator);
        for (QString& field : fields)
            field = Helper::shownText(cleanField(field));
        while (fields.size() > FIELD_COUNT && fields.last().isEmpty())
            fields.removeLast();

        // The portal's export starts with a line of column titles.
        const bool header = firstLine && (fields.size() < 2 || !parseDate(fields.at(1)).isValid());
        firstLine = false;
        if (header)
            continue;

        ++dataRows;
        std::optional<Prepass> pass = parseRow(fields, separator, &result.error);
        if (!pass) {
            result.error = lineError(lineNumber, result.error);
            return result;
        }
        // The scheduler drops a pass once start plus duration is behind it.
        if (pass->start().addMSecs(pass->durationMs()) < nowUtc) {
            ++result.expired;
            const QDateTime end = pass->start().addMSecs(pass->durationMs());
            if (!lastEnd.isValid() || end > lastEnd)
                lastEnd = end;
            continue;
        }
        passes.append(*pass);
    }

    return finished(result, passes, dataRows, lastEnd);
}

const QString HEADER = QStringLiteral("Satellite;Start;Highest elevation time;End;Duration;"
                                      "Highest elevation;Start azimuth;Highest azimuth;End azimuth");

QString formatDate(const QDateTime& date)
{
    return date.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString formatAngle(double degrees)
{
    const QString tenth = QString::number(degrees, 'f', 1);
    return tenth.toDouble() == degrees ? tenth : QString::number(degrees, 'g', QLocale::FloatingPointShortest);
}

QString write(const QList<Prepass>& passes)
{
    QString text = HEADER + QLatin1Char('\n');
    for (const Prepass& pass : passes) {
        const QDateTime middle = pass.middle().isValid() ? pass.middle() : pass.start();
        // A separator or line break in a name would cut the line.
        QString name = pass.satellite();
        name.replace(QRegularExpression(QStringLiteral("[;\\t\\r\\n]")), QStringLiteral(" "));
        const QStringList fields {name, formatDate(pass.start()), formatDate(middle),
            formatDate(pass.end()), pass.duration().toString(QStringLiteral("hh:mm:ss")),
            formatAngle(pass.elevation()), formatAngle(pass.startAzimuth()), formatAngle(pass.middleAzimuth()),
            formatAngle(pass.endAzimuth())};
        text += fields.join(QLatin1Char(';')) + QLatin1Char('\n');
    }
    return text;
}

} // namespace PrepassCsv
