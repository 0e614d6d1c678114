#include "Provisioner.h"

#include <QHash>
#include <QJsonDocument>
#include <QProcess>
#include <QTextStream>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

QString lastLine(const QByteArray& bytes)
{
    const QStringList lines = QString::fromUtf8(bytes).split('\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.constLast().trimmed();
}

} // namespace

Provisioner::Provisioner(const Options& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
{
    for (const QString& port : options.ports)
        m_modules.append(Module {port, nullptr, {}, {}, {}, {}, {}, false});
    if (m_options.jobs <= 0)
        m_options.jobs = static_cast<int>(m_modules.size());
}

Provisioner::~Provisioner()
{
    for (Module& module : m_modules) {
        if (module.process && module.process->state() != QProcess::NotRunning) {
            module.process->kill();
            module.process->waitForFinished(1000);
        }
    }
}

bool Provisioner::start(QString* error)
{
    if (!m_options.reportPath.isEmpty()) {
        m_report.setFileName(m_options.reportPath);
        // Appended to: the lines of earlier runs stay, and a run that
        // stops half-way keeps the lines of the modules it has done.
        if (!m_report.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            *error = "unable to write the report " + m_options.reportPath + ": " + m_report.errorString();
            return false;
        }
    }
    while (m_running < m_options.jobs && m_next < m_modules.size())
        startNext();
    return true;
}

void Provisioner::startNext()
{
    const int index = m_next++;
    Module& module = m_modules[index];
    auto* process = new QProcess(this);
    module.process = process;
    // A group of its own: the terminal's Ctrl-C reaches this process only,
    // which passes it on once to each child. A child stops as on Ctrl-C when
    // this process dies, even by kill -9, instead of holding its port.
    const pid_t parent = ::getpid();
    process->setChildProcessModifier([parent]() {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::raise(SIGTERM);
    });
    QStringList arguments {"provision-port", m_options.filePath, "--port", module.port, "--module",
        m_options.module, "--baud", m_options.baud, "--wake-timeout", QString::number(m_options.wakeTimeoutS),
        "--timeout-scale", QString::number(m_options.timeoutScale), "--quiet"};
    connect(process, &QProcess::readyReadStandardOutput, this, [this, &module, process]() {
        module.output += process->readAllStandardOutput();
        // The child says so when its kit sleeps: someone has to press the button.
        while (module.output.contains('\n')) {
            const qsizetype end = module.output.indexOf('\n');
            const QJsonObject line = QJsonDocument::fromJson(module.output.left(end)).object();
            if (!line.contains("waiting")) {
                module.lastLine = module.output.left(end);
            } else {
                QTextStream(stdout) << module.port << ": press the wake-up button (waiting up to "
                                    << m_options.wakeTimeoutS << " s)" << Qt::endl;
            }
            module.output.remove(0, end + 1);
        }
        // A line is short: a child that writes no line end is cut off.
        if (module.output.size() > 64 * 1024)
            module.output.clear();
    });
    connect(process, &QProcess::readyReadStandardError, this, [&module, process]() {
        // Only the last lines name the failure.
        module.errors = (module.errors + process->readAllStandardError()).right(4096);
    });
    connect(process, &QProcess::finished, this, [this, index]() { onFinished(index); });
    connect(process, &QProcess::errorOccurred, this, [this, index](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onFinished(index);
    });
    ++m_running;
    module.clock.start();
    process->start(m_options.program, arguments);
}

void Provisioner::onFinished(int index)
{
    Module& module = m_modules[index];
    if (module.ended)
        return;
    module.ended = true;
    module.errors += module.process->readAllStandardError();
    const QByteArray rest = module.output + module.process->readAllStandardOutput();
    if (!rest.trimmed().isEmpty())
        module.lastLine = rest.trimmed();
    const QJsonDocument document = QJsonDocument::fromJson(module.lastLine);
    module.result = document.isObject() ? document.object() : QJsonObject();
    if (!module.result.contains("result")) {
        module.result["result"] = m_interrupted ? "interrupted" : "failed";
        QString error = lastLine(module.errors);
        if (error.startsWith("tavcli: "))
            error = error.mid(8);
        if (error.isEmpty())
            error = module.process->errorString();
        module.result["error"] = error;
    }
    --m_running;
    ++m_done;
    record(module);
    QTextStream(stdout) << progressLine(module) << Qt::endl;
    if (!m_interrupted && m_next < m_modules.size())
        startNext();
}

void Provisioner::record(Module& module)
{
    QJsonObject line;
    line["port"] = module.port;
    line["identifier"] = module.result.value("identifier").toString();
    line["firmware"] = module.result.value("firmware").toString();
    line["result"] = module.result.value("result").toString();
    line["differencesFound"] = module.result.value("differencesFound").toInt(-1);
    line["differencesLeft"] = module.result.value("differencesLeft").toInt(-1);
    line["seconds"] = module.process ? qRound(module.clock.elapsed() / 100.0) / 10.0 : 0.0;
    if (module.result.contains("error"))
        line["error"] = module.result.value("error").toString();
    module.result = line;
    if (m_report.isOpen() && m_reportError.isEmpty()) {
        const QByteArray bytes = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
        // Said once, at the end: the modules go on being provisioned.
        if (m_report.write(bytes) != bytes.size() || !m_report.flush())
            m_reportError = "unable to write the report " + m_options.reportPath + ": " + m_report.errorString();
    }
}

QString Provisioner::progressLine(const Module& module) const
{
    const QJsonObject& r = module.result;
    QString text = module.port + ": " + r.value("result").toString();
    if (!r.value("identifier").toString().isEmpty())
        text += " (ID " + r.value("identifier").toString() + ")";
    if (r.value("differencesFound").toInt(-1) >= 0)
        text += QString(", %1 found").arg(r.value("differencesFound").toInt());
    if (r.value("differencesLeft").toInt(-1) >= 0)
        text += QString(", %1 left").arg(r.value("differencesLeft").toInt());
    if (r.contains("error"))
        text += ": " + r.value("error").toString();
    return text + QString(" in %1 s").arg(r.value("seconds").toDouble(), 0, 'f', 1);
}

void Provisioner::interrupt()
{
    if (m_interrupted)
        return;
    m_interrupted = true;
    for (Module& module : m_modules) {
        if (module.process && module.process->state() != QProcess::NotRunning)
            ::kill(static_cast<pid_t>(module.process->processId()), SIGINT);
    }
    // The ports never reached are ended at once.
    while (m_next < m_modules.size()) {
        Module& module = m_modules[m_next++];
        module.ended = true;
        module.result["result"] = "not started";
        ++m_done;
        record(module);
        QTextStream(stdout) << progressLine(module) << Qt::endl;
    }
}

QString Provisioner::summary() const
{
    QStringList order;
    QHash<QString, int> counts;
    for (const Module& module : m_modules) {
        const QString result = module.result.value("result").toString();
        if (!counts.contains(result))
            order << result;
        ++counts[result];
    }
    QStringList parts;
    for (const QString& result : std::as_const(order))
        parts << QString::number(counts.value(result)) + " " + result;
    return QString("%1 module%2: %3")
        .arg(m_modules.size())
        .arg(m_modules.size() == 1 ? "" : "s", parts.join(", "));
}

int Provisioner::exitStatus() const
{
    if (m_interrupted)
        return 130;
    if (!m_reportError.isEmpty())
        return 1;
    for (const Module& module : m_modules) {
        if (module.result.value("result").toString() != QLatin1String("verified"))
            return 1;
    }
    return 0;
}
