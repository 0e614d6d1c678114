#include "SignalWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

int SignalWatcher::s_fds[2] = {-1, -1};

SignalWatcher::SignalWatcher(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_fds) != 0)
        return;
    m_notifier = new QSocketNotifier(s_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char c;
        if (::read(s_fds[1], &c, 1) > 0)
            emit terminationRequested();
    });

    struct sigaction action { };
    action.sa_handler = &SignalWatcher::onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
    // A control client that goes away must not kill the simulator.
    std::signal(SIGPIPE, SIG_IGN);
}

void SignalWatcher::onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(s_fds[0], &c, 1);
}
