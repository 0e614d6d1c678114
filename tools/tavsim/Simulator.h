#pragma once

#include "PtyPort.h"
#include "SimOptions.h"
#include "Transcript.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

class ModuleFirmware;
class Replay;

// One simulated module on its pseudo-terminal: requests go to the firmware
// after the answer latency, answers go back on the line, and the faults asked
// for on the control channel are applied on the way.
class Simulator : public QObject {
    Q_OBJECT

public:
    Simulator(const SimOptions& options, QObject* parent = nullptr);

    bool start(QString* error);
    QString devicePath() const { return m_port.devicePath(); }
    // Runs one control command; returns "OK ..." or "ERROR ...".
    QString execute(const QString& command);
    // Closes the device and removes the link.
    void shutDown();

signals:
    // The device was hung up and the simulator is to end.
    void finished();

private:
    struct Pending {
        qint64 dueMs;
        QString line;
        bool tooLong;
    };
    using ControlHandler = QString (Simulator::*)(const QStringList& args);
    struct ControlCommand {
        const char* name;
        int minArgs;
        int maxArgs; // -1: the rest of the line is one argument
        ControlHandler handler;
    };
    static const QList<ControlCommand>& controlCommands();

    void onRequest(const QString& line, bool tooLong);
    void processDue();
    void send(const QString& line);
    void sendBytes(const QByteArray& bytes, const QString& note);
    void onFlood();
    bool isTrekon() const;
    void fallAsleep();
    void wakeUp();
    void scheduleAutoWake();

    // Control commands (SimulatorControl.cpp)
    QString doWake(const QStringList& args);
    QString doSleep(const QStringList& args);
    QString doMute(const QStringList& args);
    QString doLatency(const QStringList& args);
    QString doBaud(const QStringList& args);
    QString doError(const QStringList& args);
    QString doIgnore(const QStringList& args);
    QString doTxFail(const QStringList& args);
    QString doTxFailEvery(const QStringList& args);
    QString doTxDropEvery(const QStringList& args);
    QString doGarbage(const QStringList& args);
    QString doLongLine(const QStringList& args);
    QString doHangUp(const QStringList& args);
    QString doReplug(const QStringList& args);
    QString doSend(const QStringList& args);
    QString doAssert(const QStringList& args);
    QString doRx(const QStringList& args);
    QString doBc(const QStringList& args);
    QString doFlood(const QStringList& args);
    QString doState(const QStringList& args);
    QString doHelp(const QStringList& args);

    SimOptions m_options;
    PtyPort m_port;
    Transcript m_transcript;
    ModuleFirmware* m_firmware;
    Replay* m_replay = nullptr;
    bool m_asleep;
    bool m_muted = false;
    int m_latencyMs;
    QHash<QString, int> m_injectedErrors;
    QSet<QString> m_ignoredSets;
    QSet<QString> m_mutedWords;
    QList<Pending> m_pending;
    QElapsedTimer m_clock;
    QTimer m_dueTimer;
    QTimer m_floodTimer;
    QTimer m_autoWakeTimer;
    int m_floodPerSecond = 0;
    int m_floodPerTick = 0;
};
