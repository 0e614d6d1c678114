#pragma once

#include "LogFile.h"
#include "TavBoard.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QCommandLineParser;
class TavManager;

// What the command line asks the window to do once it is up: connect to a
// module as the connection page would, keep that connection across unplugs,
// run a transmission sequence, and copy the device log to a file. Nothing of
// it happens without the options.
class LaunchOptions : public QObject {
    Q_OBJECT

public:
    explicit LaunchOptions(QObject* parent = nullptr);

    static void addTo(QCommandLineParser& parser);
    // False with a message for the user when the options do not fit together.
    bool read(const QCommandLineParser& parser, QString* error);

    bool connects() const { return m_module != TavBoard::NA; }
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
    QString m_logPath;
    LogFile m_log;
};
