#include "ModuleLink.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

bool ModuleLink::open(const QString& path, qint32 baud)
{
    m_port.setPortName(path);
    m_port.setBaudRate(baud);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_buffer.clear();
    return m_port.open(QIODevice::ReadWrite);
}

void ModuleLink::close()
{
    m_port.close();
}

bool ModuleLink::write(const QByteArray& request)
{
    QByteArray bytes = request;
    if (!bytes.endsWith('\n') && !bytes.endsWith('\r'))
        bytes += "\r\n";
    if (m_port.write(bytes) != bytes.size())
        return false;
    return m_port.waitForBytesWritten(1000) || m_port.bytesToWrite() == 0;
}

bool ModuleLink::fill(int timeoutMs)
{
    if (!m_port.isOpen())
        return false;
    if (m_port.bytesAvailable() == 0 && !m_port.waitForReadyRead(qMax(1, timeoutMs)))
        return false;
    m_buffer += m_port.readAll();
    return true;
}

QString ModuleLink::readLine(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = m_buffer.left(end);
            m_buffer.remove(0, end + 1);
            return QString::fromLatin1(line).trimmed();
        }
        if (deadline.hasExpired() || !fill(int(deadline.remainingTime())))
            return {};
    }
}

QStringList ModuleLink::request(const QByteArray& line, int timeoutMs)
{
    static const QRegularExpression list(QStringLiteral("^\\+(AOP|SAT|TXFIFO)="));
    QStringList answer;
    if (!write(line))
        return answer;
    QString first = readLine(timeoutMs);
    if (first.isNull())
        return answer;
    answer << first;
    const QRegularExpressionMatch m = list.match(first);
    if (!m.hasMatch())
        return answer;
    const QString end = "+" + m.captured(1) + "=end";
    while (answer.constLast() != end) {
        const QString next = readLine(timeoutMs);
        if (next.isNull())
            break;
        answer << next;
    }
    return answer;
}

QByteArray ModuleLink::readBytes(qsizetype n, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_buffer.size() < n && !deadline.hasExpired()) {
        if (!fill(int(deadline.remainingTime())))
            break;
    }
    const QByteArray bytes = m_buffer.left(n);
    m_buffer.remove(0, bytes.size());
    return bytes;
}

bool ModuleLink::staysQuiet(int ms)
{
    if (!m_buffer.isEmpty())
        return false;
    return !fill(ms);
}

QByteArray ModuleLink::drain(int quietMs, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QByteArray dropped = m_buffer;
    m_buffer.clear();
    while (!deadline.hasExpired() && fill(quietMs)) {
        dropped += m_buffer;
        m_buffer.clear();
    }
    return dropped;
}
