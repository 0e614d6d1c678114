#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QSocketNotifier;

// Where fault injection and events come from: lines on standard input, or on
// a local socket. Each line is one command; its reply ("OK ..." or
// "ERROR ...") goes back on standard output or on that socket connection.
class ControlChannel : public QObject {
    Q_OBJECT

public:
    using Executor = std::function<QString(const QString& command)>;

    ControlChannel(Executor executor, QObject* parent = nullptr);
    ~ControlChannel() override;

    void listenOnStdin();
    bool listenOnSocket(const QString& path, QString* error);

signals:
    // Standard input reached its end: whoever drove the simulator is gone.
    void inputClosed();

private:
    void onStdinReadable();
    void onNewConnection();

    Executor m_executor;
    QSocketNotifier* m_stdin = nullptr;
    QByteArray m_stdinBuffer;
    QLocalServer* m_server = nullptr;
};
