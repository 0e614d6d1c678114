#include "SimulatorHub.h"

#include "SimulatorProcess.h"
#include "manager/TavManager.h"

#include <QFile>
#include <QTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

const QStringList SimulatorHub::MODULES {"TAV1", "TAV2", "RIX", "TREKON"};

namespace {

// Quick answers, and transmit results soon enough for a test to wait for.
const QStringList kDefaultOptions {"--latency", "2", "--tx-delay", "150"};

} // namespace

SimulatorHub::SimulatorHub(QObject* parent)
    : QObject(parent)
{
}

SimulatorHub::~SimulatorHub()
{
    stopAll();
}

QString SimulatorHub::linkOf(const QString& module) const
{
    return m_dir.filePath(module);
}

QString SimulatorHub::extraPorts() const
{
    QStringList paths;
    for (const QString& module : MODULES)
        paths << linkOf(module);
    return paths.join(':');
}

bool SimulatorHub::startAll(QString* error)
{
    for (const QString& module : MODULES) {
        if (!start(module, {}, error))
            return false;
    }
    return true;
}

SimulatorProcess* SimulatorHub::start(const QString& module, const QStringList& options, QString* error)
{
    m_simulators.erase(module);
    auto sim = std::make_unique<SimulatorProcess>(
        QStringList {"--module", module, "--link", linkOf(module)} + kDefaultOptions + options);
    if (!sim->start()) {
        if (error)
            *error = module + ": " + sim->errorString();
        return nullptr;
    }
    SimulatorProcess* started = sim.get();
    m_simulators[module] = std::move(sim);
    return started;
}

void SimulatorHub::stop(const QString& module)
{
    m_simulators.erase(module);
}

void SimulatorHub::stopAll()
{
    m_simulators.clear();
}

void SimulatorHub::attach(TavManager* manager)
{
    manager->setTimeoutScale(TIMEOUT_SCALE);
    connect(manager, &TavManager::userActionRequested, this, [this, manager]() {
        ++m_wakeUpRequests;
        emit wakeUpRequestsChanged();
        const auto it = m_simulators.find("TREKON");
        const qint64 pid = it == m_simulators.end() ? 0 : it->second->processId();
        // Pressed once the manager waits for it, as a user would. A test
        // that answers the dialog itself gets the button pressed late all
        // the same if the manager still waits, so that a dialog that does
        // not cancel fails the test instead of hanging it.
        QTimer::singleShot(m_autoWake ? 0 : WAKE_UP_FALLBACK_MS, manager, [this, manager, pid]() {
            const auto now = m_simulators.find("TREKON");
            const bool sameKit = now != m_simulators.end() && now->second->processId() == pid;
            if (sameKit && manager->board() && !manager->board()->isAwake())
                control("TREKON", "wake");
        });
    });
}

void SimulatorHub::setAutoWake(bool on)
{
    if (m_autoWake == on)
        return;
    m_autoWake = on;
    emit autoWakeChanged();
}

QString SimulatorHub::portOf(const QString& module)
{
    const auto it = m_simulators.find(module);
    if (it != m_simulators.end() && it->second->isRunning())
        return linkOf(module);
    QString error;
    if (!start(module, {}, &error)) {
        qWarning("%s", qPrintable(error));
        return {};
    }
    return linkOf(module);
}

QString SimulatorHub::restart(const QString& module, const QStringList& options)
{
    QString error;
    if (!start(module, options, &error)) {
        qWarning("%s", qPrintable(error));
        return {};
    }
    return linkOf(module);
}

QString SimulatorHub::control(const QString& module, const QString& command)
{
    const auto it = m_simulators.find(module);
    if (it == m_simulators.end() || !it->second->isRunning())
        return "ERROR no " + module + " simulator running";
    QString reply;
    it->second->sendControl(command, &reply);
    return reply.isEmpty() ? QStringLiteral("ERROR no reply") : reply;
}

QStringList SimulatorHub::transcript(const QString& module) const
{
    const auto it = m_simulators.find(module);
    return it == m_simulators.end() ? QStringList() : it->second->transcriptEntries();
}

QStringList SimulatorHub::requests(const QString& module) const
{
    QStringList requests;
    for (const QString& entry : transcript(module)) {
        if (entry.startsWith("< "))
            requests << entry.mid(2);
    }
    return requests;
}

int SimulatorHub::baudOf(const QString& module) const
{
    // The line settings belong to the terminal, so any descriptor of it
    // reads what the host set on its own.
    const int fd = ::open(QFile::encodeName(linkOf(module)).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    termios tio {};
    const bool read = ::tcgetattr(fd, &tio) == 0;
    ::close(fd);
    if (!read)
        return -1;
    switch (cfgetospeed(&tio)) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return -1;
    }
}
