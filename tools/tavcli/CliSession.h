#pragma once

#include "log/LogFile.h"
#include "manager/TavManager.h"

#include <QObject>
#include <QStringList>
#include <QTextStream>

// One run of the command-line tool: a manager, what it reported, and the
// options common to every subcommand.
class CliSession : public QObject {
    Q_OBJECT

public:
    enum ExitCode {
        EXIT_OK = 0,
        EXIT_FAILED = 1,
        EXIT_USAGE = 2,
        EXIT_PORT = 3,
        EXIT_NO_ANSWER = 4,
        EXIT_INTERRUPTED = 130
    };

    struct Options {
        TavBoard::Module module = TavBoard::NA;
        QString port;
        QString baud = QStringLiteral("Default");
        QString logPath;
        double timeoutScale = 1.0;
        bool quiet = false;
        // How long a sleeping kit is waited for; 0 waits until Ctrl-C.
        int wakeTimeoutS = 60;
    };

    explicit CliSession(const Options& options, QObject* parent = nullptr);

    TavManager& manager() { return m_manager; }
    // False, with the reason in logError(), when --log cannot be written.
    bool openLog();
    QString logError() const { return m_logError; }
    // Ends the run: writes what waits for the log file; a log that could not
    // be written is a failure, named, even when the command went well.
    int finish(int status);

    // Connects and runs the start-up reads; prints the reason on failure.
    int connectBoard();
    void disconnectBoard();
    // The port's open failure, with its cause and fix on a second line.
    int failPort();

    const Options& options() const { return m_options; }
    QString port() const { return m_options.port; }
    QString baud() const { return m_options.baud; }
    // The module found by detection takes the place of --module auto.
    void setModule(TavBoard::Module module, const QString& baud)
    {
        m_options.module = module;
        m_options.baud = baud;
    }

    // Runs the event loop until `done` holds, the deadline passes or Ctrl-C.
    bool waitFor(const std::function<bool()>& done, int timeoutMs);

    void interrupt();
    bool interrupted() const { return m_interrupted; }

    // Prints `text` unless quiet; always prints failures.
    void say(const QString& text);
    int fail(const QString& text, int code = EXIT_FAILED);
    // 130 after Ctrl-C, else `code`.
    int failOrInterrupted(const QString& text, int code = EXIT_FAILED);
    bool quiet() const { return m_options.quiet; }
    double timeoutScale() const { return m_options.timeoutScale; }

    QString lastSerialError() const { return m_lastSerialError; }
    // The text of the last failure printed.
    QString lastFailure() const { return m_lastFailure; }
    // The first error answer or timeout since clearFailures().
    QString requestFailure() const { return m_firstFailedRequest.text; }
    void clearFailures();

private:
    void onRequestFinished(const RequestResult& result);

    Options m_options;
    TavManager m_manager;
    LogFile m_logFile;
    QString m_logError;
    QTextStream m_out;
    QTextStream m_err;
    bool m_interrupted = false;
    bool m_waitingForWakeUp = false;
    bool m_wakeTimedOut = false;
    QString m_lastSerialError;
    RequestResult m_firstFailedRequest;
    QString m_lastFailure;
};
