#include "LogSearch.h"

#include "LogViewModel.h"

#include <algorithm>

LogSearch::LogSearch(LogViewModel* view)
    : QObject(view)
    , m_view(view)
{
    m_matcher.setCaseSensitivity(Qt::CaseInsensitive);
}

void LogSearch::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    compile();
}

void LogSearch::setRegularExpression(bool on)
{
    if (on == m_regex)
        return;
    m_regex = on;
    compile();
}

void LogSearch::compile()
{
    m_error.clear();
    if (m_regex) {
        m_expression.setPattern(m_text);
        m_expression.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
        if (!m_expression.isValid()) {
            m_error = "Not a valid expression: " + m_expression.errorString() + " at character "
                + QString::number(m_expression.patternErrorOffset() + 1);
        } else {
            m_expression.optimize();
        }
    } else {
        m_matcher.setPattern(m_text);
    }
    emit patternChanged();
    rescan();
}

bool LogSearch::matches(const QString& line) const
{
    if (!active())
        return false;
    if (m_regex)
        // Lines come from the logger, valid text: checking it again per line
        // would cost as much as the match.
        return m_expression
            .match(line, 0, QRegularExpression::NormalMatch, QRegularExpression::DontCheckSubjectStringMatchOption)
            .hasMatch();
    return m_matcher.indexIn(line) >= 0;
}

bool LogSearch::isMatch(qint64 seq) const
{
    return std::binary_search(m_matches.cbegin(), m_matches.cend(), seq);
}

int LogSearch::currentRow() const
{
    return m_current < 0 ? -1 : m_view->rowOf(m_matches.at(m_current));
}

void LogSearch::rescan()
{
    m_matches.clear();
    if (active()) {
        const int rows = m_view->count();
        for (int row = 0; row < rows; ++row) {
            if (matches(m_view->lineAt(row)))
                m_matches.append(m_view->seqAt(row));
        }
    }
    // The newest match first: the end of the log is what one looks at.
    m_current = m_matches.size() - 1;
    emit resultChanged();
    emit currentChanged();
    m_view->marksChanged(LogViewModel::MATCH_ROLE);
}

void LogSearch::rowsAppended(int first, int last)
{
    if (!active())
        return;
    const qsizetype before = m_matches.size();
    for (int row = first; row <= last; ++row) {
        if (matches(m_view->lineAt(row)))
            m_matches.append(m_view->seqAt(row));
    }
    if (m_matches.size() == before)
        return;
    emit resultChanged();
    if (m_current < 0)
        setCurrent(0);
}

void LogSearch::rowsDropped(qint64 firstSeqKept)
{
    const auto kept = std::lower_bound(m_matches.begin(), m_matches.end(), firstSeqKept);
    const qsizetype gone = kept - m_matches.begin();
    if (gone == 0)
        return;
    m_matches.remove(0, gone);
    m_current = m_matches.isEmpty() ? -1 : qMax(0, m_current - int(gone));
    emit resultChanged();
    emit currentChanged();
}

void LogSearch::setCurrent(int index)
{
    m_current = index;
    emit currentChanged();
    m_view->marksChanged(LogViewModel::CURRENT_MATCH_ROLE);
}

void LogSearch::next()
{
    if (!m_matches.isEmpty())
        setCurrent((m_current + 1) % int(m_matches.size()));
}

void LogSearch::previous()
{
    if (!m_matches.isEmpty())
        setCurrent(m_current <= 0 ? int(m_matches.size()) - 1 : m_current - 1);
}
