#pragma once

#include "ModuleDetector.h"
#include "board/TavBoard.h"

#include <QObject>
#include <QString>

class AtCmdHandler;
class BusyState;
class Logger;
class RequestEngine;
class ResponseDispatch;
class SerialPortManager;
class QTimer;

// The link to one module: opens the port, makes the board and codec of its
// variant and checks with a ping that the module answers; when the
// "Reconnect automatically" switch is on, waits for a device that vanished
// and connects to it again once its port is back.
class ModuleConnection : public QObject {
    Q_OBJECT

public:
    ModuleConnection(SerialPortManager& serialPort, Logger& logger, RequestEngine& requests,
        ResponseDispatch& dispatch, BusyState& busy, QObject* parent);

    TavBoard* board() const { return m_board; }
    AtCmdHandler* codec() const { return m_codec; }
    QString boardName() const;

    void setReconnect(bool enabled);
    bool reconnect() const { return m_reconnect; }
    QString lostDevice() const { return m_lostDevice; }
    int connectionCount() const { return m_connectionCount; }

    // A connection the user asks for; a reconnection comes through here too.
    void connectTo(TavBoard::Module module, const QString& portName, const QString& baudrate);
    // Which variant is on `port`, with reads only; the port is closed after.
    ModuleDetector::Result detect(const QString& port, const QString& baudrate);
    // Nothing is waited for any more.
    void forget();
    // Drops the board and codec and closes the port.
    void close();
    // The window is closing: no reconnection is tried.
    void closeDown();
    // The port reported an error; a device waited for is no error to answer.
    void onSerialError(const QString& error);

signals:
    void boardChanged();
    void connected();
    // The module answered and its board is set: the window may read it.
    void ready(TavBoard::Module module);
    void reconnectChanged();
    void lostDeviceChanged();
    void linkError(QString message);
    // The module answered the start-up reads as another variant than the one
    // chosen: `message` names it and what to do, `found` the variants it may
    // be, `baudrate` the choice to connect to them with.
    void identityMismatch(QString message, QList<int> found, QString baudrate);

private:
    void destroyLink();
    void setLostDevice(const QString& text);
    void onReconnectPoll();
    TavBoard* makeBoard(TavBoard::Module module, const QString& baudrate);
    void checkIdentity(TavBoard::Module chosen);

    SerialPortManager& m_serialPort;
    Logger& m_logger;
    RequestEngine& m_requests;
    ResponseDispatch& m_dispatch;
    BusyState& m_busy;
    TavBoard* m_board = nullptr;
    AtCmdHandler* m_codec = nullptr;
    QTimer* m_reconnectTimer;
    ModuleDetector m_detector;

    bool m_reconnect = false;
    bool m_reconnecting = false;
    TavBoard::Module m_linkModule = TavBoard::NA;
    QString m_linkPort;
    QString m_linkBaud;
    QString m_lostDevice;
    int m_connectionCount = 0;
};
