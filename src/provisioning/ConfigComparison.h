#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One setting of a module's configuration, named as the window shows it,
// with the value a configuration file writes or the module answers.
struct ConfigField {
    QString command; // the command word that sets and reads it, "POS"
    QString name; // "Beacon latitude"
    QString value;
    // The module never gives it back (the application key is write-only).
    bool readable = true;
};

// A field whose two values are not the same, or one that cannot be checked.
struct ConfigDifference {
    enum Kind { DIFFERENT, NOT_READABLE };
    Kind kind = DIFFERENT;
    QString name;
    QString moduleValue;
    QString fileValue;

    // "Beacon latitude: module 43.5, file 12.5" or "Application key: not readable".
    QString text() const;
};

class QIODevice;

namespace ConfigComparison {

// The lines of a configuration file, as the window and tavcli read it; a line
// over 64 KiB comes in pieces (none of them a command then).
QStringList readLines(QIODevice& file);

// The fields of configuration lines "AT+WORD=a,b,..." (a file, or the sets an
// upload sends). Lines that set nothing kept by the module (the date, the
// orbit data, the reset) give none; `error` names the first line that is no
// command.
QList<ConfigField> fieldsOfRequests(const QStringList& lines, QString* error = nullptr);
// The fields of one answer "+WORD=a,b,..." of the module to a get.
QList<ConfigField> fieldsOfAnswer(const QString& line);
// The command words to read from a module to compare it with `fields`, in
// their order; write-only fields are not asked for.
QStringList commandsToRead(const QList<ConfigField>& fields);

// Every field of `wanted` (the file, or what an upload sent) that `module`
// does not hold, in the order of `wanted`. A field the module cannot give
// back, or did not answer, is NOT_READABLE, never DIFFERENT.
QList<ConfigDifference> compare(const QList<ConfigField>& module, const QList<ConfigField>& wanted);
// How many of `differences` are real ones.
int countDifferent(const QList<ConfigDifference>& differences);
// The names of the real differences, "Beacon latitude, Module redundancy".
QString differentNames(const QList<ConfigDifference>& differences);
// "Configuration uploaded, but 2 fields differ: Beacon latitude, LoRa".
QString uploadFailure(const QList<ConfigDifference>& left);

} // namespace ConfigComparison
