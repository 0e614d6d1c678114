// Orbit-data documents as the download hands them to the satellite model.
#include "FuzzTarget.h"
#include "orbit/SatelliteAopModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = [] {
        silenceQtMessages();
        return true;
    }();
    (void)quiet;
    SatelliteAopModel model;
    if (model.parseJsonData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)))) {
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row);
            for (int role : model.roleNames().keys())
                (void)model.data(index, role);
        }
    }
    return 0;
}
