// The comparison of a configuration file with a module's answers: the input
// is the file, then after a NUL byte the module's answer lines. The file is
// read as the window and tavcli read it. Every field the file sets is either
// held, different or not readable, never anything else, and a file compared
// with its own fields shows no difference.
#include "FuzzTarget.h"
#include "provisioning/ConfigComparison.h"

#include <QBuffer>
#include <QHash>

#include <algorithm>

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    QByteArray file = split < 0 ? input : input.left(split);
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    QString error;
    const QList<ConfigField> wanted = ConfigComparison::fieldsOfRequests(ConfigComparison::readLines(buffer), &error);

    QList<ConfigField> module;
    if (split >= 0) {
        for (const QByteArray& line : input.mid(split + 1).split('\n'))
            module += ConfigComparison::fieldsOfAnswer(QString::fromUtf8(line));
    }
    const QStringList commands = ConfigComparison::commandsToRead(wanted);
    for (const QString& command : commands)
        check(std::any_of(wanted.cbegin(), wanted.cend(),
                  [&](const ConfigField& f) { return f.command == command && f.readable; }),
            "a command to read that no readable field needs");

    const QList<ConfigDifference> differences = ConfigComparison::compare(module, wanted);
    check(differences.size() <= wanted.size(), "more differences than fields");
    const int different = ConfigComparison::countDifferent(differences);
    for (const ConfigDifference& d : differences)
        check(!d.text().isEmpty() && (d.kind == ConfigDifference::DIFFERENT || d.kind == ConfigDifference::NOT_READABLE),
            "a difference of no kind");
    check(ConfigComparison::differentNames(differences).isEmpty() == (different == 0), "names of no difference");
    (void)ConfigComparison::uploadFailure(differences);

    // The module holding just what the file sets: no field differs, save
    // one the file sets twice to two values (the module keeps the last).
    QHash<QString, int> times;
    for (const ConfigField& f : wanted)
        ++times[f.command + '/' + f.name];
    for (const ConfigDifference& d : ConfigComparison::compare(wanted, wanted)) {
        if (d.kind != ConfigDifference::DIFFERENT)
            continue;
        const auto same = std::find_if(wanted.cbegin(), wanted.cend(),
            [&](const ConfigField& f) { return f.name == d.name && f.value == d.fileValue; });
        check(same != wanted.cend() && times.value(same->command + '/' + same->name) > 1,
            "a file differs from its own fields");
    }
    return 0;
}
