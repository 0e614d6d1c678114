#include "CliSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>

#include <cstdio>

namespace {

// What the manager logs when a request or an operation fails.
bool isFailureText(const QString& text)
{
    static const QSet<QString> errorTexts = [] {
        QSet<QString> texts;
        for (uint code = 0; code <= 64; ++code)
            texts.insert(AtCmdHandler::errorToStr(code));
        return texts;
    }();
    return text.startsWith(QLatin1String("Unable")) || text.startsWith(QLatin1String("Request refused"))
        || text == QLatin1String("AT command request timeout!")
        || text == QLatin1String("Request has been cancelled") || text.startsWith(QLatin1String("Cannot "))
        || text.startsWith(QLatin1String("Invalid ")) || errorTexts.contains(text);
}

} // namespace

CliSession::CliSession(const Options& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_out(stdout)
    , m_err(stderr)
{
    m_manager.setTimeoutScale(options.timeoutScale);
    m_manager.setMode(TavManager::EXPERT);

    QObject::connect(m_manager.logger(), &Logger::logCreated, this, &CliSession::onLog);
    QObject::connect(m_manager.serialPort(), &SerialPortManager::serialError, this,
        [this](const QString& error) { m_lastSerialError = error; });
    QObject::connect(m_manager.serialPort(), &SerialPortManager::doneReading, this,
        [this](const QString& line) { m_receivedLines << line; });
    QObject::connect(
        &m_manager, &TavManager::processingDataChanged, this, [this](const QString& msg, bool error) {
            if (!msg.isEmpty()) {
                m_lastProcessingMessage = msg;
                m_lastProcessingError = error;
            }
        });
    QObject::connect(&m_manager, &TavManager::userActionRequested, this, [this]() {
        m_waitingForWakeUp = true;
        m_err << "Press the wake-up button of the evaluation kit (Ctrl-C cancels)..." << Qt::endl;
    });
}

bool CliSession::openLog()
{
    if (m_options.logPath.isEmpty())
        return true;
    m_logFile.setFileName(m_options.logPath);
    if (!m_logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    return true;
}

void CliSession::onLog(const QString& line)
{
    if (m_logFile.isOpen()) {
        m_logFile.write(line.toUtf8() + '\n');
        m_logFile.flush();
    }
    static const QRegularExpression appLine(QStringLiteral("^\\[[^\\]]*\\] \\[APP\\] (?<TEXT>.*)$"));
    const QRegularExpressionMatch match = appLine.match(line);
    // The cause is logged first, the operation's summary after it.
    if (match.hasMatch() && m_failureLine.isEmpty() && isFailureText(match.captured("TEXT")))
        m_failureLine = match.captured("TEXT");
    emit logLine(line);
}

void CliSession::clearFailures()
{
    m_failureLine.clear();
    m_lastSerialError.clear();
    m_lastProcessingMessage.clear();
    m_lastProcessingError = false;
}

void CliSession::say(const QString& text)
{
    if (!m_options.quiet)
        m_out << text << Qt::endl;
}

int CliSession::fail(const QString& text, int code)
{
    m_err << "tavcli: " << text << Qt::endl;
    return code;
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
    if (!isConnected) {
        const QString reason
            = m_lastSerialError.isEmpty() ? QStringLiteral("unable to connect") : m_lastSerialError;
        const bool opened
            = m_manager.serialPort()->isOpen() || !m_lastSerialError.startsWith("Unable to open");
        return fail(reason, opened ? EXIT_NO_ANSWER : EXIT_PORT);
    }
    m_waitingForWakeUp = false;
    return EXIT_OK;
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
    // Ends a wait for the wake-up button; the pending request then fails.
    if (m_waitingForWakeUp)
        m_manager.cancelModuleRequest();
    if (m_manager.tx()->sequenceRunning())
        m_manager.tx()->stop();
}
