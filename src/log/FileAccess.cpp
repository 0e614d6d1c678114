#include "FileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileAccess {

QString sizeText(qint64 bytes)
{
    if (bytes >= MiB && bytes % MiB == 0)
        return QString::number(bytes / MiB) + " MiB";
    return QString::number(bytes) + " bytes";
}

bool read(const QString& path, qint64 limit, QByteArray* bytes, QString* error)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        *error = path.isEmpty() ? QStringLiteral("no file name given") : file.errorString();
        return false;
    }
    // One byte more than the limit tells a file at the limit from a larger
    // one; size() is not asked, it is 0 for /dev/zero.
    *bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    if (bytes->size() > limit) {
        bytes->clear();
        *error = "larger than " + sizeText(limit);
        return false;
    }
    return true;
}

bool readConfigLines(const QString& path, QStringList* lines, QString* error)
{
    QByteArray bytes;
    if (!read(path, CONFIG_FILE_MAX_BYTES, &bytes, error))
        return false;
    lines->clear();
    for (const QByteArray& line : bytes.split('\n'))
        *lines << QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line);
    return true;
}

bool write(const QString& path, const QByteArray& bytes, QString* error)
{
    if (path.isEmpty()) {
        *error = QStringLiteral("no file name given");
        return false;
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        *error = QStringLiteral("it is a folder");
        return false;
    }
    // The rename would put a file in the place of a device or a pipe.
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("not a regular file");
        return false;
    }
    QSaveFile file(path);
    // Unbuffered: a buffered write reports every byte taken, and a flush
    // cut short by a full disk went unseen at the commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    // A short write is followed by another, which fails with the reason.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            *error = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += written;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace FileAccess
