#include "DemoModules.h"

#include "log/Helper.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int START_TIMEOUT_MS = 5000;
constexpr int STOP_TIMEOUT_MS = 3000;

} // namespace

DemoModules::DemoModules(QObject* parent)
    : QObject(parent)
{
}

DemoModules::~DemoModules()
{
    stop();
}

QString DemoModules::portName(TavBoard::Module module)
{
    return QStringLiteral("Demo %1 (simulated)").arg(Helper::enumToStr(module));
}

QString DemoModules::simulatorPath()
{
    const QString here = QCoreApplication::applicationDirPath();
    // Installed side by side; in the build tree, the window sits at the top
    // and the tools each in a folder under tools/.
    for (const QString& candidate : {here + "/tavsim", here + "/tools/tavsim/tavsim", here + "/../tavsim/tavsim"}) {
        if (QFileInfo(candidate).isExecutable())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("tavsim"));
}

bool DemoModules::start(const QList<TavBoard::Module>& modules, int wakeUpMs, QString* error)
{
    stop();
    const QString simulator = simulatorPath();
    if (simulator.isEmpty()) {
        *error = QStringLiteral("the module simulator tavsim is not installed beside this program nor on PATH");
        return false;
    }
    if (!m_dir.isValid()) {
        *error = "cannot make a folder for the simulated modules: " + m_dir.errorString();
        return false;
    }

    QList<PortEntry> ports;
    for (TavBoard::Module module : modules) {
        const QString variant = Helper::enumToStr(module);
        const QString link = m_dir.filePath(variant.toLower());
        QStringList arguments {"--module", variant, "--link", link};
        if (module == TavBoard::TREKON)
            arguments << "--asleep" << "--auto-wake" << QString::number(wakeUpMs);

        auto process = std::make_unique<QProcess>();
        process->setProgram(simulator);
        process->setArguments(arguments);
        // Nothing is read from them: their output would only pile up.
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process->start();
        QProcess* started = process.get();
        m_processes.push_back(std::move(process));
        if (!started->waitForStarted(START_TIMEOUT_MS)) {
            *error = "cannot start " + simulator + ": " + started->errorString();
            stop();
            return false;
        }
        ports << PortEntry::node(portName(module), link, "Simulated " + variant + " module");
    }

    // Each simulator links its device once it serves it.
    QDeadlineTimer deadline(START_TIMEOUT_MS);
    for (size_t i = 0; i < m_processes.size(); ++i) {
        while (!QFileInfo::exists(ports.at(qsizetype(i)).path)) {
            if (m_processes[i]->state() != QProcess::Running || deadline.hasExpired()) {
                *error = "the simulator of " + ports.at(qsizetype(i)).name + " did not start";
                stop();
                return false;
            }
            QThread::msleep(20);
        }
    }
    m_ports = ports;
    return true;
}

void DemoModules::stop()
{
    for (const auto& process : m_processes) {
        if (process->state() != QProcess::NotRunning)
            process->terminate();
    }
    for (const auto& process : m_processes) {
        if (process->state() != QProcess::NotRunning && !process->waitForFinished(STOP_TIMEOUT_MS)) {
            process->kill();
            process->waitForFinished(STOP_TIMEOUT_MS);
        }
    }
    m_processes.clear();
    m_ports.clear();
}
