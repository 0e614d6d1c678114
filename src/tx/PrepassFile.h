#pragma once

#include "orbit/PrepassCsv.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Pass list files on disk: reads them (a path or a file URL) within a size
// limit and in either text encoding, and writes them as they are read back.
namespace PrepassFile {

struct ReadResult {
    PrepassCsv::Result csv; // csv.error names what went wrong, in the log's words
    QString localPath;
    QString fileName;
};

// Passes that ended before `nowUtc` are dropped.
ReadResult read(const QString& pathOrUrl, const QDateTime& nowUtc);
// Empty on success, else the log line saying what could not be written.
QString write(const QString& pathOrUrl, const QList<Prepass>& passes);

} // namespace PrepassFile
