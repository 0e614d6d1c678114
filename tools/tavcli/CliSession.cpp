#include "CliSession.h"

#include "manager/RequestEngine.h"
#include "tx/PrepassProfile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace {

// The core writes its diagnostics for a developer's console; the tool
// prints its own failure lines from the results instead.
void dropDiagnostics(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

CliSession::CliSession(const Options& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_out(stdout)
    , m_err(stderr)
{
    qInstallMessageHandler(dropDiagnostics);
    m_manager.setTimeoutScale(options.timeoutScale);
    m_manager.setMode(TavManager::EXPERT);

    QObject::connect(&m_manager, &TavManager::requestFinished, this, &CliSession::onRequestFinished);
    QObject::connect(m_manager.serialPort(), &SerialPortManager::serialError, this,
        [this](const QString& error) { m_lastSerialError = error; });
    QObject::connect(&m_manager, &TavManager::userActionRequested, this, [this]() {
        m_waitingForWakeUp = true;
        m_err << "Press the wake-up button of the evaluation kit (Ctrl-C cancels)..." << Qt::endl;
        if (m_options.wakeTimeoutS > 0) {
            QTimer::singleShot(m_options.wakeTimeoutS * 1000, this, [this]() {
                if (!m_waitingForWakeUp || !m_manager.board() || m_manager.board()->isAwake())
                    return;
                m_wakeTimedOut = true;
                m_manager.cancelModuleRequest();
            });
        }
    });
}

bool CliSession::openLog()
{
    if (m_options.logPath.isEmpty())
        return true;
    QString error;
    if (!m_logFile.open(m_options.logPath, &error)) {
        m_logError = "unable to open the log file " + m_options.logPath + ": " + error;
        return false;
    }
    m_logFile.follow(m_manager.logger());
    return true;
}

int CliSession::finish(int status)
{
    if (!m_logFile.isOpen())
        return status;
    m_logFile.close();
    if (m_logFile.writeError().isEmpty())
        return status;
    fail("unable to write the log file " + m_options.logPath + ": " + m_logFile.writeError());
    return status == EXIT_OK ? EXIT_FAILED : status;
}

void CliSession::onRequestFinished(const RequestResult& result)
{
    if (m_firstFailedRequest.ok() && result.moduleFailed())
        m_firstFailedRequest = result;
}

void CliSession::clearFailures()
{
    m_firstFailedRequest = RequestResult::done();
    m_lastSerialError.clear();
}

void CliSession::say(const QString& text)
{
    if (!m_options.quiet)
        m_out << text << Qt::endl;
}

int CliSession::fail(const QString& text, int code)
{
    m_lastFailure = text;
    // A module that falls silent in the middle of a command.
    if (code == EXIT_FAILED && m_firstFailedRequest.status == RequestResult::TIMEOUT
        && text == m_firstFailedRequest.text) {
        m_err << "tavcli: no answer on " << m_options.port << " (" << text << ")" << Qt::endl;
        return EXIT_NO_ANSWER;
    }
    m_err << "tavcli: " << text << Qt::endl;
    return code;
}

int CliSession::failOrInterrupted(const QString& text, int code)
{
    return m_interrupted ? fail("interrupted", EXIT_INTERRUPTED) : fail(text, code);
}

int CliSession::connectBoard()
{
    if (m_options.module == TavBoard::NA)
        return fail("no module given: use --module TAV1|TAV2|RIX|TREKON", EXIT_USAGE);
    if (m_options.port.isEmpty())
        return fail("no port given: use --port PATH (see 'tavcli ports')", EXIT_USAGE);

    bool isConnected = false;
    const auto connection = QObject::connect(
        &m_manager, &TavManager::connected, this, [&isConnected]() { isConnected = true; });
    clearFailures();
    m_manager.connect(m_options.module, m_options.port, m_options.baud);
    QObject::disconnect(connection);

    if (m_interrupted)
        return fail("interrupted", EXIT_INTERRUPTED);
    if (m_wakeTimedOut)
        return fail("the evaluation kit was not woken up within " + QString::number(m_options.wakeTimeoutS)
                + " s\n  "
                + RequestEngine::wakeUpHint("'tavcli detect --port " + m_options.port + "' names the module on it."),
            EXIT_NO_ANSWER);
    // Another variant answered: the link is closed, and the line says which.
    if (!m_manager.identityMismatch().isEmpty())
        return fail(m_manager.identityMismatch(), EXIT_USAGE);
    if (!isConnected) {
        if (m_manager.serialPort()->openFailed())
            return failPort();
        const QString reason
            = m_lastSerialError.isEmpty() ? QStringLiteral("Unable to connect") : m_lastSerialError;
        return fail(reason + ": no answer on " + m_options.port, EXIT_NO_ANSWER);
    }
    m_waitingForWakeUp = false;
    return EXIT_OK;
}

int CliSession::failPort()
{
    // The cause and its fix follow on a line of their own.
    const QString diagnosis = m_manager.serialPort()->openDiagnosis();
    return fail(m_lastSerialError + (diagnosis.isEmpty() ? QString() : "\n  " + diagnosis), EXIT_PORT);
}

void CliSession::disconnectBoard()
{
    if (m_manager.board())
        m_manager.disconnect();
}

bool CliSession::waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QTimer deadline;
    deadline.setSingleShot(true);
    if (timeoutMs >= 0)
        deadline.start(static_cast<int>(timeoutMs * m_options.timeoutScale));
    while (!done() && !m_interrupted && (timeoutMs < 0 || deadline.isActive()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

void CliSession::interrupt()
{
    m_interrupted = true;
    // Ends a wait for the wake-up button or for the rest of a list (both
    // may last far longer than one answer); the pending request then fails.
    // A running sequence is stopped by its waiting loop, outside any request.
    if (m_manager.board())
        m_manager.cancelModuleRequest();
    // A download is no request on the wire: it ends at once.
    m_manager.tx()->prepassProfile()->abortDownload();
}
