#include "ControlChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

ControlChannel::ControlChannel(Executor executor, QObject* parent)
    : QObject(parent)
    , m_executor(std::move(executor))
{
}

ControlChannel::~ControlChannel()
{
    if (m_server)
        m_server->close();
}

void ControlChannel::listenOnStdin()
{
    m_stdin = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_stdin, &QSocketNotifier::activated, this, &ControlChannel::onStdinReadable);
}

void ControlChannel::onStdinReadable()
{
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        m_stdin->setEnabled(false);
        emit inputClosed();
        return;
    }
    m_stdinBuffer.append(buffer, n);
    qsizetype end;
    while ((end = m_stdinBuffer.indexOf('\n')) >= 0) {
        const QString command = QString::fromUtf8(m_stdinBuffer.left(end)).trimmed();
        m_stdinBuffer.remove(0, end + 1);
        if (command.isEmpty())
            continue;
        const QByteArray reply = m_executor(command).toUtf8() + '\n';
        fwrite(reply.constData(), 1, size_t(reply.size()), stdout);
        fflush(stdout);
    }
}

bool ControlChannel::listenOnSocket(const QString& path, QString* error)
{
    m_server = new QLocalServer(this);
    QLocalServer::removeServer(path);
    if (!m_server->listen(path)) {
        *error = "cannot listen on " + path + ": " + m_server->errorString();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &ControlChannel::onNewConnection);
    return true;
}

void ControlChannel::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QString command = QString::fromUtf8(socket->readLine()).trimmed();
                if (command.isEmpty())
                    continue;
                socket->write(m_executor(command).toUtf8() + '\n');
                socket->flush();
            }
        });
    }
}
