// Device logs as `tavsim --replay` reads them. Every recorded request must
// find its exchange again, a request of an unknown command word none, and
// no line to play back may hold a line break (it would reach the host as
// two lines) or wait a negative time or more than a day.
#include "FuzzTarget.h"
#include "ReplayScript.h"

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

void checkLines(const QList<ReplayScript::Line>& lines)
{
    for (const ReplayScript::Line& line : lines) {
        check(!line.text.contains(QLatin1Char('\n')) && !line.text.contains(QLatin1Char('\r')),
            "a line break inside a line to play back");
        check(line.delayMs >= 0 && line.delayMs < 24 * 3600 * 1000, "a delay outside one day");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ReplayScript script;
    QString error;
    if (!script.parse(text, &error)) {
        check(!error.isEmpty(), "a refusal without its reason");
        return 0;
    }
    checkLines(script.opening());
    QStringList requests;
    for (const ReplayScript::Exchange& exchange : script.exchanges()) {
        checkLines(exchange.lines);
        requests << exchange.request;
    }
    for (const QString& request : requests) {
        const ReplayScript::Exchange* found = script.answer(request);
        check(found != nullptr || ReplayScript::wordOf(request.trimmed()).isEmpty(),
            "a recorded request without its exchange");
        if (found)
            check(found->word == ReplayScript::wordOf(request.trimmed()), "an exchange of another command word");
    }
    check(script.answer(QStringLiteral("AT+NO_SUCH_WORD_IN_ANY_LOG=?")) == nullptr
            || requests.join(QLatin1Char('\n')).contains(QLatin1String("AT+NO_SUCH_WORD_IN_ANY_LOG")),
        "an answer to an unknown command word");
    return 0;
}
