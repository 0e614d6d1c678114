#include "PrepassFile.h"

#include "Logger.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// A pass list of a few weeks is a few hundred kilobytes at most.
constexpr qint64 PREPASS_FILE_MAX_SIZE = 4 * 1024 * 1024;

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    // Spreadsheets on some workstations still save in Latin-1.
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

namespace PrepassFile {

ReadResult read(const QString& pathOrUrl, const QDateTime& nowUtc)
{
    ReadResult result;
    result.localPath = Logger::toLocalPath(pathOrUrl);
    result.fileName = QFileInfo(result.localPath).fileName();
    QFile file(result.localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        result.csv.error = QStringLiteral("Unable to open prepass file ") + result.localPath;
        return result;
    }
    if (file.size() > PREPASS_FILE_MAX_SIZE) {
        result.csv.error = QStringLiteral("Prepass file ") + result.fileName + QStringLiteral(" is too large");
        return result;
    }
    result.csv = PrepassCsv::parse(decodeText(file.readAll()), nowUtc);
    if (!result.csv.ok())
        result.csv.error = QStringLiteral("Unable to import prepass data from ") + result.fileName
            + QStringLiteral(": ") + result.csv.error;
    return result;
}

QString write(const QString& pathOrUrl, const QList<Prepass>& passes)
{
    const QString localPath = Logger::toLocalPath(pathOrUrl);
    QFile file(localPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(PrepassCsv::write(passes).toUtf8()) < 0 || !file.flush())
        return QStringLiteral("Unable to export passes to ") + localPath;
    return QString();
}

} // namespace PrepassFile
