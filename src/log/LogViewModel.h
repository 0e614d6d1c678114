#pragma once

#include "LogModel.h"

#include <QAbstractListModel>
#include <QList>
#include <QPointer>

class LogSearch;

// The lines of a log history that one pane shows: the filters (sources, and
// the AT requests and errors), the selection and the search's marks. Rows
// follow the history as it grows at the end and drops at the front.
class LogViewModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(LogModel* history READ history WRITE setHistory NOTIFY historyChanged)
    // Bits 1 << Logger::Source of the sources shown (all by default).
    Q_PROPERTY(int sources READ sources WRITE setSources NOTIFY filterChanged)
    // Each one alone shows only that kind of line; both show either kind.
    Q_PROPERTY(bool requestsOnly READ requestsOnly WRITE setRequestsOnly NOTIFY filterChanged)
    Q_PROPERTY(bool errorsOnly READ errorsOnly WRITE setErrorsOnly NOTIFY filterChanged)
    Q_PROPERTY(bool filtered READ filtered NOTIFY filterChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // "1,204 of 100,000 lines, filtered"
    Q_PROPERTY(QString summary READ summary NOTIFY countChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY selectionChanged)
    Q_PROPERTY(LogSearch* search READ search CONSTANT)

public:
    // After the history's own roles, which it passes on.
    // DAY_START_ROLE: the line is the first one shown of its day, which the
    // pane writes above it.
    enum Role { SELECTED_ROLE = LogModel::END_ROLE, MATCH_ROLE, CURRENT_MATCH_ROLE, DAY_START_ROLE };
    static constexpr int ALL_SOURCES = (1 << Logger::APP) | (1 << Logger::TAV) | (1 << Logger::TRK);

    explicit LogViewModel(QObject* parent = nullptr);

    LogModel* history() const { return m_history; }
    void setHistory(LogModel* history);
    int sources() const { return m_sources; }
    void setSources(int sources);
    bool requestsOnly() const { return m_requestsOnly; }
    void setRequestsOnly(bool on);
    bool errorsOnly() const { return m_errorsOnly; }
    void setErrorsOnly(bool on);
    bool filtered() const;
    int count() const { return int(m_rows.size()); }
    QString summary() const;
    LogSearch* search() const { return m_search; }

    bool accepts(const LogModel::Line& line) const;
    const QString& lineAt(int row) const;
    qint64 seqAt(int row) const { return m_rows.at(row); }
    // The row showing that line, or -1 when it is not shown.
    int rowOf(qint64 seq) const;

    // A click selects the row; with `extend` (Shift+click) the rows from
    // the first one clicked to this one.
    Q_INVOKABLE void select(int row, bool extend);
    Q_INVOKABLE void selectAll();
    Q_INVOKABLE void clearSelection();
    Q_INVOKABLE bool isSelected(int row) const;
    int selectedCount() const;
    // The selected lines, or every line shown when none is selected, as
    // they are: what is pasted is lines of the log.
    Q_INVOKABLE QString selectedText() const;
    // Every line shown, in order, one per line, with the days as text().
    Q_INVOKABLE QString text() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Tells the views that the marks of every row may have changed.
    void marksChanged(int role);

signals:
    void historyChanged();
    void filterChanged();
    void countChanged();
    void selectionChanged();

private:
    void rebuild();
    void onRowsInserted(int first, int last);
    void onRowsRemoved();
    QString joined(qsizetype from, qsizetype to, bool dated) const;

    QPointer<LogModel> m_history;
    QList<qint64> m_rows; // sequence numbers of the lines shown, ascending
    int m_sources = ALL_SOURCES;
    bool m_requestsOnly = false;
    bool m_errorsOnly = false;
    qint64 m_anchor = -1;
    qint64 m_end = -1;
    LogSearch* m_search;
};
