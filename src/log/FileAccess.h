#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files read from outside and files the tool writes. Every read is bounded,
// whatever the file system says of the size (a device or a pipe says 0);
// every write replaces the file whole or leaves the old one as it was.
namespace FileAccess {

// One limit per kind of file, the same wherever the kind is read.
constexpr qint64 MiB = 1024 * 1024;
// A configuration is a few dozen lines.
constexpr qint64 CONFIG_FILE_MAX_BYTES = 1 * MiB;
// A pass list of a year for every satellite stays far below this.
constexpr qint64 PASS_FILE_MAX_BYTES = 4 * MiB;
// An orbit document, as the service's reply is bounded.
constexpr qint64 ORBIT_FILE_MAX_BYTES = 4 * MiB;

// "4 MiB" for a limit of a whole number of MiB, else bytes.
QString sizeText(qint64 bytes);

// Reads `path` whole, refusing it when it holds more than `limit` bytes.
// False with the reason in `error` ("larger than 1 MiB", the system's reason
// for a file that cannot be opened).
bool read(const QString& path, qint64 limit, QByteArray* bytes, QString* error);

// The lines of a configuration file (CONFIG_FILE_MAX_BYTES at most), line
// ends stripped.
bool readConfigLines(const QString& path, QStringList* lines, QString* error);

// Writes `bytes` to a temporary file next to `path`, then renames it over
// `path`. False with the system's reason in `error` ("No space left on
// device"); the old file is then untouched.
bool write(const QString& path, const QByteArray& bytes, QString* error);

} // namespace FileAccess
