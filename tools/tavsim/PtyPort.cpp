#include "PtyPort.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Output waiting for a host that does not read is capped like a UART FIFO
// that overruns: older bytes are dropped first.
constexpr qsizetype MAX_PENDING_OUTPUT = 64 * 1024;

} // namespace

PtyPort::PtyPort(QObject* parent)
    : QObject(parent)
{
    m_attachPoll.setInterval(20);
    connect(&m_attachPoll, &QTimer::timeout, this, &PtyPort::onAttachPoll);
    m_pump.setInterval(2);
    m_pump.setTimerType(Qt::PreciseTimer);
    connect(&m_pump, &QTimer::timeout, this, &PtyPort::pump);
}

PtyPort::~PtyPort()
{
    hangUp();
}

bool PtyPort::open(QString* error)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0
        || fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        *error
            = QStringLiteral("cannot create a pseudo-terminal: ") + QString::fromLocal8Bit(strerror(errno));
        if (master >= 0)
            ::close(master);
        return false;
    }
    const char* name = ptsname(master);
    if (!name) {
        *error = QStringLiteral("cannot name the pseudo-terminal");
        ::close(master);
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(name);

    // Raw mode, set once on the slave, stays for whoever opens it later: no
    // echo (our own answers must not come back as requests), no line editing,
    // no CR/LF translation. Closing it again leaves the master in the
    // "nobody listening" state that clientAttached() detects.
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        *error = "cannot open " + m_devicePath + ": " + QString::fromLocal8Bit(strerror(errno));
        ::close(master);
        return false;
    }
    termios tio {};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, B9600);
    tcsetattr(slave, TCSANOW, &tio);
    ::close(slave);

    m_master = master;
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyPort::onReadable);
    detach();
    return true;
}

bool PtyPort::setLink(const QString& linkPath, QString* error)
{
    const QFileInfo info(linkPath);
    if (info.exists() && !info.isSymLink()) {
        *error = linkPath + " exists and is not a symbolic link";
        return false;
    }
    if (info.isSymLink())
        QFile::remove(linkPath);
    if (!QFile::link(m_devicePath, linkPath)) {
        *error = "cannot create the link " + linkPath;
        return false;
    }
    m_linkPath = linkPath;
    return true;
}

void PtyPort::removeLink()
{
    // Only our own link: another simulator may have taken the name since.
    if (!m_linkPath.isEmpty() && QFileInfo(m_linkPath).symLinkTarget() == m_devicePath)
        QFile::remove(m_linkPath);
    m_linkPath.clear();
}

bool PtyPort::clientAttached() const
{
    if (m_master < 0)
        return false;
    pollfd p {m_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return false;
    return !(p.revents & POLLHUP);
}

// With no program on the slave, the master reports a hang-up on every poll;
// watching it would spin, so a slow timer waits for the next program instead.
void PtyPort::detach()
{
    m_notifier->setEnabled(false);
    m_inLine.clear();
    m_overflow = false;
    m_out.clear();
    m_pump.stop();
    m_attachPoll.start();
}

void PtyPort::onAttachPoll()
{
    if (!clientAttached())
        return;
    m_attachPoll.stop();
    m_notifier->setEnabled(true);
    emit attached();
}

void PtyPort::onReadable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            takeBytes(buffer, n);
            if (m_master < 0)
                return;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        detach(); // EIO: the last program closed the device
        return;
    }
}

void PtyPort::takeBytes(const char* data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            if (!m_inLine.isEmpty() || m_overflow) {
                const QString line = QString::fromLatin1(m_inLine);
                const bool tooLong = m_overflow;
                m_inLine.clear();
                m_overflow = false;
                emit lineReceived(line, tooLong);
                if (m_master < 0)
                    return;
            }
            continue;
        }
        if (m_inLine.size() >= MAX_REQUEST)
            m_overflow = true;
        else if (!m_overflow)
            m_inLine.append(c);
    }
}

void PtyPort::write(const QByteArray& bytes)
{
    if (!clientAttached())
        return;
    if (m_out.isEmpty()) {
        m_burst.start();
        m_burstSent = 0;
    }
    m_out.append(bytes);
    if (m_out.size() > MAX_PENDING_OUTPUT)
        m_out.remove(0, m_out.size() - MAX_PENDING_OUTPUT);
    pump();
}

void PtyPort::pump()
{
    if (m_master < 0 || m_out.isEmpty()) {
        m_pump.stop();
        return;
    }
    qsizetype allowed = m_out.size();
    if (m_baud > 0) {
        const qint64 due = m_burst.nsecsElapsed() / 1000 * m_baud / 10 / 1000000;
        allowed = qMin<qsizetype>(allowed, qMax<qint64>(0, due - m_burstSent));
    }
    if (allowed > 0) {
        const ssize_t n = ::write(m_master, m_out.constData(), size_t(allowed));
        if (n > 0) {
            m_out.remove(0, n);
            m_burstSent += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            m_out.clear();
        }
    }
    if (m_out.isEmpty())
        m_pump.stop();
    else if (!m_pump.isActive())
        m_pump.start();
}

void PtyPort::hangUp()
{
    if (m_master < 0)
        return;
    m_attachPoll.stop();
    m_pump.stop();
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_master);
    m_master = -1;
    m_out.clear();
    removeLink();
}
