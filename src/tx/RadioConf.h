#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Radio configuration files: 16 bytes written to the module as they are,
// named "radio_conf_<min Hz>_<max Hz>_<power>_<modulation>.bin" (for example
// radio_conf_401620000_401680000_350_LDA2.bin), kept in the directory that
// "config.ini" key "rconf/dir" names.
namespace RadioConf {

constexpr int FILE_SIZE = 16;
constexpr const char* NAME_PATTERN = "radio_conf_[0-9]*_[0-9]*_[0-9]*_[a-zA-Z0-9]*.bin";

bool isValidFileName(const QString& fileName);
// The directory "config.ini" (in the working directory) names; empty if none.
QString configuredDirectory();
// The valid file names of `directory`, sorted.
QStringList listFiles(const QString& directory);

struct ReadResult {
    QByteArray bytes; // the file's content
    QString error; // empty on success
};

// Reads and checks one file (a path or a file URL).
ReadResult readFile(const QString& path);

} // namespace RadioConf
