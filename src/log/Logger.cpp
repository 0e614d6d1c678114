#include "Logger.h"

#include "FileAccess.h"
#include "LogModel.h"

#include <QFile>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QUrl>

Logger::Logger(QObject* parent)
    : QObject(parent)
    , m_timestampOffset(0)
    , m_history(new LogModel(this))
{
}

QString Logger::formatLine(const QDateTime& utc, Source source, const QString& text)
{
    const QString tag = QString::fromLatin1(QMetaEnum::fromType<Source>().valueToKey(source));
    const QString line = "[" + utc.toString("hh:mm:ss:zzz") + "] [" + tag + "] " + text;
    return line.trimmed();
}

void Logger::log(const Source& source, const QString& text)
{
    log(source, text, NO_EVENT);
}

void Logger::log(const Source& source, const QString& text, Event event)
{
    const QDateTime now = QDateTime::currentDateTimeUtc().addSecs(m_timestampOffset);
    const QString line = formatLine(now, source, text);
    m_history->append(source, line, now.date());
    emit logCreated(line);
    if (event != NO_EVENT)
        emit eventLogged(event, line);
}

void Logger::setTimestampOffset(const qint64& seconds)
{
    m_timestampOffset = seconds;
}

void Logger::clearLogs()
{
    m_history->clear();
    emit logsCleared();
}

QString Logger::toLocalPath(const QString& pathOrUrl)
{
    if (pathOrUrl.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(pathOrUrl).toLocalFile();
    return pathOrUrl;
}

QString Logger::filterAtCommands(const QString& logs)
{
    static const QRegularExpression requestLine(R"(^\[.+\]\s\[.{3}\]\s(?<LOG>AT\+.+))");
    static const QRegularExpression lineBreak(QStringLiteral("[\r\n]"));
    QString out;
    const QStringList parts = logs.split(lineBreak);
    for (const QString& part : parts) {
        const QRegularExpressionMatch m = requestLine.match(part);
        if (m.hasMatch())
            out += m.captured("LOG") + "\n";
    }
    return out;
}

bool Logger::exportLogsToFile(QString filePath, QString logs, bool filterAtCmds)
{
    // A failed write keeps the file that was there.
    const QByteArray bytes = (filterAtCmds ? filterAtCommands(logs) : logs).toUtf8();
    m_lastWriteError.clear();
    return FileAccess::write(toLocalPath(filePath), bytes, &m_lastWriteError);
}
