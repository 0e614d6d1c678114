// Module answers: the first byte picks the board grammar and the mode, the
// rest is one received line, parsed and then read back field by field. As
// answers, the lines of the input then go through a manager's receive path
// (the dispatch onto the board and the models), as the serial link hands
// them over. No device: the manager's port is never opened.
#include "ManagerRig.h"
#include "protocol/AtCmdHandler.h"

namespace {

// A codec of each module's grammar, apart from the managers' own.
struct Rig : ManagerRig {
    Rig()
    {
        for (int i = 0; i < 4; ++i)
            handlers[i] = std::make_unique<AtCmdHandler>(nullptr, managers[i]->board()->getAtCmdRegexMap());
    }
    std::unique_ptr<AtCmdHandler> handlers[4];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Rig rig;
    if (size == 0)
        return 0;
    AtCmdHandler& codec = *rig.handlers[data[0] & 3];
    const bool isRequest = data[0] & 4;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString line = QString::fromLatin1(bytes);
    if (codec.parse(line, isRequest)) {
        (void)codec.getIdAsStr();
        (void)codec.getErrorAsStr();
        // Every field read every way the dispatch may read it.
        for (int i = 0; i <= codec.getDataLength(); ++i) {
            (void)codec.getData<QString>(quint8(i));
            (void)codec.getData<QChar>(quint8(i));
            (void)codec.getData<uint>(quint8(i));
            (void)codec.getData<double>(quint8(i));
            (void)codec.getData<AtCmdHandler::Error>(quint8(i));
        }
    }
    if (!isRequest) {
        // One answer per line, trimmed and decoded as the serial link does.
        TavManager& manager = rig.manager(data[0]);
        for (const QByteArray& received : bytes.split('\n'))
            manager.onSerialRead(QString::fromUtf8(received.trimmed()));
    }
    return 0;
}
