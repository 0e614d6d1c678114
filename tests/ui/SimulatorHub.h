#pragma once

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <memory>

class SimulatorProcess;
class TavManager;

// One module simulator per variant for the Qt Quick tests, reached from QML
// as "Simulators". Each serves on a fixed link path (listed to the port
// enumeration through TAV_EXTRA_PORTS) that survives restarts, so a test can
// pick its board from the port list or start a simulator with other options.
class SimulatorHub : public QObject {
    Q_OBJECT
    // Presses the TREKON's wake-up button whenever the manager asks for it.
    Q_PROPERTY(bool autoWake READ autoWake WRITE setAutoWake NOTIFY autoWakeChanged)
    // How often the manager asked for the wake-up button so far.
    Q_PROPERTY(int wakeUpRequests READ wakeUpRequests NOTIFY wakeUpRequestsChanged)

public:
    static const QStringList MODULES;
    // Request timeouts are shortened by this factor: the simulators answer in
    // milliseconds, and the tests that wait for a timeout stay short.
    static constexpr double TIMEOUT_SCALE = 0.5;
    // Without autoWake, the button is still pressed after this long.
    static constexpr int WAKE_UP_FALLBACK_MS = 3000;

    explicit SimulatorHub(QObject* parent = nullptr);
    ~SimulatorHub() override;

    // Starts a simulator of every variant; the error names the first failure.
    bool startAll(QString* error);
    // The link paths, colon-separated, as TAV_EXTRA_PORTS takes them.
    QString extraPorts() const;
    // Shortens the timeouts of a manager QML has just created and presses the
    // wake-up button for it.
    void attach(TavManager* manager);

    bool autoWake() const { return m_autoWake; }
    void setAutoWake(bool on);
    int wakeUpRequests() const { return m_wakeUpRequests; }

    // The link path of the module's simulator, started again if it ended.
    Q_INVOKABLE QString portOf(const QString& module);
    // A fresh simulator for the module with these extra options; its path.
    Q_INVOKABLE QString restart(const QString& module, const QStringList& options = {});
    // Runs a control command; the simulator's reply ("OK ..."), or "ERROR ..."
    // when there is no simulator to run it.
    Q_INVOKABLE QString control(const QString& module, const QString& command);
    // Transcript entries without time stamps ("< AT+PING=?", "> +OK"), and
    // the requests alone ("AT+PING=?").
    Q_INVOKABLE QStringList transcript(const QString& module) const;
    Q_INVOKABLE QStringList requests(const QString& module) const;
    // The output speed the device of the module is set to (the host's
    // choice), or -1 when it cannot be read.
    Q_INVOKABLE int baudOf(const QString& module) const;
    // Stops the module's simulator: its device and link go away.
    Q_INVOKABLE void stop(const QString& module);
    // Stops every simulator; run before the application goes.
    void stopAll();

signals:
    void autoWakeChanged();
    void wakeUpRequestsChanged();

private:
    QString linkOf(const QString& module) const;
    SimulatorProcess* start(const QString& module, const QStringList& options, QString* error);

    QTemporaryDir m_dir;
    std::map<QString, std::unique_ptr<SimulatorProcess>> m_simulators;
    bool m_autoWake = true;
    int m_wakeUpRequests = 0;
};
