#include "PrepassFile.h"

#include "log/FileAccess.h"
#include "log/Logger.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

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
    QByteArray bytes;
    QString error;
    if (!FileAccess::read(result.localPath, FileAccess::PASS_FILE_MAX_BYTES, &bytes, &error)) {
        result.csv.error = QStringLiteral("Unable to open prepass file ") + result.localPath + QStringLiteral(": ") + error;
        return result;
    }
    result.csv = PrepassCsv::parse(decodeText(bytes), nowUtc);
    if (!result.csv.ok())
        result.csv.error = QStringLiteral("Unable to import prepass data from ") + result.fileName
            + QStringLiteral(": ") + result.csv.error;
    return result;
}

QString write(const QString& pathOrUrl, const QList<Prepass>& passes)
{
    const QString localPath = Logger::toLocalPath(pathOrUrl);
    QString error;
    if (!FileAccess::write(localPath, PrepassCsv::write(passes).toUtf8(), &error))
        return QStringLiteral("Unable to export passes to ") + localPath + QStringLiteral(": ") + error;
    return QString();
}

} // namespace PrepassFile
