#include "RadioConf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QUrl>

namespace RadioConf {

bool isValidFileName(const QString& fileName)
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral("radio_conf_[0-9]*_[0-9]*_[0-9]*_[a-zA-Z0-9]*\\.bin")));
    return pattern.match(fileName).hasMatch();
}

QString configuredDirectory()
{
    const QSettings config(QStringLiteral("config.ini"), QSettings::IniFormat);
    return config.value(QStringLiteral("rconf/dir")).toString();
}

QStringList listFiles(const QString& directory)
{
    if (directory.isEmpty())
        return {};
    QStringList names;
    const QFileInfoList entries = QDir(directory).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (isValidFileName(entry.fileName()) && entry.size() == FILE_SIZE)
            names.append(entry.fileName());
    }
    return names;
}

ReadResult readFile(const QString& path)
{
    ReadResult result;
    const QString localPath = path.startsWith(QLatin1String("file:")) ? QUrl(path).toLocalFile() : path;
    const QFileInfo info(localPath);
    if (!isValidFileName(info.fileName())) {
        result.error = QStringLiteral("Invalid radio configuration file name: %1\nExpected name: %2")
                           .arg(info.fileName(), QLatin1String(NAME_PATTERN));
        return result;
    }
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Unable to open radio configuration file %1").arg(info.fileName());
        return result;
    }
    // Read one byte more than allowed so that a longer file shows.
    const QByteArray bytes = file.read(FILE_SIZE + 1);
    if (bytes.size() != FILE_SIZE) {
        result.error = QStringLiteral("Invalid radio configuration file %1: %2 bytes expected")
                           .arg(info.fileName())
                           .arg(FILE_SIZE);
        return result;
    }
    result.bytes = bytes;
    return result;
}

} // namespace RadioConf
