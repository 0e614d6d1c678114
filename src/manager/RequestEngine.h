#pragma once

#include "protocol/AtCmdHandler.h"
#include "protocol/CommandTable.h"
#include "protocol/IdentityCheck.h"
#include "protocol/RequestResult.h"

#include <QElapsedTimer>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class BusyState;
class Logger;
class OperationTracker;
class ResponseDispatch;
class SerialPortManager;
class TavBoard;
class QTimer;

// One AT request at a time: written once, after the wake-up button if the
// kit sleeps, and waited for in a nested event loop until its answer, an
// error answer, a timeout or the loss of the device; then a short pause so
// that two commands never go out back to back. Every request ends in a
// result. Lines read from the module come in here and are applied through
// the dispatch; only an answer of the running request ends its wait: "+OK",
// "+ERROR=", a line of the request's own command word, and for a list query
// its end marker. Unsolicited lines (received messages, beacons, asserts, the
// kit's status lines) and lines that do not parse never end a wait.
class RequestEngine : public QObject {
    Q_OBJECT

public:
    RequestEngine(SerialPortManager& serialPort, Logger& logger, ResponseDispatch& dispatch,
        OperationTracker& operations, BusyState& busy, QObject* parent);

    // The board and codec of the current connection; null when there is none.
    void setLink(TavBoard* board, AtCmdHandler* codec);

    // Stretches every request timeout, for slow links and scripted runs.
    void setTimeoutScale(double scale) { m_timeoutScale = scale > 0 ? scale : 1.0; }
    double timeoutScale() const { return m_timeoutScale; }

    bool inProgress() const { return m_requestInProgress; }
    RequestResult lastResult() const { return m_lastResult; }
    // The lines that answered the last request, in order (at most
    // MAX_ANSWER_LINES).
    QStringList lastAnswer() const { return m_answer; }

    static constexpr qsizetype MAX_ANSWER_LINES = 10000;
    // A list's timeout bounds the silence between entries; the whole list is
    // bounded by this many timeouts, so an endless list still ends.
    static constexpr int LIST_TOTAL_TIMEOUTS = 16;

    // Waits for a sleeping kit's wake-up button. One PING goes out when the
    // wait starts: a kit that is awake already answers it and the wait ends
    // at once. `pingAnswered` tells whether it did.
    bool wakeUpBoard(bool* pingAnswered = nullptr);
    bool waitingForWakeUp() const { return m_wakeWait.isValid(); }
    // Whole seconds since the wait for the button began; 0 when none runs.
    int wakeWaitSeconds() const;
    // Said once the wait has lasted `wakeHintAfterMs` without a wake-up:
    // what may be wrong, with `detectHow` the way to find the module.
    static QString wakeUpHint(const QString& detectHow);
    void setWakeHintAfterMs(int ms) { m_wakeHintAfterMs = ms; }
    int wakeHintAfterMs() const { return m_wakeHintAfterMs; }
    bool wakeHintDue() const;
    // What the answers read since its last reset tell of the module's variant.
    IdentityCheck& identity() { return m_identity; }
    bool send(const QByteArray& request, quint16 timeoutMs);
    bool sendBuiltin(AtCmdHandler::CmdId id, const QStringList& args, quint16 timeoutMs);
    // With the command table's timeout for `id`.
    bool sendBuiltin(AtCmdHandler::CmdId id, const QStringList& args = {})
    {
        return sendBuiltin(id, args, CommandTable::timeoutOf(id));
    }
    bool sendCustom(const QString& cmd);
    // The frame of a command as the current codec writes it.
    QByteArray buildFrame(AtCmdHandler::CmdId id, const QStringList& args) const;

    // Ends the wait for the wake-up button, or for the rest of a list; a
    // single answer is still waited for up to its timeout. True when such a
    // wait was cut short.
    bool cancel();
    // The window is closing: the running wait ends at once and no further
    // request is sent until the next connection.
    void closeDown();
    void reopen() { m_closingDown = false; }
    // The device vanished: the running request ends at once.
    void deviceLost(const QString& error);

    void onLine(const QString& data);
    void onTimeout();

signals:
    void requestFinished(const RequestResult& result);
    // The kit sleeps: its wake-up button must be pressed.
    void userActionRequested();
    // Once a second while the button is waited for, and when the wait ends.
    void wakeWaitChanged();
    // The kit reports its parameters restored after a reset.
    void kitRestored();

private:
    bool finish(const RequestResult& result, const QByteArray& request);
    bool refuseNested(const QByteArray& request);
    // Writes the request and waits for its answer, its timeout or the loss
    // of the device; false when a stop ended a list's wait.
    bool writeAndWait(const QByteArray& request, quint16 timeoutMs);
    // Keeps the first reason the running request failed for.
    void fail(RequestResult::Status status, const QString& text, uint errorCode = 0);
    void endWait();
    void onKitMark(const QString& data);
    void onAnswer(const QString& data);
    // True when the parsed answer in the codec belongs to the running request.
    bool answersPending() const;
    void noteIdentity(const QString& data);
    bool takeWakePingAnswer();
    void awaitWakePingAnswer();

    SerialPortManager& m_serialPort;
    Logger& m_logger;
    ResponseDispatch& m_dispatch;
    OperationTracker& m_operations;
    BusyState& m_busy;
    QPointer<TavBoard> m_board;
    QPointer<AtCmdHandler> m_codec;
    QTimer* m_timer;

    bool m_requestFailed = false;
    bool m_waitingResponse = false;
    bool m_cancelRequested = false;
    bool m_requestInProgress = false;
    bool m_closingDown = false;
    RequestResult m_pendingResult;
    RequestResult m_lastResult;
    double m_timeoutScale = 1.0;
    // The command word of the running request ("" for a custom command
    // that names none) and whether it is a list query.
    QString m_pendingWord;
    bool m_pendingList = false;
    QStringList m_answer;
    enum WakePing { NO_WAKE_PING, WAKE_PING_SENT, WAKE_PING_ANSWERED };
    WakePing m_wakePing = NO_WAKE_PING;
    // The request is the PING itself: the answer to the wake-up PING is its own.
    bool m_pingIsRequest = false;
    QElapsedTimer m_wakeWait;
    QTimer* m_wakeTick;
    int m_wakeHintAfterMs = 60000;
    IdentityCheck m_identity;
};
