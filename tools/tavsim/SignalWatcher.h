#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal delivered on the event
// loop, so that shutdown (removing the link, closing the device) runs in
// ordinary code rather than in a signal handler.
class SignalWatcher : public QObject {
    Q_OBJECT

public:
    explicit SignalWatcher(QObject* parent = nullptr);

signals:
    void terminationRequested();

private:
    static void onSignal(int);
    static int s_fds[2];
    QSocketNotifier* m_notifier = nullptr;
};
