#include "ReplayScript.h"

#include <QRegularExpression>
#include <QTime>

namespace {

constexpr int DAY_MS = 24 * 3600 * 1000;
// How the development kit's status lines begin ("TREKON -- BUTTON PUSHED").
constexpr const char* KIT_STATUS = "TREKON -- ";

// Milliseconds from `from` to `to`, across midnight when the log crosses it.
int msBetween(const QTime& from, const QTime& to)
{
    const int ms = from.msecsTo(to);
    return ms < 0 ? ms + DAY_MS : ms;
}

} // namespace

QString ReplayScript::wordOf(const QString& request)
{
    static const QRegularExpression frame(QStringLiteral("^AT\\+([A-Z_]+)"));
    return frame.match(request).captured(1);
}

bool ReplayScript::parse(const QString& text, QString* error)
{
    static const QRegularExpression logLine(
        QStringLiteral(R"(^\[(\d{2}:\d{2}:\d{2}:\d{3})\] \[(APP|TAV|TRK)\](?: (.*))?$)"));
    m_opening.clear();
    m_exchanges.clear();
    m_next = 0;
    int logLines = 0;
    QTime anchor; // the request the module lines follow
    QTime openingStart; // the first line of the opening
    bool answered = false; // the module answered a request
    // A carriage return ends a line too: kept inside one, it would reach the
    // host as a line break of its own.
    static const QRegularExpression lineEnd(QStringLiteral("[\r\n]"));
    for (const QString& raw : text.split(lineEnd)) {
        const QRegularExpressionMatch m = logLine.match(raw.trimmed());
        if (!m.hasMatch())
            continue;
        ++logLines;
        const QTime at = QTime::fromString(m.captured(1), QStringLiteral("hh:mm:ss:zzz"));
        const QString body = m.captured(3);
        if (m.captured(2) == QLatin1String("APP")) {
            // The tool logs each request as it sends it; its other lines
            // are its own messages, not the module's.
            if (body.startsWith(QLatin1String("AT+"))) {
                m_exchanges.append({body, wordOf(body), {}});
                anchor = at;
            }
            continue;
        }
        // A kit that sleeps is woken before the tool's first request goes
        // out: the tool logs that request while it waits for the button, so
        // the wake-up line comes after it in the log, yet belongs to the
        // opening of the port.
        const bool opening
            = m_exchanges.isEmpty() || (!answered && body.startsWith(QLatin1String(KIT_STATUS)));
        if (opening) {
            if (m_opening.isEmpty())
                openingStart = at;
            m_opening.append({body, msBetween(openingStart, at)});
            continue;
        }
        answered = true;
        m_exchanges.last().lines.append({body, msBetween(anchor, at)});
    }
    if (logLines == 0) {
        *error = QStringLiteral("no line of a device log in it");
        return false;
    }
    return true;
}

int ReplayScript::find(const QString& request, const QString& word, int from, int to) const
{
    for (int i = from; i < to; ++i) {
        if (m_exchanges.at(i).request == request)
            return i;
    }
    for (int i = from; i < to && !word.isEmpty(); ++i) {
        if (m_exchanges.at(i).word == word)
            return i;
    }
    return -1;
}

const ReplayScript::Exchange* ReplayScript::answer(const QString& request)
{
    const QString text = request.trimmed();
    const QString word = wordOf(text);
    int found = find(text, word, m_next, int(m_exchanges.size()));
    if (found < 0)
        found = find(text, word, 0, m_next);
    if (found < 0)
        return nullptr;
    m_next = found + 1;
    return &m_exchanges.at(found);
}
