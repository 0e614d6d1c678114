// Connection, disconnection and the request engine: one AT request at a time,
// written once, waited for in a nested event loop until its answer, an error
// answer, a timeout, or the loss of the device.
#include "TavManager.h"

#include "CommandTable.h"
#include "Helper.h"
#include "ResponseDispatch.h"
#include "Rix.h"
#include "Tav1.h"
#include "Tav2.h"
#include "Trekon.h"
#include "TxSequenceOutcome.h"
#include "VariantCapabilities.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QThread>

const QString TavManager::TAV_UI_DATE_FORMAT = QStringLiteral("ddd MMM d, hh:mm:ss");
const QString TavManager::TAV_ISO_DATE_FORMAT = QStringLiteral("yyyy-M-dTH:m:sZ");
const QString TavManager::TAV_NOT_AVAILABLE_STR = QStringLiteral("NA");
const QString TavManager::TAV_BOARD_MARK_RESET_DONE = QStringLiteral("PARAMETERS RESTORED");
const QString TavManager::TAV_BOARD_MARK_ASLEEP = QStringLiteral("SLEEP");
const QString TavManager::TAV_BOARD_MARK_AWAKE = QStringLiteral("BUTTON PUSHED");
const QString TavManager::TAV_BOARD_MARK_TREKON = QStringLiteral("TREKON --");

namespace {

// Waits for the next event instead of spinning: the request timer or the
// local deadline always brings one. User input is delivered, not held back:
// the window disables what would start a request while the manager is busy,
// so a click made meanwhile is dropped instead of sending a request later.
constexpr QEventLoop::ProcessEventsFlags kWaitForAnswer = QEventLoop::WaitForMoreEvents;

} // namespace

TavManager::TavManager(QObject* parent)
    : QObject(parent)
    , m_serialPort(new SerialPortManager(this))
    , m_board(nullptr)
    , m_logger(new Logger(this))
    , m_atCmdHandler(nullptr)
    , m_tx(new TxManager(this, *m_logger, *this))
    , m_dispatch(new ResponseDispatch(*m_logger, *m_tx, this))
    , m_processingData(false)
    , m_mode(BASIC)
    , m_requestFailed(false)
    , m_waitingResponse(false)
    , m_cancelRequested(false)
    , m_requestTimer(new QTimer(this))
    , m_exportMode(false)
    , m_requestInProgress(false)
    , m_timeoutScale(1.0)
    , m_pendingListCmd(-1)
    , m_reconnect(false)
    , m_reconnecting(false)
    , m_reconnectTimer(new QTimer(this))
    , m_linkModule(TavBoard::NA)
    , m_busy(new BusyState(this))
    , m_operations(new OperationTracker(this))
    , m_txOutcome(new TxSequenceOutcome(*m_tx, *m_operations, this))
{
    QObject::connect(this, &TavManager::requestFinished, m_txOutcome, &TxSequenceOutcome::noteRequest);
    QObject::connect(m_operations, &OperationTracker::finished, this, &TavManager::operationFinished);
    QObject::connect(m_busy, &BusyState::busyChanged, this, &TavManager::busyChanged);
    QObject::connect(m_busy, &BusyState::textChanged, this, &TavManager::busyTextChanged);
    QObject::connect(m_tx, &TxManager::setRadioConfRequest, this, &TavManager::setRadioConf);
    QObject::connect(m_dispatch, &ResponseDispatch::moduleErrorAnswered, this, [this](uint code) {
        m_requestFailed = true;
        failRequest(RequestResult::MODULE_ERROR, AtCmdHandler::errorToStr(code), code);
    });
    QObject::connect(m_serialPort, &SerialPortManager::doneReading, this, &TavManager::onSerialRead);
    QObject::connect(m_serialPort, &SerialPortManager::serialError, this, &TavManager::onSerialError);
    QObject::connect(m_requestTimer, &QTimer::timeout, this, &TavManager::onRequestTimeout);
    m_requestTimer->setSingleShot(true);
    m_reconnectTimer->setInterval(RECONNECT_POLL_MS);
    QObject::connect(m_reconnectTimer, &QTimer::timeout, this, &TavManager::onReconnectPoll);
}

TavManager::~TavManager()
{
    // The transmission manager reaches the module through this object, and
    // the outcome of its sequence follows it.
    delete m_txOutcome;
    m_txOutcome = nullptr;
    delete m_tx;
    m_tx = nullptr;
}

void TavManager::setMode(TavManager::Mode mode)
{
    m_mode = mode;
}

QString TavManager::boardName() const
{
    return m_board ? m_board->name() : TAV_NOT_AVAILABLE_STR;
}

void TavManager::destroyConnection()
{
    m_uploadAwaitsKit = false;
    delete m_atCmdHandler;
    m_atCmdHandler = nullptr;
    if (m_board) {
        delete m_board;
        m_board = nullptr;
        emit boardChanged();
    }
}

void TavManager::connect(TavBoard::Module module, QString portName, QString baudrate)
{
    QSerialPort::BaudRate rate = QSerialPort::Baud9600;
    if (baudrate == QLatin1String("115200"))
        rate = QSerialPort::Baud115200;
    if (baudrate == QLatin1String("Default"))
        rate = VariantCapabilities::of(module).defaultBaudRate;

    TavBoard* board = nullptr;
    switch (module) {
    case TavBoard::TAV1: board = new Tav1(this, rate); break;
    case TavBoard::TAV2: board = new Tav2(this, rate); break;
    case TavBoard::RIX: board = new Rix(this, rate); break;
    case TavBoard::TREKON: board = new Trekon(this, rate); break;
    default: return;
    }

    // A connection the user asks for replaces the one waited for, and
    // means the window is there to use it.
    if (!m_reconnecting) {
        m_closingDown = false;
        m_reconnectTimer->stop();
        m_linkPort.clear();
        setLostDevice(QString());
    }

    BusyState::Scope busy(*m_busy, "Connecting to " + board->name() + " on " + portName + "\u2026");

    // A new connection replaces whatever the previous one left behind.
    destroyConnection();
    m_serialPort->close();

    m_board = board;
    m_dispatch->setBoard(board);
    emit boardChanged();
    m_atCmdHandler = new AtCmdHandler(this, m_board->getAtCmdRegexMap());

    m_serialPort->configure(m_board->getPortSettings());
    m_board->setModule(module);
    m_board->setPort(portName);

    if (!m_serialPort->open(portName))
        return;

    if (requestPing()) {
        m_linkModule = module;
        m_linkPort = portName;
        m_linkBaud = baudrate;
        setLostDevice(QString());
        ++m_connectionCount;
        emit connected();
        m_logger->log(Logger::APP, m_board->name() + " connected on port " + portName);
        initGUI(module);
    } else {
        m_serialPort->close();
        emit m_serialPort->serialError("Unable to contact " + m_board->name());
    }
}

void TavManager::initGUI(TavBoard::Module module)
{
    m_tx->modulationModel()->reset();
    getHwInfo();

    // The evaluation kit holds a configuration of its own, read at once.
    if (VariantCapabilities::of(module).configurationFile) {
        getConfig();
        return;
    }
    // Only a variant that reads its whole configuration keeps the module's
    // own prediction selected.
    if (m_tx->selectedProfile() == TxManager::PREPASS_ON_MODULE)
        m_tx->setSelectedProfile(TxManager::PREPASS);
    if (CommandTable::knows(module, AtCmdHandler::ATXFRQ) && m_mode == EXPERT) {
        getTxFrequency();
        getTxPower();
    }
    if (CommandTable::knows(module, AtCmdHandler::UDATE))
        setModuleUtcDate(m_tx->getUtcTime().toString(Qt::ISODate));
    m_tx->initPrepassData();
}

void TavManager::disconnect()
{
    m_reconnectTimer->stop();
    m_linkPort.clear();
    setLostDevice(QString());
    m_tx->stop();

    if (m_tx->ackPending()) {
        BusyState::Scope busy(*m_busy, QStringLiteral("Waiting for the last transmission\u2026"));
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.start(6000);
        while (m_tx->ackPending() && deadline.isActive())
            QCoreApplication::processEvents(kWaitForAnswer);
        if (m_tx->ackPending())
            m_tx->setAckPending(false);
    }

    m_tx->clearLoraData();
    m_tx->clearPrepassData(false);
    m_tx->setUtcTimeOffset(0, false);

    destroyConnection();

    m_serialPort->close();
    m_serialPort->enumerate();
    emit disconnected();
}

bool TavManager::startTxSequence(quint8 repeat)
{
    m_txOutcome->arm();
    m_tx->start(repeat);
    return m_tx->sequenceRunning();
}

void TavManager::saveSettings()
{
    m_tx->saveSettings();
}

void TavManager::cancelModuleRequest()
{
    m_cancelRequested = true;
    m_logger->log(Logger::APP, "Request has been cancelled");
}

void TavManager::closeDown()
{
    m_closingDown = true;
    m_reconnectTimer->stop();
    if (m_requestInProgress) {
        // Ends the wait for the wake-up button as its Cancel does.
        m_cancelRequested = true;
        m_requestFailed = true;
        m_waitingResponse = false;
        m_requestTimer->stop();
    }
}

void TavManager::logFailure(const QString& text)
{
    m_logger->log(Logger::APP, text);
    m_operations->noteFailure(text);
}

void TavManager::setProcessingData(bool uploading, QString msg, bool error)
{
    m_processingData = uploading;
    emit processingDataChanged(msg, error);
}

bool TavManager::wakeUpBoard()
{
    if (!m_board || m_board->isAwake())
        return true;

    emit userActionRequested();
    while (!m_board->isAwake()) {
        if (m_cancelRequested) {
            m_cancelRequested = false;
            return false;
        }
        // User input is delivered here, so the dialog's Cancel works.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // An unplugged kit is not going to wake up.
        if (!m_board || !m_serialPort->isOpen())
            return false;
    }
    if (m_cancelRequested) {
        m_cancelRequested = false;
        return false;
    }
    return true;
}

bool TavManager::finishRequest(const RequestResult& result, const QByteArray& request)
{
    m_operations->noteRequest(result, QString::fromLatin1(request).trimmed());
    m_lastResult = result;
    emit requestFinished(result);
    return result.ok();
}

void TavManager::failRequest(RequestResult::Status status, const QString& text, uint errorCode)
{
    if (m_pendingResult.ok())
        m_pendingResult = RequestResult::failed(status, text, errorCode);
}

bool TavManager::sendRequestSync(const QByteArray& request, quint16 timeoutMs)
{
    if (m_requestInProgress) {
        const QString text = "Request refused, another one is still waiting for its answer: "
            + QString::fromLatin1(request).trimmed();
        m_logger->log(Logger::APP, text);
        // Reported, but not kept as the last result: that is the outer request's.
        const RequestResult refused = RequestResult::failed(RequestResult::REFUSED, text);
        m_operations->noteRequest(refused, QString::fromLatin1(request).trimmed());
        emit requestFinished(refused);
        return false;
    }

    if (m_closingDown)
        return finishRequest(RequestResult::failed(RequestResult::CANCELLED, QString()), request);

    m_logger->log(Logger::APP, QString::fromLatin1(request));
    m_requestFailed = false;
    m_waitingResponse = true;
    m_pendingResult = RequestResult::done();

    if (!m_serialPort->isOpen()) {
        const QString text = QStringLiteral("Unable to send request: the evaluation kit is not connected");
        m_logger->log(Logger::APP, text);
        return finishRequest(RequestResult::failed(RequestResult::NOT_CONNECTED, text), request);
    }

    BusyState::Scope busy(*m_busy, "Waiting for the answer to " + QString::fromLatin1(request).trimmed() + "\u2026");
    m_requestInProgress = true;
    if (!wakeUpBoard()) {
        m_requestInProgress = false;
        if (!m_board || !m_serialPort->isOpen())
            return finishRequest(RequestResult::failed(RequestResult::DEVICE_LOST, m_pendingResult.text), request);
        return finishRequest(
            RequestResult::failed(RequestResult::CANCELLED, QStringLiteral("Request has been cancelled")), request);
    }

    m_requestTimer->start(static_cast<int>(qBound(1.0, timeoutMs * m_timeoutScale, 2147483647.0)));
    m_serialPort->write(request);

    while (m_waitingResponse && m_requestTimer->isActive())
        QCoreApplication::processEvents(kWaitForAnswer);

    m_requestTimer->stop();
    // Two commands are never written back to back.
    QThread::msleep(10);
    m_requestInProgress = false;
    if (!m_requestFailed)
        return finishRequest(RequestResult::done(), request);
    failRequest(RequestResult::MODULE_ERROR, QString());
    return finishRequest(m_pendingResult, request);
}

QByteArray TavManager::buildFrame(AtCmdHandler::CmdId id, const QStringList& args) const
{
    if (m_atCmdHandler)
        return m_atCmdHandler->build(id, args);
    return AtCmdHandler(nullptr, {}).build(id, args);
}

bool TavManager::sendBuiltinAtCmd(AtCmdHandler::CmdId id, const QStringList& args, quint16 timeoutMs)
{
    if (AtCmdHandler::hasControlCharacter(args)) {
        const QString text = "Request refused: an argument of " + Helper::enumToStr(id)
            + " holds a line break or another control character";
        m_logger->log(Logger::APP, text);
        return finishRequest(RequestResult::failed(RequestResult::REFUSED, text), Helper::enumToStr(id).toLatin1());
    }

    const QByteArray frame = buildFrame(id, args);
    if (m_exportMode) {
        m_exportBuffer += QString::fromUtf8(frame);
        return true;
    }
    // Refused while another request waits: the list wait of that one stays.
    if (m_requestInProgress)
        return sendRequestSync(frame, timeoutMs);
    // A list query is answered by one line per entry, then "end": only the
    // end marker (or an error) ends the wait, so no entry of the list is
    // taken for the answer of the next request.
    const bool listQuery = args.isEmpty() && CommandTable::isListAnswer(id);
    m_pendingListCmd = listQuery ? id : -1;
    const bool ok = sendRequestSync(frame, timeoutMs);
    m_pendingListCmd = -1;
    return ok;
}

bool TavManager::sendCustomAtCmd(const QString& cmd)
{
    const QString trimmed = cmd.trimmed();
    if (AtCmdHandler::hasControlCharacter(trimmed)) {
        const QString text
            = QStringLiteral("Request refused: a command must fit on one line, without control characters");
        m_logger->log(Logger::APP, text);
        return finishRequest(RequestResult::failed(RequestResult::REFUSED, text), trimmed.toLatin1());
    }
    QByteArray request = trimmed.toLatin1();
    request.append("\r\n");
    return sendRequestSync(request, TAV_REQUEST_LARGE_TIMEOUT_MS);
}

void TavManager::requestCustomCmd(QString cmd)
{
    sendCustomAtCmd(cmd);
    emit customCmdCompleted();
}

bool TavManager::requestPing()
{
    return sendBuiltinAtCmd(AtCmdHandler::PING, {}, TAV_REQUEST_TIMEOUT_MS);
}

void TavManager::onRequestTimeout()
{
    m_requestTimer->stop();
    m_requestFailed = true;
    failRequest(RequestResult::TIMEOUT, QStringLiteral("AT command request timeout!"));
    m_logger->log(Logger::APP, "AT command request timeout!");
    m_waitingResponse = false;
}

void TavManager::onSerialError(const QString& error)
{
    // A vanished device ends the request at once instead of at its timeout;
    // the port is closed by then, so later requests fail without waiting.
    if (m_requestInProgress) {
        m_requestFailed = true;
        failRequest(RequestResult::DEVICE_LOST, error);
        m_waitingResponse = false;
        m_requestTimer->stop();
    }
    if (!m_reconnect)
        m_txOutcome->deviceLost(error);
    if (m_uploadAwaitsKit) {
        m_uploadAwaitsKit = false;
        m_operations->report(QStringLiteral("uploadConfig"), {OperationResult::DEVICE_LOST, error, error, {}});
    }
    if (m_reconnect && !m_reconnecting && !m_linkPort.isEmpty() && !m_serialPort->isOpen()
        && !m_reconnectTimer->isActive()) {
        m_logger->log(Logger::APP, "Waiting for " + boardName() + " to come back on port " + m_linkPort);
        setLostDevice(boardName() + " lost on " + m_linkPort + ", waiting for it to come back\u2026");
        m_reconnectTimer->start();
    }
    // A device waited for is no error to answer, nor is a failed attempt
    // to connect to it again.
    if (m_lostDevice.isEmpty())
        emit linkError(error);
}

void TavManager::setReconnect(bool enabled)
{
    if (enabled == m_reconnect)
        return;
    m_reconnect = enabled;
    if (!enabled) {
        m_reconnectTimer->stop();
        setLostDevice(QString());
    }
    emit reconnectChanged();
}

void TavManager::setLostDevice(const QString& text)
{
    if (text == m_lostDevice)
        return;
    m_lostDevice = text;
    emit lostDeviceChanged();
}

void TavManager::onReconnectPoll()
{
    // Never from inside the wait of another request: the next tick comes soon.
    if (m_requestInProgress)
        return;
    const bool present
        = m_linkPort.startsWith('/') ? QFileInfo::exists(m_linkPort) : !QSerialPortInfo(m_linkPort).isNull();
    if (!present)
        return;
    m_reconnectTimer->stop();
    m_reconnecting = true;
    connect(m_linkModule, m_linkPort, m_linkBaud);
    m_reconnecting = false;
    if (!m_serialPort->isOpen() && m_reconnect && !m_linkPort.isEmpty())
        m_reconnectTimer->start();
}

void TavManager::onSerialRead(QString data)
{
    if (!m_board || !m_atCmdHandler) {
        m_logger->log(Logger::APP, data);
        return;
    }
    m_logger->log(m_board->loggerSrc(), data);

    if (data.contains(TAV_BOARD_MARK_TREKON)) {
        if (data.contains(TAV_BOARD_MARK_AWAKE)) {
            m_board->setIsAwake(true);
        } else if (data.contains(TAV_BOARD_MARK_ASLEEP)) {
            m_board->setIsAwake(false);
        } else if (data.contains(TAV_BOARD_MARK_RESET_DONE)) {
            setProcessingData(false, "Configuration uploaded!", false);
            m_logger->log(Logger::APP, "Config uploaded successfully!");
            if (m_uploadAwaitsKit) {
                m_uploadAwaitsKit = false;
                m_operations->report(
                    QStringLiteral("uploadConfig"), OperationResult::done(QStringLiteral("Configuration uploaded!")));
            }
        }
        return;
    }

    if (!data.contains('+'))
        return;

    if (m_atCmdHandler->parse(data, false)) {
        m_dispatch->apply(*m_atCmdHandler, data);
        if (m_atCmdHandler->getId() == m_pendingListCmd && m_atCmdHandler->getData<QString>(0) != "end") {
            // The timeout bounds the silence between entries, not the length
            // of the list: a long list on a slow line is no timeout.
            if (m_requestTimer->isActive())
                m_requestTimer->start();
            return;
        }
    } else {
        m_logger->log(Logger::APP, "Unable to parse message from " + m_board->name());
        if (m_atCmdHandler->getDataLength() > 0
            && m_atCmdHandler->getData<QString>(0) == TAV_NOT_AVAILABLE_STR)
            m_logger->log(Logger::APP, "Unable to parse " + m_atCmdHandler->getIdAsStr() + " data");
    }
    // The first answer of any kind ends the wait; only ERROR or a timeout fails it.
    m_waitingResponse = false;
}
