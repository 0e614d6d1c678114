// Pass lists as the CSV import reads them, and the field readers alone.
#include "FuzzTarget.h"
#include "orbit/PrepassCsv.h"

#include <QTimeZone>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    // A fixed "now" so that a finding replays the same way.
    static const QDateTime now(QDate(2024, 1, 1), QTime(0, 0), QTimeZone::utc());
    const PrepassCsv::Result result = PrepassCsv::parse(text, now);
    for (int i = 1; i < result.passes.size(); ++i) {
        // The documented order: sorted by start.
        if (result.passes.at(i).start() < result.passes.at(i - 1).start())
            __builtin_trap();
    }
    const QString firstLine = text.section('\n', 0, 0);
    (void)PrepassCsv::detectSeparator(firstLine);
    (void)PrepassCsv::parseDate(firstLine);
    (void)PrepassCsv::parseDuration(firstLine);
    return 0;
}
