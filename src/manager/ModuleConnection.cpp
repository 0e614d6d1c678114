#include "ModuleConnection.h"

#include "BusyState.h"
#include "ModuleConstants.h"
#include "RequestEngine.h"
#include "ResponseDispatch.h"
#include "board/Rix.h"
#include "board/Tav1.h"
#include "board/Tav2.h"
#include "board/Trekon.h"
#include "log/Logger.h"
#include "protocol/AtCmdHandler.h"
#include "protocol/VariantCapabilities.h"
#include "serial/SerialPortManager.h"

#include <QFileInfo>
#include <QPointer>
#include <QSerialPortInfo>
#include <QTimer>

ModuleConnection::ModuleConnection(SerialPortManager& serialPort, Logger& logger, RequestEngine& requests,
    ResponseDispatch& dispatch, BusyState& busy, QObject* parent)
    : QObject(parent)
    , m_serialPort(serialPort)
    , m_logger(logger)
    , m_requests(requests)
    , m_dispatch(dispatch)
    , m_busy(busy)
    , m_reconnectTimer(new QTimer(this))
    , m_detector(serialPort, requests, dispatch, busy)
{
    m_reconnectTimer->setInterval(ModuleConstants::RECONNECT_POLL_MS);
    connect(m_reconnectTimer, &QTimer::timeout, this, &ModuleConnection::onReconnectPoll);
}

QString ModuleConnection::boardName() const
{
    return m_board ? m_board->name() : ModuleTexts::NOT_AVAILABLE;
}

TavBoard* ModuleConnection::makeBoard(TavBoard::Module module, const QString& baudrate)
{
    QSerialPort::BaudRate rate = QSerialPort::Baud9600;
    if (baudrate == QLatin1String("115200"))
        rate = QSerialPort::Baud115200;
    if (baudrate == QLatin1String("Default"))
        rate = VariantCapabilities::of(module).defaultBaudRate;

    switch (module) {
    case TavBoard::TAV1: return new Tav1(this, rate);
    case TavBoard::TAV2: return new Tav2(this, rate);
    case TavBoard::RIX: return new Rix(this, rate);
    case TavBoard::TREKON: return new Trekon(this, rate);
    default: return nullptr;
    }
}

void ModuleConnection::destroyLink()
{
    m_requests.setLink(nullptr, nullptr);
    delete m_codec;
    m_codec = nullptr;
    if (m_board) {
        delete m_board;
        m_board = nullptr;
        emit boardChanged();
    }
}

void ModuleConnection::connectTo(TavBoard::Module module, const QString& portName, const QString& baudrate)
{
    TavBoard* board = makeBoard(module, baudrate);
    if (!board)
        return;

    // A connection the user asks for replaces the one waited for, and
    // means the window is there to use it.
    if (!m_reconnecting) {
        m_requests.reopen();
        forget();
    }

    BusyState::Scope busy(m_busy, "Connecting to " + board->name() + " on " + portName + "\u2026");

    // A new connection replaces whatever the previous one left behind.
    destroyLink();
    m_serialPort.close();

    m_board = board;
    m_dispatch.setBoard(board);
    emit boardChanged();
    m_codec = new AtCmdHandler(this, m_board->getAtCmdRegexMap());
    m_requests.setLink(m_board, m_codec);

    m_serialPort.configure(m_board->getPortSettings());
    m_board->setModule(module);
    m_board->setPort(portName);

    if (!m_serialPort.open(portName))
        return;

    m_requests.identity().reset();
    if (m_requests.sendBuiltin(AtCmdHandler::PING)) {
        m_linkModule = module;
        m_linkPort = portName;
        m_linkBaud = baudrate;
        setLostDevice(QString());
        ++m_connectionCount;
        emit connected();
        m_logger.log(Logger::APP, m_board->name() + " connected on port " + portName, Logger::PORT_CONNECTED);
        const QPointer<TavBoard> current(m_board);
        emit ready(module);
        // Judged from the start-up reads' answers: a right choice sends no more.
        if (current && current == m_board && m_serialPort.isOpen())
            checkIdentity(module);
    } else {
        m_serialPort.close();
        emit m_serialPort.serialError("Unable to contact " + m_board->name());
    }
}

void ModuleConnection::checkIdentity(TavBoard::Module chosen)
{
    IdentityCheck& identity = m_requests.identity();
    if (identity.fits(chosen))
        return;
    // Wrong already: a few more reads name what it is.
    ModuleDetector::narrow(m_requests, identity);
    const QString message = identity.mismatch(chosen);
    if (message.isEmpty())
        return;
    QList<int> found;
    for (const TavBoard::Module module : identity.modules())
        found << module;
    ModuleDetector::Result detected;
    detected.answered = true;
    detected.identity = identity;
    detected.baudRate = m_board->getPortSettings().baudRate;
    m_logger.log(Logger::APP, message);
    emit identityMismatch(message, found, detected.baudChoice());
}

ModuleDetector::Result ModuleConnection::detect(const QString& port, const QString& baudrate)
{
    if (!m_reconnecting)
        forget();
    destroyLink();
    m_serialPort.close();
    return m_detector.detect(port, baudrate);
}

void ModuleConnection::forget()
{
    m_reconnectTimer->stop();
    m_linkPort.clear();
    setLostDevice(QString());
}

void ModuleConnection::close()
{
    destroyLink();
    m_serialPort.close();
    m_serialPort.enumerate();
}

void ModuleConnection::closeDown()
{
    m_reconnectTimer->stop();
}

void ModuleConnection::onSerialError(const QString& error)
{
    if (m_reconnect && !m_reconnecting && !m_linkPort.isEmpty() && !m_serialPort.isOpen()
        && !m_reconnectTimer->isActive()) {
        m_logger.log(
            Logger::APP, "Waiting for " + boardName() + " to come back on port " + m_linkPort, Logger::PORT_LOST);
        setLostDevice(boardName() + " lost on " + m_linkPort + ", waiting for it to come back\u2026");
        m_reconnectTimer->start();
    }
    // A device waited for is no error to answer, nor is a failed attempt
    // to connect to it again.
    if (m_lostDevice.isEmpty())
        emit linkError(error);
}

void ModuleConnection::setReconnect(bool enabled)
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

void ModuleConnection::setLostDevice(const QString& text)
{
    if (text == m_lostDevice)
        return;
    m_lostDevice = text;
    emit lostDeviceChanged();
}

void ModuleConnection::onReconnectPoll()
{
    // Never from inside the wait of another request: the next tick comes soon.
    if (m_requests.inProgress())
        return;
    const bool present
        = m_linkPort.startsWith('/') ? QFileInfo::exists(m_linkPort) : !QSerialPortInfo(m_linkPort).isNull();
    if (!present)
        return;
    m_reconnectTimer->stop();
    m_reconnecting = true;
    connectTo(m_linkModule, m_linkPort, m_linkBaud);
    m_reconnecting = false;
    if (!m_serialPort.isOpen() && m_reconnect && !m_linkPort.isEmpty())
        m_reconnectTimer->start();
}
