// Connection, disconnection and the hand-over of requests to the request
// engine.
#include "TavManager.h"

#include "CommandTable.h"
#include "RequestEngine.h"
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

const QString TavManager::TAV_UI_DATE_FORMAT = QStringLiteral("ddd MMM d, hh:mm:ss");
const QString TavManager::TAV_ISO_DATE_FORMAT = QStringLiteral("yyyy-M-dTH:m:sZ");
const QString TavManager::TAV_NOT_AVAILABLE_STR = QStringLiteral("NA");
const QString TavManager::TAV_BOARD_MARK_RESET_DONE = QStringLiteral("PARAMETERS RESTORED");
const QString TavManager::TAV_BOARD_MARK_ASLEEP = QStringLiteral("SLEEP");
const QString TavManager::TAV_BOARD_MARK_AWAKE = QStringLiteral("BUTTON PUSHED");
const QString TavManager::TAV_BOARD_MARK_TREKON = QStringLiteral("TREKON --");

namespace {

// Waits for the next event instead of spinning: the local deadline always
// brings one.
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
    , m_busy(new BusyState(this))
    , m_operations(new OperationTracker(this))
    , m_requests(new RequestEngine(*m_serialPort, *m_logger, *m_dispatch, *m_operations, *m_busy, this))
    , m_processingData(false)
    , m_mode(BASIC)
    , m_exportMode(false)
    , m_reconnect(false)
    , m_reconnecting(false)
    , m_reconnectTimer(new QTimer(this))
    , m_linkModule(TavBoard::NA)
    , m_txOutcome(new TxSequenceOutcome(*m_tx, *m_operations, this))
{
    QObject::connect(this, &TavManager::requestFinished, m_txOutcome, &TxSequenceOutcome::noteRequest);
    QObject::connect(m_operations, &OperationTracker::finished, this, &TavManager::operationFinished);
    QObject::connect(m_busy, &BusyState::busyChanged, this, &TavManager::busyChanged);
    QObject::connect(m_busy, &BusyState::textChanged, this, &TavManager::busyTextChanged);
    QObject::connect(m_tx, &TxManager::setRadioConfRequest, this, &TavManager::setRadioConf);
    QObject::connect(m_requests, &RequestEngine::requestFinished, this, &TavManager::requestFinished);
    QObject::connect(m_requests, &RequestEngine::userActionRequested, this, &TavManager::userActionRequested);
    QObject::connect(m_requests, &RequestEngine::kitRestored, this, &TavManager::onKitRestored);
    QObject::connect(m_serialPort, &SerialPortManager::doneReading, this, &TavManager::onSerialRead);
    QObject::connect(m_serialPort, &SerialPortManager::serialError, this, &TavManager::onSerialError);
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
    m_requests->setLink(nullptr, nullptr);
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
        m_requests->reopen();
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
    m_requests->setLink(m_board, m_atCmdHandler);

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
    m_requests->cancel();
    m_logger->log(Logger::APP, "Request has been cancelled");
}

void TavManager::closeDown()
{
    m_reconnectTimer->stop();
    m_requests->closeDown();
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

void TavManager::setTimeoutScale(double scale)
{
    m_requests->setTimeoutScale(scale);
}

double TavManager::timeoutScale() const
{
    return m_requests->timeoutScale();
}

RequestResult TavManager::lastRequestResult() const
{
    return m_requests->lastResult();
}

bool TavManager::wakeUpBoard()
{
    return m_requests->wakeUpBoard();
}

bool TavManager::sendRequestSync(const QByteArray& request, quint16 timeoutMs)
{
    return m_requests->send(request, timeoutMs);
}

bool TavManager::sendBuiltinAtCmd(AtCmdHandler::CmdId id, const QStringList& args, quint16 timeoutMs)
{
    if (m_exportMode && !AtCmdHandler::hasControlCharacter(args)) {
        m_exportBuffer += QString::fromUtf8(m_requests->buildFrame(id, args));
        return true;
    }
    return m_requests->sendBuiltin(id, args, timeoutMs);
}

bool TavManager::sendCustomAtCmd(const QString& cmd)
{
    return m_requests->sendCustom(cmd);
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
    m_requests->onTimeout();
}

void TavManager::onSerialError(const QString& error)
{
    m_requests->deviceLost(error);
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
    if (m_requests->inProgress())
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
    m_requests->onLine(data);
}

void TavManager::onKitRestored()
{
    setProcessingData(false, "Configuration uploaded!", false);
    m_logger->log(Logger::APP, "Config uploaded successfully!");
    if (m_uploadAwaitsKit) {
        m_uploadAwaitsKit = false;
        m_operations->report(
            QStringLiteral("uploadConfig"), OperationResult::done(QStringLiteral("Configuration uploaded!")));
    }
}
