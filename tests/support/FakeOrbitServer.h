#pragma once

#include <QTcpServer>
#include <QTcpSocket>

// Just enough HTTP/1.1 to stand in for the orbit-data service.
class FakeOrbitServer : public QTcpServer {
public:
    enum Mode { ANSWER, SILENT, ANNOUNCED_TOO_LARGE, STREAMED_TOO_LARGE };

    Mode mode = ANSWER;
    QByteArray status = "200 OK";
    QByteArray body;
    QByteArray requestLine;
    int requestCount = 0;
    qint64 streamTarget = 64LL * 1024 * 1024;
    qint64 streamed = 0;

    FakeOrbitServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket* socket = nextPendingConnection())
                serve(socket);
        });
    }

private:
    void serve(QTcpSocket* socket)
    {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // The request is kept on the socket itself: a later socket may reuse
        // a deleted one's address.
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket]() {
            const QByteArray received = socket->property("request").toByteArray() + socket->readAll();
            socket->setProperty("request", received);
            if (!received.contains("\r\n\r\n") || socket->property("answered").toBool())
                return;
            socket->setProperty("answered", true);
            requestLine = received.left(received.indexOf("\r\n"));
            ++requestCount;
            answer(socket);
        });
    }

    void answer(QTcpSocket* socket)
    {
        switch (mode) {
        case SILENT: return;
        case ANSWER:
            socket->write("HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nContent-Length: "
                + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
            return;
        case ANNOUNCED_TOO_LARGE:
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
                + QByteArray::number(streamTarget) + "\r\n\r\n");
            break;
        case STREAMED_TOO_LARGE:
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n");
            break;
        }
        // Feed the body as fast as the client takes it, never all at once.
        const auto feed = [this, socket]() {
            if (socket->bytesToWrite() > 0 || streamed >= streamTarget
                || socket->state() != QAbstractSocket::ConnectedState)
                return;
            const QByteArray chunk(64 * 1024, ' ');
            streamed += socket->write(chunk);
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, feed);
        feed();
    }
};
