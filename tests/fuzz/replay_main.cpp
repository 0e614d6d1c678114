// Runs a fuzz target over every file of the directories (or files) named on
// the command line, so that the corpus and past findings replay with ctest.
#include "FuzzTarget.h"

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[])
{
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        QStringList files;
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        } else {
            files << path;
        }
        files.sort();
        for (const QString& file : files) {
            QFile input(file);
            if (!input.open(QIODevice::ReadOnly)) {
                QTextStream(stderr) << "cannot read " << file << "\n";
                return 1;
            }
            const QByteArray bytes = input.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
            ++replayed;
        }
    }
    QTextStream(stdout) << "replayed " << replayed << " inputs\n";
    // An empty corpus means the test points at the wrong place.
    return replayed > 0 ? 0 : 1;
}
