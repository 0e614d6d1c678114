#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The module simulator as a child process of a test. It is driven through its
// standard input and always keeps a transcript in a temporary directory. The
// destructor stops it (terminate, wait, kill); the child also ends by itself
// when the test process dies, so no simulator outlives its test.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const QStringList& arguments = {});
    ~SimulatorProcess();

    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Starts the simulator and waits for the device path on its first line.
    bool start(int timeoutMs = 10000);
    bool isRunning() const;
    qint64 processId() const;
    QString errorString() const { return m_error; }

    QString portPath() const { return m_portPath; }
    QString transcriptPath() const { return m_transcriptPath; }
    // The transcript entries so far, "HH:mm:ss.zzz <|>|! text" each.
    QStringList transcript() const;
    // The same without time stamps: "< AT+PING=?", "> +OK", ...
    QStringList transcriptEntries() const;

    // Runs one control command and waits for its reply; true when it is "OK".
    bool sendControl(const QString& command, QString* reply = nullptr, int timeoutMs = 5000);

    // Asks the simulator to end and reaps it; true when it ended by itself.
    bool stop(int timeoutMs = 5000);
    bool waitForExit(int timeoutMs);

    static QString simulatorPath();

private:
    QString readLine(int timeoutMs);

    QStringList m_arguments;
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_portPath;
    QString m_transcriptPath;
    QString m_error;
};
