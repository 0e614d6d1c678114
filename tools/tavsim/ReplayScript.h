#pragma once

#include <QList>
#include <QString>

// A session read back from a device log ("[hh:mm:ss:zzz] [SRC] text" lines,
// as the window and tavcli write them with --log): the requests the tool
// sent, each with the lines the module sent after it until the next request,
// and the lines it sent before the first request. Every module line keeps its
// delay after the request it follows, taken from the time stamps.
class ReplayScript {
public:
    struct Line {
        QString text;
        int delayMs;
    };
    struct Exchange {
        QString request;
        QString word;
        QList<Line> lines;
    };

    // False, with the reason in `error`, when the text holds no line of a
    // device log at all. Lines that are not log lines are skipped.
    bool parse(const QString& text, QString* error);

    // Lines the module sent before the first request, delays counted from
    // the first of them.
    const QList<Line>& opening() const { return m_opening; }
    const QList<Exchange>& exchanges() const { return m_exchanges; }

    // The recorded exchange that answers `request`: the next one in the log
    // with the same request, else the next with the same command word (a
    // date set to the time of the run differs only in its arguments), else
    // an earlier one, as a session repeats itself. Null when no request of
    // the log has that command word.
    const Exchange* answer(const QString& request);

    // The command word of a request line, empty when it is not an AT frame.
    static QString wordOf(const QString& request);

private:
    int find(const QString& request, const QString& word, int from, int to) const;

    QList<Line> m_opening;
    QList<Exchange> m_exchanges;
    int m_next = 0;
};
