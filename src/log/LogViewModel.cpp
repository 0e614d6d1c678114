#include "LogViewModel.h"

#include "LogSearch.h"

#include <QLocale>

#include <algorithm>

LogViewModel::LogViewModel(QObject* parent)
    : QAbstractListModel(parent)
    , m_search(new LogSearch(this))
{
}

void LogViewModel::setHistory(LogModel* history)
{
    if (history == m_history)
        return;
    if (m_history)
        disconnect(m_history, nullptr, this, nullptr);
    m_history = history;
    if (m_history) {
        connect(m_history, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { onRowsInserted(first, last); });
        connect(m_history, &QAbstractItemModel::rowsRemoved, this, &LogViewModel::onRowsRemoved);
        connect(m_history, &QAbstractItemModel::modelReset, this, &LogViewModel::rebuild);
    }
    rebuild();
    emit historyChanged();
}

bool LogViewModel::accepts(const LogModel::Line& line) const
{
    if (!(m_sources & (1 << line.source)))
        return false;
    if (!m_requestsOnly && !m_errorsOnly)
        return true;
    return (m_requestsOnly && line.kind == LogModel::REQUEST) || (m_errorsOnly && line.kind == LogModel::ERROR);
}

bool LogViewModel::filtered() const
{
    return m_sources != ALL_SOURCES || m_requestsOnly || m_errorsOnly;
}

void LogViewModel::setSources(int sources)
{
    sources &= ALL_SOURCES;
    if (sources == m_sources)
        return;
    m_sources = sources;
    rebuild();
    emit filterChanged();
}

void LogViewModel::setRequestsOnly(bool on)
{
    if (on == m_requestsOnly)
        return;
    m_requestsOnly = on;
    rebuild();
    emit filterChanged();
}

void LogViewModel::setErrorsOnly(bool on)
{
    if (on == m_errorsOnly)
        return;
    m_errorsOnly = on;
    rebuild();
    emit filterChanged();
}

QString LogViewModel::summary() const
{
    const QLocale english(QLocale::English);
    const int kept = m_history ? m_history->count() : 0;
    if (filtered())
        return english.toString(count()) + " of " + english.toString(kept) + " lines, filtered";
    const qint64 total = m_history ? m_history->totalLines() : 0;
    QString out = english.toString(kept) + " lines";
    if (total > kept && m_history)
        out += " (the last " + english.toString(m_history->maxLines()) + " are kept)";
    return out;
}

const QString& LogViewModel::lineAt(int row) const
{
    return m_history->at(int(m_rows.at(row) - m_history->firstSeq())).line;
}

int LogViewModel::rowOf(qint64 seq) const
{
    const auto it = std::lower_bound(m_rows.cbegin(), m_rows.cend(), seq);
    return it != m_rows.cend() && *it == seq ? int(it - m_rows.cbegin()) : -1;
}

void LogViewModel::rebuild()
{
    beginResetModel();
    m_rows.clear();
    if (m_history) {
        const int n = m_history->count();
        for (int i = 0; i < n; ++i) {
            if (accepts(m_history->at(i)))
                m_rows.append(m_history->seqAt(i));
        }
    }
    m_anchor = m_end = -1;
    endResetModel();
    m_search->rescan();
    emit countChanged();
    emit selectionChanged();
}

void LogViewModel::onRowsInserted(int first, int last)
{
    QList<qint64> added;
    for (int i = first; i <= last; ++i) {
        if (accepts(m_history->at(i)))
            added.append(m_history->seqAt(i));
    }
    if (!added.isEmpty()) {
        const int from = int(m_rows.size());
        beginInsertRows(QModelIndex(), from, from + int(added.size()) - 1);
        m_rows.append(added);
        endInsertRows();
        m_search->rowsAppended(from, int(m_rows.size()) - 1);
    }
    emit countChanged();
}

void LogViewModel::onRowsRemoved()
{
    const qint64 firstKept = m_history->firstSeq();
    const auto kept = std::lower_bound(m_rows.begin(), m_rows.end(), firstKept);
    const qsizetype gone = kept - m_rows.begin();
    if (gone > 0) {
        beginRemoveRows(QModelIndex(), 0, int(gone) - 1);
        m_rows.remove(0, gone);
        endRemoveRows();
        // The new first line opens its day.
        if (!m_rows.isEmpty())
            emit dataChanged(index(0), index(0), {DAY_START_ROLE});
        m_search->rowsDropped(firstKept);
        if (m_end >= 0 && m_end < firstKept)
            m_anchor = m_end = -1;
        emit selectionChanged();
    }
    emit countChanged();
}

void LogViewModel::select(int row, bool extend)
{
    if (row < 0 || row >= m_rows.size())
        return;
    const qint64 seq = m_rows.at(row);
    if (!extend || m_anchor < 0)
        m_anchor = seq;
    m_end = seq;
    marksChanged(SELECTED_ROLE);
    emit selectionChanged();
}

void LogViewModel::selectAll()
{
    if (m_rows.isEmpty())
        return;
    m_anchor = m_rows.constFirst();
    m_end = m_rows.constLast();
    marksChanged(SELECTED_ROLE);
    emit selectionChanged();
}

void LogViewModel::clearSelection()
{
    m_anchor = m_end = -1;
    marksChanged(SELECTED_ROLE);
    emit selectionChanged();
}

bool LogViewModel::isSelected(int row) const
{
    if (m_anchor < 0 || row < 0 || row >= m_rows.size())
        return false;
    const qint64 seq = m_rows.at(row);
    return seq >= qMin(m_anchor, m_end) && seq <= qMax(m_anchor, m_end);
}

int LogViewModel::selectedCount() const
{
    if (m_anchor < 0)
        return 0;
    const auto from = std::lower_bound(m_rows.cbegin(), m_rows.cend(), qMin(m_anchor, m_end));
    const auto to = std::upper_bound(m_rows.cbegin(), m_rows.cend(), qMax(m_anchor, m_end));
    return int(to - from);
}

QString LogViewModel::joined(qsizetype from, qsizetype to, bool dated) const
{
    QString out;
    QDate day;
    for (qsizetype row = from; row < to; ++row) {
        const LogModel::Line& line = m_history->at(int(m_rows.at(row) - m_history->firstSeq()));
        if (dated) {
            LogModel::appendDated(out, day, line);
        } else {
            if (row > from)
                out += '\n';
            out += line.line;
        }
    }
    return out;
}

QString LogViewModel::selectedText() const
{
    if (selectedCount() == 0)
        return joined(0, m_rows.size(), false);
    const auto from = std::lower_bound(m_rows.cbegin(), m_rows.cend(), qMin(m_anchor, m_end));
    const auto to = std::upper_bound(m_rows.cbegin(), m_rows.cend(), qMax(m_anchor, m_end));
    return joined(from - m_rows.cbegin(), to - m_rows.cbegin(), false);
}

QString LogViewModel::text() const
{
    return joined(0, m_rows.size(), true);
}

void LogViewModel::marksChanged(int role)
{
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(int(m_rows.size()) - 1), {role});
}

int LogViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant LogViewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || !m_history)
        return {};
    const qint64 seq = m_rows.at(index.row());
    switch (role) {
    case SELECTED_ROLE: return isSelected(index.row());
    case MATCH_ROLE: return m_search->isMatch(seq);
    case CURRENT_MATCH_ROLE: return seq == m_search->currentSeq();
    case DAY_START_ROLE:
        return index.row() == 0
            || m_history->at(int(seq - m_history->firstSeq())).date
            != m_history->at(int(m_rows.at(index.row() - 1) - m_history->firstSeq())).date;
    default: return m_history->data(m_history->index(int(seq - m_history->firstSeq())), role);
    }
}

QHash<int, QByteArray> LogViewModel::roleNames() const
{
    QHash<int, QByteArray> names = LogModel::roles();
    names.insert(SELECTED_ROLE, "selected");
    names.insert(DAY_START_ROLE, "dayStart");
    names.insert(MATCH_ROLE, "matched");
    names.insert(CURRENT_MATCH_ROLE, "currentMatch");
    return names;
}
