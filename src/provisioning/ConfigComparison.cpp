#include "ConfigComparison.h"

#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>

namespace {

enum class Kind {
    NUMBER, // compared as numbers at six significant digits: "5", "5.0" and "5.0000004" are the same
    HEX, // the arguments joined, compared without case: "01,AB" is "01AB"
    DAYS, // two dates, compared as the whole days between them
    SECRET, // written, never given back
};

struct Row {
    const char* command;
    int first; // index of the first argument
    int count; // arguments it takes
    const char* name;
    Kind kind;
};

// The settings a configuration holds, in the order an upload sends them. The
// position inside the prediction settings repeats the beacon position, and
// their start and end dates count only as the duration between them.
const Row kRows[] = {
    {"ALRT_LIGHT", 0, 1, "Light alert", Kind::NUMBER},
    {"ALRT_LIGHT", 1, 1, "Light low threshold", Kind::NUMBER},
    {"ALRT_LIGHT", 2, 1, "Light high threshold", Kind::NUMBER},
    {"ALRT_ACC", 0, 1, "Accelerometer alert", Kind::NUMBER},
    {"ALRT_ACC", 1, 1, "Accelerometer bound", Kind::NUMBER},
    {"ALRT_DRYC", 0, 1, "Dry contact alert", Kind::NUMBER},
    {"ALRT_DRYC", 1, 1, "Dry contact active level", Kind::NUMBER},
    {"ALRT_PB", 0, 1, "Push button alert", Kind::NUMBER},
    {"PACQ_SENS", 0, 1, "GNSS enabled", Kind::NUMBER},
    {"PACQ_SENS", 1, 1, "Temperature enabled", Kind::NUMBER},
    {"PACQ_SENS", 2, 1, "Humidity enabled", Kind::NUMBER},
    {"PACQ_SENS", 3, 1, "Pressure enabled", Kind::NUMBER},
    {"PACQ_SENS", 4, 1, "Light enabled", Kind::NUMBER},
    {"PACQ_SENS", 5, 1, "Accelerometer enabled", Kind::NUMBER},
    {"PACQ_SENS", 6, 1, "Dry contact enabled", Kind::NUMBER},
    {"ALRT_SENS", 0, 1, "GNSS alerts enabled", Kind::NUMBER},
    {"ALRT_SENS", 1, 1, "Temperature alerts enabled", Kind::NUMBER},
    {"ALRT_SENS", 2, 1, "Humidity alerts enabled", Kind::NUMBER},
    {"ALRT_SENS", 3, 1, "Pressure alerts enabled", Kind::NUMBER},
    {"ALRT_SENS", 4, 1, "Light alerts enabled", Kind::NUMBER},
    {"ALRT_SENS", 5, 1, "Accelerometer alerts enabled", Kind::NUMBER},
    {"ALRT_SENS", 6, 1, "Dry contact alerts enabled", Kind::NUMBER},
    {"PACQ", 0, 1, "Acquisition period", Kind::NUMBER},
    {"POS", 0, 1, "Beacon latitude", Kind::NUMBER},
    {"POS", 1, 1, "Beacon longitude", Kind::NUMBER},
    {"PREPASS_EN", 0, 1, "Prepass on module", Kind::NUMBER},
    {"TAV_REDUN", 0, 1, "Module redundancy", Kind::NUMBER},
    {"PREPASS_CFG", 2, 2, "Prediction duration", Kind::DAYS},
    {"PREPASS_CFG", 4, 1, "Minimum elevation", Kind::NUMBER},
    {"PREPASS_CFG", 5, 1, "Maximum elevation", Kind::NUMBER},
    {"PREPASS_CFG", 6, 1, "Minimum pass duration", Kind::NUMBER},
    {"PREPASS_CFG", 7, 1, "Maximum passes", Kind::NUMBER},
    {"PREPASS_CFG", 8, 1, "Time margin", Kind::NUMBER},
    {"PREPASS_CFG", 9, 1, "Computation step", Kind::NUMBER},
    {"LORA_EN", 0, 1, "LoRa", Kind::NUMBER},
    {"LORA_AEUI", 0, 8, "Application EUI", Kind::HEX},
    {"LORA_AKEY", 0, 16, "Application key", Kind::SECRET},
    {"LORA_ACK", 0, 1, "LoRa acknowledgement", Kind::NUMBER},
    {"LORA_REDUN", 0, 1, "LoRa redundancy", Kind::NUMBER},
};

const Row* rowOf(const QString& command, const QString& name)
{
    for (const Row& row : kRows) {
        if (command == QLatin1String(row.command) && name == QLatin1String(row.name))
            return &row;
    }
    return nullptr;
}

QDateTime dateOf(const QString& text)
{
    QDateTime date = QDateTime::fromString(text, Qt::ISODate);
    if (!date.isValid())
        date = QDateTime::fromString(text, QStringLiteral("yyyy-M-dTH:m:sZ"));
    return date;
}

QString valueOf(const Row& row, const QStringList& args)
{
    if (args.size() < row.first + row.count)
        return {};
    const QStringList mine = args.mid(row.first, row.count);
    switch (row.kind) {
    case Kind::NUMBER: return mine.constFirst().trimmed();
    case Kind::HEX:
    case Kind::SECRET: return mine.join(QString()).toUpper();
    case Kind::DAYS: {
        const QDateTime start = dateOf(mine.at(0));
        const QDateTime end = dateOf(mine.at(1));
        if (!start.isValid() || !end.isValid())
            return {};
        return QString::number(start.daysTo(end));
    }
    }
    return {};
}

QList<ConfigField> fieldsOf(const QString& command, const QString& data)
{
    QList<ConfigField> fields;
    const QStringList args = data.split(QLatin1Char(','));
    for (const Row& row : kRows) {
        if (command != QLatin1String(row.command))
            continue;
        fields.append({command, QString::fromLatin1(row.name), valueOf(row, args), row.kind != Kind::SECRET});
    }
    return fields;
}

bool sameValue(const Row* row, const QString& a, const QString& b)
{
    if (row && row->kind != Kind::NUMBER)
        return a.compare(b, Qt::CaseInsensitive) == 0;
    // The same text is the same value, even one that is no number ("nan").
    if (a == b)
        return true;
    bool aNumber = false;
    bool bNumber = false;
    const double x = a.toDouble(&aNumber);
    const double y = b.toDouble(&bNumber);
    if (!aNumber || !bNumber)
        return a == b;
    // An upload writes numbers with six significant digits: two numbers are
    // the same when they read the same at that precision, so that a module's
    // own export holds what the module answers.
    return QString::number(x, 'g', 6) == QString::number(y, 'g', 6);
}

} // namespace

QString ConfigDifference::text() const
{
    if (kind == NOT_READABLE)
        return name + ": not readable";
    return name + ": module " + (moduleValue.isEmpty() ? QStringLiteral("(none)") : moduleValue) + ", file "
        + (fileValue.isEmpty() ? QStringLiteral("(none)") : fileValue);
}

namespace ConfigComparison {

QStringList readLines(QIODevice& file)
{
    QStringList lines;
    while (!file.atEnd())
        lines << QString::fromUtf8(file.readLine(64 * 1024));
    return lines;
}

QList<ConfigField> fieldsOfRequests(const QStringList& lines, QString* error)
{
    static const QRegularExpression request(QStringLiteral("^AT\\+([A-Z_]+)=(.*)$"));
    QList<ConfigField> fields;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch match = request.match(line);
        if (!match.hasMatch()) {
            if (error && error->isEmpty())
                *error = "not a configuration command: " + line;
            continue;
        }
        // A get in a file sets nothing.
        if (match.captured(2) == QLatin1String("?"))
            continue;
        fields += fieldsOf(match.captured(1), match.captured(2));
    }
    return fields;
}

QList<ConfigField> fieldsOfAnswer(const QString& line)
{
    static const QRegularExpression answer(QStringLiteral("^\\+([A-Z_]+)[=:]?(.*)$"));
    const QRegularExpressionMatch match = answer.match(line.trimmed());
    if (!match.hasMatch())
        return {};
    return fieldsOf(match.captured(1), match.captured(2));
}

QStringList commandsToRead(const QList<ConfigField>& fields)
{
    QStringList commands;
    for (const ConfigField& field : fields) {
        if (field.readable && !commands.contains(field.command))
            commands << field.command;
    }
    return commands;
}

QList<ConfigDifference> compare(const QList<ConfigField>& module, const QList<ConfigField>& wanted)
{
    QHash<QString, QString> held;
    for (const ConfigField& field : module) {
        if (field.readable && !field.value.isEmpty())
            held.insert(field.command + '/' + field.name, field.value);
    }
    QList<ConfigDifference> differences;
    for (const ConfigField& field : wanted) {
        const auto found = held.constFind(field.command + '/' + field.name);
        if (!field.readable || found == held.cend()) {
            differences.append({ConfigDifference::NOT_READABLE, field.name, QString(), field.value});
            continue;
        }
        if (!sameValue(rowOf(field.command, field.name), found.value(), field.value))
            differences.append({ConfigDifference::DIFFERENT, field.name, found.value(), field.value});
    }
    return differences;
}

int countDifferent(const QList<ConfigDifference>& differences)
{
    return static_cast<int>(std::count_if(differences.cbegin(), differences.cend(),
        [](const ConfigDifference& d) { return d.kind == ConfigDifference::DIFFERENT; }));
}

QString differentNames(const QList<ConfigDifference>& differences)
{
    QStringList names;
    for (const ConfigDifference& d : differences) {
        if (d.kind == ConfigDifference::DIFFERENT)
            names << d.name;
    }
    return names.join(QStringLiteral(", "));
}

QString uploadFailure(const QList<ConfigDifference>& left)
{
    const int count = countDifferent(left);
    return QString("Configuration uploaded, but %1 %2: %3")
        .arg(count)
        .arg(count == 1 ? "field differs" : "fields differ", differentNames(left));
}

} // namespace ConfigComparison
