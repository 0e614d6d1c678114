// `tavcli provision` of several simulated TREKONs against one: the modules
// are provisioned side by side, so eight should take little longer than one.
// Prints the median ratio of the two wall-clock times on its last line.
#include "SimulatorProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

QProcessEnvironment isolated(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    return env;
}

// Runs tavcli to its end; its exit status, or -1.
int runCli(const QString& home, const QStringList& arguments, int timeoutMs = 120000)
{
    QProcess cli;
    cli.setProcessEnvironment(isolated(home));
    cli.setWorkingDirectory(home);
    cli.start(TAVCLI_PATH, arguments);
    if (!cli.waitForFinished(timeoutMs) || cli.exitStatus() != QProcess::NormalExit)
        return -1;
    return cli.exitCode();
}

// A kit that presses its own wake-up button 50 ms after the tool opens it:
// each connection waits for the button.
const QStringList kKit {"--module", "TREKON", "--asleep", "--auto-wake", "50"};

// Milliseconds `tavcli provision` takes for `count` fresh simulated kits.
double provisionMs(const QString& home, const QString& file, int count)
{
    std::vector<std::unique_ptr<SimulatorProcess>> sims;
    QStringList ports;
    for (int i = 0; i < count; ++i) {
        sims.push_back(std::make_unique<SimulatorProcess>(kKit));
        if (!sims.back()->start())
            return -1;
        ports << sims.back()->portPath();
    }
    QElapsedTimer timer;
    timer.start();
    const int status = runCli(home, {"provision", file, "--module", "TREKON", "--ports", ports.join(',')});
    const double ms = timer.nsecsElapsed() / 1e6;
    return status == 0 ? ms : -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rounds = args.size() > 1 ? args.at(1).toInt() : 3;
    const int modules = args.size() > 2 ? args.at(2).toInt() : 8;
    QTextStream out(stdout);
    QTextStream err(stderr);

    QTemporaryDir home;
    SimulatorProcess source(kKit);
    if (!source.start()) {
        err << "simulator: " << source.errorString() << "\n";
        return 1;
    }
    // The file is the first kit's own configuration, with a position of its
    // own so that every kit has something to take.
    const QString file = home.filePath("kit.conf");
    if (runCli(home.path(), {"export-config", file, "--module", "TREKON", "--port", source.portPath()})
        != 0) {
        err << "could not export the configuration of the first kit\n";
        return 1;
    }
    QFile conf(file);
    if (!conf.open(QIODevice::ReadWrite | QIODevice::Text)) {
        err << "could not read " << file << "\n";
        return 1;
    }
    QString text = QString::fromUtf8(conf.readAll());
    text.replace(QRegularExpression("AT\\+POS=[^\\n]*"), "AT+POS=12.5,-3.25");
    conf.resize(0);
    conf.write(text.toUtf8());
    conf.close();

    QList<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const double one = provisionMs(home.path(), file, 1);
        const double all = provisionMs(home.path(), file, modules);
        if (one < 0 || all < 0) {
            err << "a provisioning run failed\n";
            return 1;
        }
        ratios << all / one;
        out << "round " << round + 1 << ": 1 kit " << qRound(one) << " ms, " << modules << " kits "
            << qRound(all) << " ms, ratio " << QString::number(all / one, 'f', 2) << "\n";
        out.flush();
    }
    out << "ratio: " << QString::number(median(ratios), 'f', 2) << "\n";
    return 0;
}
