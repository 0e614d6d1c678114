#pragma once

#include "board/TavBoard.h"
#include "demo/DemoModules.h"
#include "log/LogFile.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QCommandLineParser;
class QTimer;
class TavManager;

// What the command line asks the window to do once it is up: connect to a
// module as the connection page would, keep that connection across unplugs,
// run a transmission sequence, copy the device log to a file, keep the pass
// list predicted afresh, and list simulated modules to try the tool without
// hardware. Nothing of it happens without the options.
class LaunchOptions : public QObject {
    Q_OBJECT

public:
    explicit LaunchOptions(QObject* parent = nullptr);

    static void addTo(QCommandLineParser& parser);
    // False with a message for the user when the options do not fit together.
    bool read(const QCommandLineParser& parser, QString* error);

    bool connects() const { return m_module != TavBoard::NA; }
    // With --demo: starts one simulated module of each variant, which stop
    // with this object; false with the reason when they cannot start.
    bool startDemo(QString* error);
    // Lists the simulated modules, if any, first among the manager's ports.
    void listDemo(TavManager* manager) const;
    // Opens the log; connects and starts the sequence from the event loop.
    bool apply(TavManager* manager, QString* error);

private:
    void run();

    TavManager* m_manager = nullptr;
    TavBoard::Module m_module = TavBoard::NA;
    QString m_port;
    bool m_reconnect = false;
    QStringList m_payloads;
    int m_repeat = 1;
    int m_predictEveryMinutes = 0;
    QTimer* m_predictTimer = nullptr;
    QString m_logPath;
    LogFile m_log;
    bool m_demo = false;
    DemoModules m_demoModules;
};
