#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QStringList>

class QProcess;

// `tavcli provision`: one child process of this tool per port, up to `jobs`
// at a time, each comparing, uploading and verifying one module. It prints
// one line per module as it ends, a summary, and writes the report.
class Provisioner : public QObject {
    Q_OBJECT

public:
    struct Options {
        QString filePath;
        QStringList ports;
        QString module; // variant name, as given
        QString baud;
        int jobs = 0; // 0: every port at once
        int wakeTimeoutS = 60;
        double timeoutScale = 1.0;
        QString reportPath;
        QString program; // this tool's binary
    };

    explicit Provisioner(const Options& options, QObject* parent = nullptr);
    ~Provisioner() override;

    // Starts the first children; false when the report cannot be written.
    bool start(QString* error);
    bool finished() const { return m_done == m_modules.size(); }
    // Stops starting children and asks the running ones to stop (Ctrl-C).
    void interrupt();
    // "4 modules: 3 verified, 1 failed".
    QString summary() const;
    // 0 when every module ended verified and the report was written, 130
    // after Ctrl-C, else 1.
    int exitStatus() const;
    // Why the report could not be written; empty when it was.
    QString reportError() const { return m_reportError; }

private:
    struct Module {
        QString port;
        QProcess* process = nullptr;
        QElapsedTimer clock;
        QByteArray output; // what is not a whole line yet
        QByteArray lastLine;
        QByteArray errors;
        QJsonObject result;
        bool ended = false;
    };

    void startNext();
    void onFinished(int index);
    void record(Module& module);
    QString progressLine(const Module& module) const;

    Options m_options;
    QList<Module> m_modules;
    int m_next = 0;
    int m_running = 0;
    int m_done = 0;
    bool m_interrupted = false;
    QFile m_report;
    QString m_reportError;
};
