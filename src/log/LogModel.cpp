#include "LogModel.h"

#include <algorithm>

namespace {

// "[hh:mm:ss:zzz] [SRC] ": what Logger::formatLine puts before the text.
constexpr int TIME_LENGTH = 12;
constexpr int PREFIX_LENGTH = 21;

// How the tool's own messages about a failure begin. The messages are the
// tool's, kept as they always were; this list is the one place that reads
// them for the errors-only filter.
const QLatin1String APP_ERROR_OPENINGS[] = {
    QLatin1String("Unable"),
    QLatin1String("ERROR"),
    QLatin1String("AT command request timeout"),
    QLatin1String("Request refused"),
    QLatin1String("Request has been cancelled"),
    QLatin1String("A Tx error"),
    QLatin1String("TAV ASSERT"),
    QLatin1String("Invalid"),
    QLatin1String("Unsupported"),
};

} // namespace

LogModel::LogModel(QObject* parent)
    : QAbstractListModel(parent)
{
    m_batchTimer.setSingleShot(true);
    m_batchTimer.setInterval(100);
    connect(&m_batchTimer, &QTimer::timeout, this, &LogModel::flush);
}

LogModel::Kind LogModel::kindOf(Logger::Source source, const QString& text)
{
    if (source == Logger::APP) {
        if (text.startsWith(QLatin1String("AT+")))
            return REQUEST;
        for (const QLatin1String& opening : APP_ERROR_OPENINGS) {
            if (text.startsWith(opening))
                return ERROR;
        }
        return APPLICATION;
    }
    if (text.startsWith(QLatin1String("+ERROR=")) || text.startsWith(QLatin1String("+ASSERT=")))
        return ERROR;
    return ANSWER;
}

QString LogModel::textOf(const QString& line)
{
    return line.mid(PREFIX_LENGTH);
}

QString LogModel::shownOf(const Line& line)
{
    const auto plain = [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; };
    const qsizetype length = std::min<qsizetype>(line.line.size(), SHOWN_MAX_LENGTH);
    qsizetype i = line.source == Logger::APP ? length : PREFIX_LENGTH;
    while (i < length && plain(line.line.at(i)))
        ++i;
    if (i >= length && length == line.line.size())
        return line.line;
    QString shown = line.line.left(length);
    for (; i < length; ++i) {
        if (!plain(shown.at(i)))
            shown[i] = QChar::ReplacementCharacter;
    }
    if (length < line.line.size())
        shown.append(QChar(0x2026));
    return shown;
}

QString LogModel::timeOf(const QString& line)
{
    return line.startsWith('[') ? line.mid(1, TIME_LENGTH) : QString();
}

void LogModel::append(Logger::Source source, const QString& line, QDate date)
{
    m_pending.append({line, source, kindOf(source, line.mid(PREFIX_LENGTH)), date});
    ++m_total;
    if (source != Logger::APP && line.size() > PREFIX_LENGTH + 4 && line.at(PREFIX_LENGTH) == '+'
        && (line.mid(PREFIX_LENGTH + 1, 3) == QLatin1String("RX=")
            || line.mid(PREFIX_LENGTH + 1, 3) == QLatin1String("BC=")))
        emit messageReceived(line);
    // A batch larger than the history only keeps its tail.
    if (m_pending.size() > m_maxLines)
        m_pending.remove(0, m_pending.size() - m_maxLines);
    if (!m_batchTimer.isActive())
        m_batchTimer.start();
}

void LogModel::flush()
{
    m_batchTimer.stop();
    if (m_pending.isEmpty())
        return;
    dropFront(m_lines.size() + m_pending.size() - m_maxLines);
    const int first = int(m_lines.size());
    beginInsertRows(QModelIndex(), first, first + int(m_pending.size()) - 1);
    m_lines.append(std::move(m_pending));
    m_pending = {};
    endInsertRows();
    emit batchDone();
}

void LogModel::dropFront(qsizetype excess)
{
    excess = qMin(excess, m_lines.size());
    if (excess <= 0)
        return;
    beginRemoveRows(QModelIndex(), 0, int(excess) - 1);
    m_lines.remove(0, excess);
    m_firstSeq += excess;
    endRemoveRows();
}

void LogModel::clear()
{
    m_batchTimer.stop();
    m_pending.clear();
    beginResetModel();
    m_firstSeq += m_lines.size();
    m_lines.clear();
    m_lines.squeeze();
    m_total = 0;
    endResetModel();
    emit batchDone();
}

void LogModel::setMaxLines(int lines)
{
    lines = qBound(MIN_MAX_LINES, lines, MAX_MAX_LINES);
    if (lines == m_maxLines)
        return;
    m_maxLines = lines;
    dropFront(m_lines.size() - m_maxLines);
    if (m_pending.size() > m_maxLines)
        m_pending.remove(0, m_pending.size() - m_maxLines);
    emit maxLinesChanged();
    emit batchDone();
}

QString LogModel::text() const
{
    QString out;
    qsizetype size = 0;
    for (const Line& l : m_lines)
        size += l.line.size() + 1;
    out.reserve(size + 32);
    QDate day;
    for (const Line& l : m_lines)
        appendDated(out, day, l);
    return out;
}

void LogModel::appendDated(QString& out, QDate& day, const Line& line)
{
    if (!out.isEmpty())
        out += '\n';
    if (line.date != day) {
        day = line.date;
        out += dateLine(day) + '\n';
    }
    out += line.line;
}

QString LogModel::dateLine(QDate date)
{
    return QStringLiteral("--- ") + date.toString(Qt::ISODate) + QStringLiteral(" UTC ---");
}

int LogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant LogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const Line& l = m_lines.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case LINE_ROLE: return l.line;
    case TIME_ROLE: return timeOf(l.line);
    case SOURCE_ROLE: return int(l.source);
    case TEXT_ROLE: return textOf(l.line);
    case KIND_ROLE: return int(l.kind);
    case SHOWN_ROLE: return shownOf(l);
    case DATE_ROLE: return l.date.toString(Qt::ISODate);
    default: return {};
    }
}

QHash<int, QByteArray> LogModel::roles()
{
    return {{LINE_ROLE, "line"}, {TIME_ROLE, "time"}, {SOURCE_ROLE, "source"}, {TEXT_ROLE, "text"},
        {KIND_ROLE, "kind"}, {SHOWN_ROLE, "shown"}, {DATE_ROLE, "date"}};
}
