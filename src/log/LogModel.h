#pragma once

#include "Logger.h"

#include <QAbstractListModel>
#include <QList>
#include <QTimer>

// The device log's history: the last `maxLines` lines the Logger created,
// each with its time, source, text and kind. Lines are taken one by one and
// reach the views in batches (every `batchInterval` ms), so a chatty module
// costs one model update per batch, not one per line. Rows are only ever
// added at the end and dropped at the front; every line keeps a sequence
// number (`seqAt`) that does not change when older rows are dropped.
class LogModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int maxLines READ maxLines WRITE setMaxLines NOTIFY maxLinesChanged)
    Q_PROPERTY(int count READ count NOTIFY batchDone)
    Q_PROPERTY(qint64 totalLines READ totalLines NOTIFY batchDone)
    Q_PROPERTY(QString lastLine READ lastLine NOTIFY batchDone)

public:
    enum Kind { REQUEST, ANSWER, ERROR, APPLICATION };
    Q_ENUM(Kind)
    // SHOWN_ROLE is the line as the pane draws it (see shownOf). Roles of
    // models built on this one start at END_ROLE.
    // DATE_ROLE is the line's UTC day, "yyyy-MM-dd": the line itself only
    // carries the time.
    enum Role {
        LINE_ROLE = Qt::UserRole + 1,
        TIME_ROLE,
        SOURCE_ROLE,
        TEXT_ROLE,
        KIND_ROLE,
        SHOWN_ROLE,
        DATE_ROLE,
        END_ROLE
    };

    static constexpr int DEFAULT_MAX_LINES = 100000;
    static constexpr int MIN_MAX_LINES = 100;
    static constexpr int MAX_MAX_LINES = 1000000;

    struct Line {
        QString line; // as formatted by Logger::formatLine
        Logger::Source source;
        Kind kind;
        QDate date; // the day of its time stamp
    };

    explicit LogModel(QObject* parent = nullptr);

    // `date` is the day of the line's time stamp.
    void append(Logger::Source source, const QString& line, QDate date);
    // Adds the waiting lines now instead of at the next batch.
    Q_INVOKABLE void flush();
    Q_INVOKABLE void clear();

    int maxLines() const { return m_maxLines; }
    // Clamped to MIN_MAX_LINES..MAX_MAX_LINES; drops what no longer fits.
    void setMaxLines(int lines);
    void setBatchInterval(int ms) { m_batchTimer.setInterval(ms); }

    int count() const { return int(m_lines.size()); }
    // Lines received since the last clear, kept, dropped or still waiting.
    qint64 totalLines() const { return m_total; }
    QString lastLine() const { return m_lines.isEmpty() ? QString() : m_lines.constLast().line; }
    const Line& at(int row) const { return m_lines.at(row); }
    qint64 firstSeq() const { return m_firstSeq; }
    qint64 seqAt(int row) const { return m_firstSeq + row; }
    // Every kept line, in order, one per line, each day opened by its
    // dateLine: the lines carry only the time.
    Q_INVOKABLE QString text() const;
    // "--- 2026-12-10 UTC ---"; the line format itself is left as it is, and
    // a filtered export or a replay skips such a line.
    static QString dateLine(QDate date);
    // Appends `line` to the text `out`, opened by its dateLine when `day`
    // (the day of the line before it, invalid for none) is another one.
    static void appendDated(QString& out, QDate& day, const Line& line);

    // Characters of a line the pane draws, the rest given as an ellipsis: no
    // window is wider, and laying out a module's line of ten thousand
    // characters took the window tens of milliseconds.
    static constexpr int SHOWN_MAX_LENGTH = 1000;

    // The line as the pane draws it, up to SHOWN_MAX_LENGTH characters. The
    // modules speak ASCII: in a line from
    // the module, every other character (line noise, a wrong baud rate) is
    // drawn as the replacement character. Such bytes decode to characters of
    // many scripts, each sending the text layout to a fallback font: a burst
    // of noise cost the window several times the time of plain text in every
    // frame it was visible. The line itself, its file and copies keep every
    // character.
    static QString shownOf(const Line& line);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override { return roles(); }
    static QHash<int, QByteArray> roles();

    // What a line is, from its source and its text: the request lines are
    // the ones the tool logs as sent, the module's errors are its +ERROR=
    // and +ASSERT= answers, the tool's own are its failure messages.
    static Kind kindOf(Logger::Source source, const QString& text);
    // The text of a formatted line without its time stamp and source tag.
    static QString textOf(const QString& line);
    static QString timeOf(const QString& line);

signals:
    void maxLinesChanged();
    void batchDone();
    // A downlink message (+RX=) or beacon (+BC=) from the module, as logged.
    void messageReceived(const QString& line);

private:
    void dropFront(qsizetype excess);

    QList<Line> m_lines;
    QList<Line> m_pending;
    QTimer m_batchTimer;
    int m_maxLines = DEFAULT_MAX_LINES;
    qint64 m_firstSeq = 0;
    qint64 m_total = 0;
};
