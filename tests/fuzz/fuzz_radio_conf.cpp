// Radio configuration files: the first line is checked as a file name, the
// rest is the content of a validly named file read back through the import.
#include "FuzzTarget.h"
#include "tx/RadioConf.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype newline = bytes.indexOf('\n');
    const QString name = QString::fromUtf8(newline < 0 ? bytes : bytes.left(newline));
    const bool validName = RadioConf::isValidFileName(name);
    const QByteArray content = newline < 0 ? QByteArray() : bytes.mid(newline + 1);

    const QString path = dir.filePath("radio_conf_401620000_401680000_350_LDA2.bin");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(content);
    }
    const RadioConf::ReadResult result = RadioConf::readFile(path);
    // Only a file of exactly the right size is accepted, and then unchanged.
    if (result.error.isEmpty() != (content.size() == RadioConf::FILE_SIZE))
        __builtin_trap();
    if (result.error.isEmpty() && result.bytes != content)
        __builtin_trap();
    if (validName && (name.contains('/') || !name.endsWith(".bin")))
        __builtin_trap();
    (void)RadioConf::listFiles(dir.path());
    return 0;
}
