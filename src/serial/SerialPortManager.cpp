#include "SerialPortManager.h"

#include "PortDiagnosis.h"
#include "log/Helper.h"

#include <QDebug>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QTimer>

namespace {

// Bounds what the port holds between two reads; it stops reading the device
// when full and resumes once drained.
constexpr qint64 PORT_READ_BUFFER_SIZE = 16 * 1024;

} // namespace

SerialPortManager::SerialPortManager(QObject* parent)
    : QObject(parent)
    , m_serialPort(new QSerialPort(this))
    , m_portListModel(new PortListModel(this))
    , m_watchTimer(new QTimer(this))
    , m_discardingLine(false)
    , m_deliveryScheduled(false)
{
    m_serialPort->setReadBufferSize(PORT_READ_BUFFER_SIZE);
    connect(m_serialPort, &QSerialPort::readyRead, this, &SerialPortManager::onDataRead);
    connect(m_serialPort, &QSerialPort::errorOccurred, this, &SerialPortManager::onSerialPortError);
    m_watchTimer->setInterval(WATCH_INTERVAL_MS);
    connect(m_watchTimer, &QTimer::timeout, this, &SerialPortManager::poll);
    enumerate();
}

QList<PortEntry> SerialPortManager::listPorts() const
{
    QList<PortEntry> ports;
    QStringList names;
    const auto add = [&](const PortEntry& port) {
        if (!names.contains(port.name)) {
            names << port.name;
            ports << port;
        }
    };
    for (const PortEntry& port : m_namedPorts) {
        if (QFileInfo::exists(port.path))
            add(port);
    }

    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        PortEntry port;
        port.name = info.portName();
        port.path = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        port.usb = info.hasVendorIdentifier() && info.hasProductIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.productId = info.productIdentifier();
        add(port);
    }

    const QStringList extraPorts = qEnvironmentVariable(EXTRA_PORTS_ENV).split(':', Qt::SkipEmptyParts);
    for (const QString& path : extraPorts) {
        if (QFileInfo::exists(path))
            add(PortEntry::node(path, path));
    }
    return ports;
}

void SerialPortManager::enumerate()
{
    m_portListModel->update(listPorts());
    emit portListModelChanged();
}

void SerialPortManager::setNamedPorts(const QList<PortEntry>& ports)
{
    m_namedPorts = ports;
    enumerate();
}

bool SerialPortManager::watching() const
{
    return m_watchTimer->isActive();
}

void SerialPortManager::setWatching(bool on)
{
    if (on == watching())
        return;
    if (on) {
        m_watchTimer->start();
        poll();
    } else {
        m_watchTimer->stop();
    }
    emit watchingChanged();
}

// Only a change is announced: the page keeps what the user typed otherwise.
void SerialPortManager::poll()
{
    const QList<PortEntry> ports = listPorts();
    if (ports == m_portListModel->ports())
        return;
    const QStringList appeared = m_portListModel->update(ports);
    emit portListModelChanged();
    if (!appeared.isEmpty())
        emit portsAppeared(appeared);
}

void SerialPortManager::setOpenDiagnosis(const QString& text)
{
    if (text == m_openDiagnosis)
        return;
    m_openDiagnosis = text;
    emit openDiagnosisChanged();
}

void SerialPortManager::configure(const PortSettings& settings)
{
    m_serialPort->setBaudRate(settings.baudRate, QSerialPort::AllDirections);
    m_serialPort->setDataBits(settings.dataBits);
    m_serialPort->setParity(settings.parity);
    m_serialPort->setStopBits(settings.stopBits);
    m_serialPort->setFlowControl(settings.flowControl);
}

bool SerialPortManager::open(const QString& portName)
{
    if (m_serialPort->isOpen())
        return false;

    m_partialLine.clear();
    m_discardingLine = false;
    m_completeLines.clear();

    const PortEntry* named = nullptr;
    for (const PortEntry& port : m_namedPorts) {
        if (port.name == portName)
            named = &port;
    }
    m_serialPort->setPortName(named ? named->path : portName);
    if (!m_serialPort->open(QIODevice::ReadWrite)) {
        // A bare name is one of /dev, as the port itself reads it.
        QString path = named ? named->path : portName;
        if (!path.startsWith('/') && !path.startsWith(QLatin1String("./")) && !path.startsWith(QLatin1String("../")))
            path.prepend(QLatin1String("/dev/"));
        const PortFacts facts = PortDiagnosis::inspect(path, *m_serialPort);
        setOpenDiagnosis(PortDiagnosis::explain(facts));
        if (!facts.exists)
            enumerate();
        m_openFailed = true;
        emit serialError("Unable to open port " + portName);
        return false;
    }
    setOpenDiagnosis({});
    m_openFailed = false;
    return true;
}

void SerialPortManager::close()
{
    if (!m_serialPort->isOpen())
        return;
    m_serialPort->close();
    // Lines of the closed link must not reach the next one.
    m_partialLine.clear();
    m_discardingLine = false;
    m_completeLines.clear();
}

bool SerialPortManager::isOpen() const
{
    return m_serialPort->isOpen();
}

void SerialPortManager::write(const QByteArray& data)
{
    if (m_serialPort->write(data) == -1)
        qCritical().noquote() << "Failed to write data to port:" << m_serialPort->errorString();
}

void SerialPortManager::onDataRead()
{
    readPort();
    scheduleDelivery();
}

void SerialPortManager::readPort()
{
    // Full: what the port holds waits there (its buffer is bounded, then the
    // device's); deliverLines() comes back for it.
    if (m_completeLines.size() >= MAX_QUEUED_LINES)
        return;
    splitIntoLines(m_serialPort->readAll());
}

void SerialPortManager::scheduleDelivery()
{
    if (m_completeLines.isEmpty() || m_deliveryScheduled)
        return;
    // The port does not signal readyRead again while one of its readyRead
    // handlers runs, so a handler of doneReading waiting in a nested event
    // loop for the next answer would never get it: deliver from the event
    // loop instead.
    m_deliveryScheduled = true;
    QMetaObject::invokeMethod(this, &SerialPortManager::deliverLines, Qt::QueuedConnection);
}

void SerialPortManager::splitIntoLines(const QByteArray& bytes)
{
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        const qsizetype end = lf < 0 ? bytes.size() : lf;

        if (!m_discardingLine) {
            const qsizetype length = end - start;
            if (m_partialLine.size() + length > MAX_LINE_LENGTH) {
                qCritical().noquote() << "Serial line longer than" << MAX_LINE_LENGTH
                                      << "bytes dropped, resuming at the next line";
                m_partialLine.clear();
                m_discardingLine = true;
            } else {
                m_partialLine.append(bytes.constData() + start, length);
            }
        }

        if (lf < 0)
            break;

        // A module's text reaches views, terminals and the log file: its
        // control characters are written out there, never obeyed.
        if (!m_discardingLine)
            m_completeLines << Helper::shownText(QString::fromUtf8(m_partialLine.trimmed()));
        m_partialLine.clear();
        m_discardingLine = false;
        start = lf + 1;
    }
}

// A handler of doneReading may wait for the next answer in a nested event
// loop, which reads and delivers again; popping from one shared queue keeps
// the lines in arrival order whatever the nesting.
void SerialPortManager::deliverLines()
{
    m_deliveryScheduled = false;
    for (int i = 0; i < MAX_LINES_PER_DELIVERY && !m_completeLines.isEmpty(); ++i)
        emit doneReading(m_completeLines.takeFirst());
    if (m_serialPort->isOpen() && m_serialPort->bytesAvailable() > 0)
        readPort();
    scheduleDelivery();
}

void SerialPortManager::onSerialPortError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;

    qCritical().noquote() << Helper::enumToStr(error) + ":" << m_serialPort->errorString();

    // A vanished device shows up as ResourceError, or as a ReadError that
    // the port raises again on every poll (a hung-up line reads end of file
    // forever). Either way the board is gone: say so once and let go of the
    // device, so that it can be opened again once plugged back.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
        close();
        emit serialError("The evaluation kit is not reachable, it may have been unplugged");
    }
}
