// Configuration files as the import reads them: the first byte picks the
// module, the rest is the file. Each line is parsed as a request and applied
// to the models through the dispatch. No device: the manager's port is never
// opened, so nothing is written anywhere.
#include "FuzzTarget.h"
#include "TavManager.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace {

struct Rig {
    Rig()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLoggingCategory::setFilterRules("*.critical=false\n*.warning=false\n*.debug=false");
        const TavBoard::Module modules[4] = {TavBoard::TAV1, TavBoard::TAV2, TavBoard::RIX, TavBoard::TREKON};
        for (int i = 0; i < 4; ++i) {
            managers[i] = std::make_unique<TavManager>();
            // A port that does not exist: the board and codec stay, the link is closed.
            managers[i]->connect(modules[i], dir.filePath("no-such-port"), "Default");
        }
        path = dir.filePath("fuzz.cfg");
    }
    int argc = 1;
    char name[16] = "fuzz";
    char* argv[2] = {name, nullptr};
    QCoreApplication app {argc, argv};
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<TavManager> managers[4];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Rig rig;
    if (size == 0)
        return 0;
    {
        QFile file(rig.path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    rig.managers[data[0] & 3]->importConfig(rig.path);
    return 0;
}
