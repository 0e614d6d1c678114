// Start-up of a connection and its end, and the hand-over of requests to the
// request engine and of the link to the connection.
#include "TavManager.h"

#include "ConfigurationService.h"
#include "ModuleConnection.h"
#include "RequestEngine.h"
#include "ResponseDispatch.h"
#include "TxSequenceOutcome.h"
#include "protocol/CommandTable.h"
#include "protocol/VariantCapabilities.h"

#include <QCoreApplication>
#include <QEventLoop>

const QString TavManager::TAV_UI_DATE_FORMAT = ModuleTexts::UI_DATE_FORMAT;
const QString TavManager::TAV_ISO_DATE_FORMAT = ModuleTexts::ISO_DATE_FORMAT;
const QString TavManager::TAV_NOT_AVAILABLE_STR = ModuleTexts::NOT_AVAILABLE;
const QString TavManager::TAV_BOARD_MARK_RESET_DONE = ModuleTexts::MARK_RESET_DONE;
const QString TavManager::TAV_BOARD_MARK_ASLEEP = ModuleTexts::MARK_ASLEEP;
const QString TavManager::TAV_BOARD_MARK_AWAKE = ModuleTexts::MARK_AWAKE;
const QString TavManager::TAV_BOARD_MARK_TREKON = ModuleTexts::MARK_TREKON;

namespace {

// Waits for the next event instead of spinning: the local deadline always
// brings one.
constexpr QEventLoop::ProcessEventsFlags kWaitForAnswer = QEventLoop::WaitForMoreEvents;

} // namespace

TavManager::TavManager(QObject* parent)
    : QObject(parent)
    , m_serialPort(new SerialPortManager(this))
    , m_logger(new Logger(this))
    , m_tx(new TxManager(this, *m_logger, *this))
    , m_dispatch(new ResponseDispatch(*m_logger, *m_tx, this))
    , m_busy(new BusyState(this))
    , m_operations(new OperationTracker(this))
    , m_requests(new RequestEngine(*m_serialPort, *m_logger, *m_dispatch, *m_operations, *m_busy, this))
    , m_connection(new ModuleConnection(*m_serialPort, *m_logger, *m_requests, *m_dispatch, *m_busy, this))
    , m_config(new ConfigurationService(*m_connection, *m_requests, *m_logger, *m_tx, *m_busy, *m_operations, this))
    , m_processingData(false)
    , m_mode(BASIC)
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
    QObject::connect(m_connection, &ModuleConnection::boardChanged, this, [this]() {
        // An upload waited for ends with the board it was sent to.
        m_uploadAwaitsKit = false;
        // A new board starts from its own values, not the file's.
        setNotUploadedFile(QString());
        emit boardChanged();
    });
    QObject::connect(m_connection, &ModuleConnection::connected, this, &TavManager::connected);
    QObject::connect(m_connection, &ModuleConnection::ready, this, &TavManager::initGUI);
    QObject::connect(m_connection, &ModuleConnection::reconnectChanged, this, &TavManager::reconnectChanged);
    QObject::connect(m_connection, &ModuleConnection::lostDeviceChanged, this, &TavManager::lostDeviceChanged);
    QObject::connect(m_connection, &ModuleConnection::linkError, this, [this](const QString& message) {
        // The wait given up for a detection is no error to show.
        if (!m_detectAfterWait)
            emit linkError(message);
    });
    QObject::connect(m_requests, &RequestEngine::wakeWaitChanged, this, &TavManager::wakeWaitChanged);
    QObject::connect(m_connection, &ModuleConnection::identityMismatch, this,
        [this](const QString& message, const QList<int>& found, const QString& baudrate) {
            m_identityMismatch = message;
            disconnect();
            QVariantList modules;
            for (const int module : found)
                modules << module;
            emit identityMismatchFound(message, modules, baudrate);
        });
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

TavBoard* TavManager::board() const
{
    return m_connection->board();
}

QString TavManager::boardName() const
{
    return m_connection->boardName();
}

void TavManager::setReconnect(bool enabled)
{
    m_connection->setReconnect(enabled);
}

bool TavManager::reconnect() const
{
    return m_connection->reconnect();
}

QString TavManager::lostDevice() const
{
    return m_connection->lostDevice();
}

int TavManager::connectionCount() const
{
    return m_connection->connectionCount();
}

void TavManager::connect(TavBoard::Module module, QString portName, QString baudrate)
{
    m_identityMismatch.clear();
    m_connecting = true;
    m_connection->connectTo(module, portName, baudrate);
    m_connecting = false;
    if (m_detectAfterWait) {
        emit detected(detect(portName, baudrate));
        m_detectAfterWait = false;
    }
}

int TavManager::wakeWaitSeconds() const
{
    return m_requests->wakeWaitSeconds();
}

QString TavManager::wakeWaitHint() const
{
    return m_requests->wakeHintDue()
        ? RequestEngine::wakeUpHint(QStringLiteral("Detect finds the module on this port."))
        : QString();
}

void TavManager::setWakeHintAfterMs(int ms)
{
    m_requests->setWakeHintAfterMs(ms);
}

ModuleDetector::Result TavManager::detectModule(const QString& port, const QString& baudrate)
{
    return m_connection->detect(port, baudrate);
}

QVariantMap TavManager::detect(QString port, QString baudrate)
{
    if (m_requests->inProgress() || (board() && m_serialPort->isOpen()))
        return {{"found", false}, {"modules", QVariantList()},
            {"text", QStringLiteral("Disconnect first: detection needs the port to itself")}};
    const ModuleDetector::Result result = detectModule(port.trimmed(), baudrate);
    QVariantList modules;
    if (result.found()) {
        for (const TavBoard::Module module : result.identity.modules())
            modules << int(module);
    }
    QString text = result.text();
    if (!result.answered && !result.openFailed)
        text += " (a sleeping TREKON kit answers once its wake-up button is pressed)";
    if (result.openFailed)
        text = "Unable to open port " + port.trimmed();
    m_logger->log(Logger::APP, text);
    return {{"found", result.found()}, {"modules", modules}, {"baudrate", result.baudChoice()}, {"text", text}};
}

void TavManager::detectInsteadOfWaiting()
{
    if (!m_requests->waitingForWakeUp())
        return;
    // Only a connection under way hands its port over; otherwise the wait
    // is given up as Cancel does.
    m_detectAfterWait = m_connecting;
    cancelModuleRequest();
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
    m_connection->forget();
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
    // The next pass is the module's: the next module has none until it
    // computes its own, as at start.
    PrepassModel* nextPass = m_tx->prepassProfile()->nextPassModel();
    nextPass->clear();
    nextPass->add(QStringLiteral("NA"), QDateTime(), QTime(), 0, false);
    // So are its radio settings and the satellites it takes orbit data for;
    // the board, with the identity and the sensors, goes with the link.
    m_tx->modulationModel()->reset();
    m_tx->prepassProfile()->satelliteAopModel()->forgetModuleSupport();
    m_tx->setUtcTimeOffset(0, false);

    m_connection->close();
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
    if (m_requests->cancel())
        m_logger->log(Logger::APP, "Request has been cancelled");
}

void TavManager::closeDown()
{
    m_connection->closeDown();
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

QStringList TavManager::lastRequestAnswer() const
{
    return m_requests->lastAnswer();
}

bool TavManager::sendBuiltinAtCmd(AtCmdHandler::CmdId id, const QStringList& args, quint16 timeoutMs)
{
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
    return sendBuiltinAtCmd(AtCmdHandler::PING);
}

void TavManager::onRequestTimeout()
{
    m_requests->onTimeout();
}

void TavManager::onSerialError(const QString& error)
{
    m_requests->deviceLost(error);
    if (!m_connection->reconnect())
        m_txOutcome->deviceLost(error);
    if (m_uploadAwaitsKit) {
        m_uploadAwaitsKit = false;
        m_operations->report(QStringLiteral("uploadConfig"), {OperationResult::DEVICE_LOST, error, error, {}});
    }
    m_connection->onSerialError(error);
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
