#include "RequestEngine.h"

#include "BusyState.h"
#include "ModuleConstants.h"
#include "OperationTracker.h"
#include "ResponseDispatch.h"
#include "board/TavBoard.h"
#include "log/Helper.h"
#include "log/Logger.h"
#include "protocol/CommandTable.h"
#include "serial/SerialPortManager.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

namespace {

// Waits for the next event instead of spinning: the request timer always
// brings one. User input is delivered, not held back: the window disables
// what would start a request while the manager is busy, so a click made
// meanwhile is dropped instead of sending a request later.
constexpr QEventLoop::ProcessEventsFlags kWaitForAnswer = QEventLoop::WaitForMoreEvents;

// The command word of a request line, and whether it asks ("=?").
QString commandWordOf(const QByteArray& request, bool* query)
{
    static const QRegularExpression frame(QStringLiteral("^AT\\+([A-Z_]+)=(.*)$"));
    const QRegularExpressionMatch match = frame.match(QString::fromLatin1(request).trimmed());
    *query = match.hasMatch() && match.captured(2) == QLatin1String("?");
    return match.captured(1);
}

} // namespace

RequestEngine::RequestEngine(SerialPortManager& serialPort, Logger& logger, ResponseDispatch& dispatch,
    OperationTracker& operations, BusyState& busy, QObject* parent)
    : QObject(parent)
    , m_serialPort(serialPort)
    , m_logger(logger)
    , m_dispatch(dispatch)
    , m_operations(operations)
    , m_busy(busy)
    , m_timer(new QTimer(this))
    , m_wakeTick(new QTimer(this))
{
    m_wakeTick->setInterval(1000);
    connect(m_wakeTick, &QTimer::timeout, this, &RequestEngine::wakeWaitChanged);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &RequestEngine::onTimeout);
    connect(&m_dispatch, &ResponseDispatch::moduleErrorAnswered, this, [this](uint code) {
        m_requestFailed = true;
        fail(RequestResult::MODULE_ERROR, AtCmdHandler::errorToStr(code), code);
    });
}

void RequestEngine::setLink(TavBoard* board, AtCmdHandler* codec)
{
    m_board = board;
    m_codec = codec;
}

bool RequestEngine::wakeUpBoard(bool* pingAnswered)
{
    if (pingAnswered)
        *pingAnswered = false;
    if (!m_board || m_board->isAwake())
        return true;

    // A kit that stays awake after a connection, or a port that holds another
    // module, would never send the button's line: this PING ends the wait.
    const QByteArray ping = buildFrame(AtCmdHandler::PING, {});
    if (!m_pingIsRequest)
        m_logger.log(Logger::APP, QString::fromLatin1(ping));
    m_wakePing = WAKE_PING_SENT;
    m_wakeWait.start();
    m_wakeTick->start();
    QTimer::singleShot(m_wakeHintAfterMs, this, [this]() {
        if (waitingForWakeUp())
            emit wakeWaitChanged();
    });
    m_serialPort.write(ping);
    emit userActionRequested();
    emit wakeWaitChanged();

    bool awake = true;
    while (awake && !m_board->isAwake()) {
        if (m_cancelRequested) {
            awake = false;
            break;
        }
        // User input is delivered here, so the dialog's Cancel works.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // An unplugged kit is not going to wake up.
        if (!m_board || !m_serialPort.isOpen())
            awake = false;
    }
    if (awake && m_wakePing == WAKE_PING_SENT)
        awaitWakePingAnswer();
    if (m_cancelRequested) {
        m_cancelRequested = false;
        awake = false;
    }
    if (pingAnswered)
        *pingAnswered = m_wakePing == WAKE_PING_ANSWERED;
    // A kit woken by its button never saw the PING: no answer of it is due.
    m_wakePing = NO_WAKE_PING;
    m_wakeWait.invalidate();
    m_wakeTick->stop();
    emit wakeWaitChanged();
    return awake;
}

void RequestEngine::awaitWakePingAnswer()
{
    // The button's line may overtake the answer of a kit that was awake and
    // saw the PING: that answer is waited for as long as any PING's, so it
    // is not taken for the answer of the next request. A kit that slept
    // never answers it.
    QTimer grace;
    grace.setSingleShot(true);
    grace.start(static_cast<int>(qBound(1.0, ModuleConstants::REQUEST_TIMEOUT_MS * m_timeoutScale, 2147483647.0)));
    while (m_wakePing == WAKE_PING_SENT && grace.isActive() && m_board && m_serialPort.isOpen()
        && !m_cancelRequested)
        QCoreApplication::processEvents(kWaitForAnswer);
}

int RequestEngine::wakeWaitSeconds() const
{
    return m_wakeWait.isValid() ? int(m_wakeWait.elapsed() / 1000) : 0;
}

bool RequestEngine::wakeHintDue() const
{
    return m_wakeWait.isValid() && m_wakeWait.elapsed() >= m_wakeHintAfterMs;
}

QString RequestEngine::wakeUpHint(const QString& detectHow)
{
    return "No wake-up yet: the EVK chosen may not be this module's, the port may be another device's, "
           "or the kit may have no power. "
        + detectHow;
}

bool RequestEngine::finish(const RequestResult& result, const QByteArray& request)
{
    m_operations.noteRequest(result, QString::fromLatin1(request).trimmed());
    m_lastResult = result;
    emit requestFinished(result);
    return result.ok();
}

void RequestEngine::fail(RequestResult::Status status, const QString& text, uint errorCode)
{
    if (m_pendingResult.ok())
        m_pendingResult = RequestResult::failed(status, text, errorCode);
}

bool RequestEngine::refuseNested(const QByteArray& request)
{
    const QString text = "Request refused, another one is still waiting for its answer: "
        + QString::fromLatin1(request).trimmed();
    m_logger.log(Logger::APP, text);
    // Reported, but not kept as the last result: that is the outer request's.
    const RequestResult refused = RequestResult::failed(RequestResult::REFUSED, text);
    m_operations.noteRequest(refused, QString::fromLatin1(request).trimmed());
    emit requestFinished(refused);
    return false;
}

bool RequestEngine::send(const QByteArray& request, quint16 timeoutMs)
{
    if (m_requestInProgress)
        return refuseNested(request);
    if (m_closingDown)
        return finish(RequestResult::failed(RequestResult::CANCELLED, QString()), request);

    m_logger.log(Logger::APP, QString::fromLatin1(request));
    m_requestFailed = false;
    m_waitingResponse = true;
    m_pendingResult = RequestResult::done();
    m_answer.clear();
    bool query = false;
    m_pendingWord = commandWordOf(request, &query);
    // A list query is answered by one line per entry, then "end": only the
    // end marker (or an error) ends the wait, so no entry of the list is
    // taken for the answer of the next request.
    const int id = Helper::strToEnum<AtCmdHandler::CmdId>(m_pendingWord);
    m_pendingList = query && id >= 0 && CommandTable::isListAnswer(static_cast<AtCmdHandler::CmdId>(id));

    if (!m_serialPort.isOpen()) {
        const QString text = QStringLiteral("Unable to send request: the evaluation kit is not connected");
        m_logger.log(Logger::APP, text);
        return finish(RequestResult::failed(RequestResult::NOT_CONNECTED, text), request);
    }

    BusyState::Scope busy(m_busy, "Waiting for the answer to " + QString::fromLatin1(request).trimmed() + "\u2026");
    m_requestInProgress = true;
    const bool isPing = request == buildFrame(AtCmdHandler::PING, {});
    m_pingIsRequest = isPing;
    bool pingAnswered = false;
    const bool awake = wakeUpBoard(&pingAnswered);
    m_pingIsRequest = false;
    if (!awake) {
        m_requestInProgress = false;
        if (!m_board || !m_serialPort.isOpen())
            return finish(RequestResult::failed(RequestResult::DEVICE_LOST, m_pendingResult.text), request);
        return finish(
            RequestResult::failed(RequestResult::CANCELLED, QStringLiteral("Request has been cancelled")), request);
    }

    // A PING answered while the kit was waited for needs no second one;
    // any other request is written now.
    if (!(isPing && pingAnswered) && !writeAndWait(request, timeoutMs)) {
        m_requestInProgress = false;
        return finish(
            RequestResult::failed(RequestResult::CANCELLED, QStringLiteral("Request has been cancelled")), request);
    }

    // A cancel that came during a single answer's wait is spent with it.
    m_cancelRequested = false;
    m_timer->stop();
    // Two commands are never written back to back.
    QThread::msleep(10);
    m_requestInProgress = false;
    if (!m_requestFailed)
        return finish(RequestResult::done(), request);
    fail(RequestResult::MODULE_ERROR, QString());
    return finish(m_pendingResult, request);
}

bool RequestEngine::writeAndWait(const QByteArray& request, quint16 timeoutMs)
{
    const double scaledMs = qBound(1.0, timeoutMs * m_timeoutScale, 2147483647.0 / LIST_TOTAL_TIMEOUTS);
    // What came while the kit was waited for answers nothing written yet.
    m_waitingResponse = true;
    m_timer->start(static_cast<int>(scaledMs));
    const QDeadlineTimer total(static_cast<qint64>(scaledMs * (m_pendingList ? LIST_TOTAL_TIMEOUTS : 1)));
    m_serialPort.write(request);

    while (m_waitingResponse && m_timer->isActive()) {
        if (total.hasExpired()) {
            onTimeout();
            break;
        }
        // A list may take many timeouts to end: a stop does not wait for it.
        if (m_cancelRequested && m_pendingList) {
            m_cancelRequested = false;
            m_waitingResponse = false;
            m_timer->stop();
            return false;
        }
        QCoreApplication::processEvents(kWaitForAnswer);
    }
    return true;
}

QByteArray RequestEngine::buildFrame(AtCmdHandler::CmdId id, const QStringList& args) const
{
    if (m_codec)
        return m_codec->build(id, args);
    return AtCmdHandler(nullptr, {}).build(id, args);
}

bool RequestEngine::sendBuiltin(AtCmdHandler::CmdId id, const QStringList& args, quint16 timeoutMs)
{
    if (AtCmdHandler::hasControlCharacter(args)) {
        const QString text = "Request refused: an argument of " + Helper::enumToStr(id)
            + " holds a line break or another control character";
        m_logger.log(Logger::APP, text);
        return finish(RequestResult::failed(RequestResult::REFUSED, text), Helper::enumToStr(id).toLatin1());
    }

    const bool ok = send(buildFrame(id, args), timeoutMs);
    if (!ok && args.isEmpty() && m_lastResult.status == RequestResult::MODULE_ERROR
        && m_lastResult.errorCode == AtCmdHandler::ERR_CMD_UNKNOWN)
        m_identity.refused(id);
    return ok;
}

bool RequestEngine::sendCustom(const QString& cmd)
{
    const QString trimmed = cmd.trimmed();
    if (AtCmdHandler::hasControlCharacter(trimmed)) {
        const QString text
            = QStringLiteral("Request refused: a command must fit on one line, without control characters");
        m_logger.log(Logger::APP, text);
        return finish(RequestResult::failed(RequestResult::REFUSED, text), trimmed.toLatin1());
    }
    QByteArray request = trimmed.toLatin1();
    request.append("\r\n");
    return send(request, ModuleConstants::REQUEST_LARGE_TIMEOUT_MS);
}

bool RequestEngine::cancel()
{
    if (!m_requestInProgress && !waitingForWakeUp())
        return false;
    m_cancelRequested = true;
    return waitingForWakeUp() || m_pendingList;
}

void RequestEngine::endWait()
{
    m_requestFailed = true;
    m_waitingResponse = false;
    m_timer->stop();
}

void RequestEngine::closeDown()
{
    m_closingDown = true;
    if (m_requestInProgress) {
        // Ends the wait for the wake-up button as its Cancel does.
        m_cancelRequested = true;
        endWait();
    }
}

void RequestEngine::deviceLost(const QString& error)
{
    // A vanished device ends the request at once instead of at its timeout;
    // the port is closed by then, so later requests fail without waiting.
    if (m_requestInProgress) {
        fail(RequestResult::DEVICE_LOST, error);
        endWait();
    }
}

void RequestEngine::onTimeout()
{
    m_timer->stop();
    m_requestFailed = true;
    fail(RequestResult::TIMEOUT, QStringLiteral("AT command request timeout!"));
    m_logger.log(Logger::APP, "AT command request timeout!");
    m_waitingResponse = false;
}

void RequestEngine::onLine(const QString& data)
{
    if (!m_board || !m_codec) {
        m_logger.log(Logger::APP, data);
        return;
    }
    m_logger.log(m_board->loggerSrc(), data);

    if (data.contains(ModuleTexts::MARK_TREKON))
        onKitMark(data);
    else if (data.contains('+'))
        onAnswer(data);
}

void RequestEngine::onKitMark(const QString& data)
{
    m_identity.kitLine();
    if (data.contains(ModuleTexts::MARK_AWAKE))
        m_board->setIsAwake(true);
    else if (data.contains(ModuleTexts::MARK_ASLEEP))
        m_board->setIsAwake(false);
    else if (data.contains(ModuleTexts::MARK_RESET_DONE))
        emit kitRestored();
}

void RequestEngine::onAnswer(const QString& data)
{
    if (!m_codec->parse(data, false)) {
        // Noise, a wrong baud rate or a malformed answer: logged, and the
        // request goes on waiting for its own answer.
        m_logger.log(Logger::APP, "Unable to parse message from " + m_board->name());
        if (m_codec->getDataLength() > 0 && m_codec->getData<QString>(0) == ModuleTexts::NOT_AVAILABLE)
            m_logger.log(Logger::APP, "Unable to parse " + m_codec->getIdAsStr() + " data");
        return;
    }
    // The wake-up PING's answer belongs to no request but the PING.
    if (takeWakePingAnswer() && !m_pingIsRequest)
        return;
    noteIdentity(data);
    // Judged before the dispatch, which may reuse the codec.
    const bool own = m_waitingResponse && answersPending();
    const bool listEntry = own && m_pendingList && m_codec->getId() != AtCmdHandler::OK
        && m_codec->getId() != AtCmdHandler::ERROR && m_codec->getData<QString>(0) != "end";
    if (own && m_answer.size() < MAX_ANSWER_LINES)
        m_answer << data;
    m_dispatch.apply(*m_codec, data);
    if (!own)
        return;
    if (listEntry) {
        // The timeout bounds the silence between entries, not the length
        // of the list: a long list on a slow line is no timeout.
        if (m_timer->isActive())
            m_timer->start();
        return;
    }
    m_waitingResponse = false;
}

bool RequestEngine::answersPending() const
{
    const AtCmdHandler::CmdId id = m_codec->getId();
    return id == AtCmdHandler::OK || id == AtCmdHandler::ERROR || m_codec->getIdAsStr() == m_pendingWord;
}

bool RequestEngine::takeWakePingAnswer()
{
    const AtCmdHandler::CmdId id = m_codec->getId();
    if (m_wakePing != WAKE_PING_SENT || (id != AtCmdHandler::OK && id != AtCmdHandler::ERROR))
        return false;
    m_wakePing = WAKE_PING_ANSWERED;
    m_board->setIsAwake(true);
    return true;
}

void RequestEngine::noteIdentity(const QString& data)
{
    const AtCmdHandler::CmdId id = m_codec->getId();
    if (id == AtCmdHandler::OK || id == AtCmdHandler::ERROR)
        return;
    // The data as sent: a grammar of another variant may not cut it.
    const int equals = data.indexOf('=', data.indexOf('+'));
    m_identity.answered(id, equals < 0 ? QString() : data.mid(equals + 1).trimmed());
}
