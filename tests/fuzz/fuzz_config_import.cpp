// Configuration files as the import reads them: the first byte picks the
// module, the rest is the file. Each line is parsed as a request and applied
// to the models through the dispatch. No device: the manager's port is never
// opened, so nothing is written anywhere.
#include "ManagerRig.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ManagerRig rig;
    static const QString path = rig.dir.filePath("fuzz.cfg");
    if (size == 0)
        return 0;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    rig.manager(data[0]).importConfig(path);
    return 0;
}
