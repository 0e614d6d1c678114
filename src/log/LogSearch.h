#pragma once

#include <QList>
#include <QObject>
#include <QRegularExpression>
#include <QStringMatcher>

class LogViewModel;

// A search over the lines a log pane shows: case-insensitive text, or a
// regular expression when asked. Keeps the matching lines (by sequence
// number) up to date as lines come and go, and which match is the current
// one. A pattern that is not a valid expression matches nothing and says why
// in `error`.
class LogSearch : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY patternChanged)
    Q_PROPERTY(bool regularExpression READ regularExpression WRITE setRegularExpression NOTIFY patternChanged)
    Q_PROPERTY(QString error READ error NOTIFY patternChanged)
    Q_PROPERTY(bool active READ active NOTIFY patternChanged)
    Q_PROPERTY(int count READ count NOTIFY resultChanged)
    // Index of the current match among `count`, -1 when there is none.
    Q_PROPERTY(int current READ current NOTIFY currentChanged)
    // The view row of the current match, -1 when there is none.
    Q_PROPERTY(int currentRow READ currentRow NOTIFY currentChanged)

public:
    explicit LogSearch(LogViewModel* view);

    QString text() const { return m_text; }
    void setText(const QString& text);
    bool regularExpression() const { return m_regex; }
    void setRegularExpression(bool on);
    QString error() const { return m_error; }
    bool active() const { return !m_text.isEmpty() && m_error.isEmpty(); }
    int count() const { return int(m_matches.size()); }
    int current() const { return m_current; }
    int currentRow() const;
    qint64 currentSeq() const { return m_current < 0 ? -1 : m_matches.at(m_current); }

    // Moves to the next (previous) match, going round at either end.
    Q_INVOKABLE void next();
    Q_INVOKABLE void previous();

    bool matches(const QString& line) const;
    bool isMatch(qint64 seq) const;

    // Called by the view as its rows change.
    void rescan();
    void rowsAppended(int first, int last);
    void rowsDropped(qint64 firstSeqKept);

signals:
    void patternChanged();
    void resultChanged();
    void currentChanged();

private:
    void compile();
    void setCurrent(int index);

    LogViewModel* m_view;
    QString m_text;
    bool m_regex = false;
    QString m_error;
    QStringMatcher m_matcher;
    QRegularExpression m_expression;
    QList<qint64> m_matches; // ascending
    int m_current = -1;
};
