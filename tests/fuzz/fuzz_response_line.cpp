// Module answers: the first byte picks the board grammar and the mode, the
// rest is one received line, parsed and then read back field by field.
#include "AtCmdHandler.h"
#include "FuzzTarget.h"
#include "Rix.h"
#include "Tav1.h"
#include "Tav2.h"
#include "Trekon.h"

#include <QLoggingCategory>

#include <memory>

namespace {

struct Codecs {
    Codecs()
    {
        QLoggingCategory::setFilterRules("*.critical=false\n*.warning=false\n*.debug=false");
        const Tav1 tav1(nullptr, QSerialPort::Baud9600);
        const Tav2 tav2(nullptr, QSerialPort::Baud9600);
        const Rix rix(nullptr, QSerialPort::Baud9600);
        const Trekon trekon(nullptr, QSerialPort::Baud115200);
        handlers[0] = std::make_unique<AtCmdHandler>(nullptr, tav1.getAtCmdRegexMap());
        handlers[1] = std::make_unique<AtCmdHandler>(nullptr, tav2.getAtCmdRegexMap());
        handlers[2] = std::make_unique<AtCmdHandler>(nullptr, rix.getAtCmdRegexMap());
        handlers[3] = std::make_unique<AtCmdHandler>(nullptr, trekon.getAtCmdRegexMap());
    }
    std::unique_ptr<AtCmdHandler> handlers[4];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Codecs codecs;
    if (size == 0)
        return 0;
    AtCmdHandler& codec = *codecs.handlers[data[0] & 3];
    const bool isRequest = data[0] & 4;
    const QString line = QString::fromLatin1(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
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
    return 0;
}
