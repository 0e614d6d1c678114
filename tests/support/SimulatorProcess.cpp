#include "SimulatorProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>

#include <csignal>
#include <sys/prctl.h>

SimulatorProcess::SimulatorProcess(const QStringList& arguments)
    : m_arguments(arguments)
{
    m_process.setProgram(simulatorPath());
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

SimulatorProcess::~SimulatorProcess()
{
    stop(3000);
}

QString SimulatorProcess::simulatorPath()
{
    return QStringLiteral(TAV_SIM_PATH);
}

bool SimulatorProcess::start(int timeoutMs)
{
    QStringList args = m_arguments;
    const qsizetype at = args.indexOf(QStringLiteral("--transcript"));
    if (at >= 0 && at + 1 < args.size()) {
        m_transcriptPath = args.at(at + 1);
    } else {
        m_transcriptPath = m_dir.filePath(QStringLiteral("transcript.log"));
        args << QStringLiteral("--transcript") << m_transcriptPath;
    }
    if (!args.contains(QStringLiteral("--control")))
        args << QStringLiteral("--control") << QStringLiteral("-");
    m_process.setArguments(args);
    m_process.start();
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = "cannot start " + simulatorPath() + ": " + m_process.errorString();
        return false;
    }
    m_portPath = readLine(timeoutMs);
    if (m_portPath.isEmpty()) {
        m_error = "no device path from the simulator: "
            + QString::fromLocal8Bit(m_process.readAllStandardError());
        return false;
    }
    return true;
}

bool SimulatorProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

qint64 SimulatorProcess::processId() const
{
    return m_process.processId();
}

QString SimulatorProcess::readLine(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (m_process.state() != QProcess::Running || deadline.hasExpired())
            return {};
        m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    return QString::fromUtf8(m_process.readLine()).trimmed();
}

bool SimulatorProcess::sendControl(const QString& command, QString* reply, int timeoutMs)
{
    if (!isRunning())
        return false;
    m_process.write(command.toUtf8() + '\n');
    m_process.waitForBytesWritten(timeoutMs);
    const QString answer = readLine(timeoutMs);
    if (reply)
        *reply = answer;
    return answer == QLatin1String("OK") || answer.startsWith(QLatin1String("OK "));
}

QStringList SimulatorProcess::transcript() const
{
    QFile file(m_transcriptPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

QStringList SimulatorProcess::transcriptEntries() const
{
    QStringList entries;
    for (const QString& line : transcript())
        entries << line.section(' ', 1);
    return entries;
}

bool SimulatorProcess::waitForExit(int timeoutMs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

bool SimulatorProcess::stop(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    m_process.terminate();
    if (m_process.waitForFinished(timeoutMs))
        return m_process.exitStatus() == QProcess::NormalExit;
    m_process.kill();
    m_process.waitForFinished(timeoutMs);
    return false;
}
