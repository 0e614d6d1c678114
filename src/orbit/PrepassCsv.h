#pragma once

#include "Prepass.h"

#include <QChar>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

// Reading of the pass list that the pass-prediction portal exports: one pass
// a line, nine fields: satellite, start, middle (highest elevation) and end
// date-times in UTC, duration, middle elevation, then start, middle and end
// azimuths. Dates "DD/MM/YYYY HH:MM:SS" (or ISO 8601), durations "HH:MM:SS";
// fields separated by ",", ";" or tab, an optional header line first.
namespace PrepassCsv {

constexpr int FIELD_COUNT = 9;

struct Result {
    QList<Prepass> passes; // not yet ended, in start order
    int expired = 0; // passes dropped because they had already ended
    QString error; // empty on success; names the faulty line
    bool ok() const { return error.isEmpty(); }
};

// "DD/MM/YYYY HH:MM[:SS]" or ISO 8601; a date without a zone is UTC.
QDateTime parseDate(const QString& text);
// "HH:MM:SS" (hours may have one digit); invalid QTime when malformed.
QTime parseDuration(const QString& text);
// Tab, then ";", then "," as they appear in `line`.
QChar detectSeparator(const QString& line);

// Parses the whole file; passes that ended before `nowUtc` are dropped. On
// error nothing is returned but the message.
Result parse(const QString& text, const QDateTime& nowUtc);

// The header line of written lists.
extern const QString HEADER;
// Writes the passes as `parse` reads them back unchanged: the header, then
// one pass a line separated by ";", dates ISO 8601 UTC to the second,
// angles with one decimal (more when the value has them).
QString write(const QList<Prepass>& passes);
QString formatDate(const QDateTime& date);
QString formatAngle(double degrees);

} // namespace PrepassCsv
