// The command-line front end as a user runs it: the tavcli binary against the
// simulator, checking its exit status, its output and what went on the wire.
#include "SimulatorProcess.h"

#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs tavcli with a home of its own so no user settings are read or written.
Run runCli(const QStringList& arguments, const QString& home)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home);
    process.start(TAVCLI_PATH, arguments);
    Run run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList requestsOf(const SimulatorProcess& sim)
{
    QStringList requests;
    for (const QString& entry : sim.transcriptEntries()) {
        if (entry.startsWith("< "))
            requests << entry.mid(2);
    }
    return requests;
}

} // namespace

class TestTavCli : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_home.isValid()); }

    void infoPrintsTheIdentityOfEachVariant_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("TAV1") << "TAV1" << QStringList {"serialNumber:", "firmwareVersion:"};
        QTest::newRow("TAV2") << "TAV2" << QStringList {"address:", "modulation:", "frequencyMin:"};
        QTest::newRow("RIX") << "RIX" << QStringList {"address:", "power:"};
    }

    void infoPrintsTheIdentityOfEachVariant()
    {
        QFETCH(QString, module);
        QFETCH(QStringList, keys);
        SimulatorProcess sim({"--module", module});
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        const Run run = runCli({"info", "--module", module, "--port", sim.portPath()}, m_home.path());
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY(run.out.contains("module: " + module + "\n"));
        for (const QString& key : keys)
            QVERIFY2(run.out.contains(key), qPrintable(run.out));
        const QStringList requests = requestsOf(sim);
        QVERIFY(requests.contains("AT+ID=?"));
        QVERIFY(requests.contains("AT+FW=?"));
        // The identity printed is the one the module answered.
        const QString idAnswer = sim.transcriptEntries().filter(QRegularExpression("^> \\+ID=")).value(0);
        QVERIFY(!idAnswer.isEmpty());
        QVERIFY(run.out.contains("id: " + idAnswer.mid(6) + "\n"));
    }

    void atPrintsTheAnswerOrFailsWithTheErrorText()
    {
        SimulatorProcess sim({"--module", "TAV2"});
        QVERIFY(sim.start());
        const Run ok = runCli({"at", "AT+ID=?", "--module", "TAV2", "--port", sim.portPath()}, m_home.path());
        QCOMPARE(ok.status, 0);
        QVERIFY(ok.out.startsWith("+ID="));
        QVERIFY(requestsOf(sim).contains("AT+ID=?"));

        const Run bad
            = runCli({"at", "AT+FOO=?", "--module", "TAV2", "--port", sim.portPath()}, m_home.path());
        QCOMPARE(bad.status, 1);
        QVERIFY(bad.out.contains("+ERROR="));
        QCOMPARE(bad.err, QString("tavcli: The AT command is unknown\n"));
        QVERIFY(requestsOf(sim).contains("AT+FOO=?"));
    }

    void nextPassSucceedsWithoutAnOrbitServer()
    {
        SimulatorProcess sim({"--module", "TAV2"});
        QVERIFY(sim.start());
        const Run run = runCli({"next-pass", "--module", "TAV2", "--port", sim.portPath()}, m_home.path());
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains("durationSeconds: 612\n"), qPrintable(run.out + run.err));
        QVERIFY(run.out.contains("start: "));
        QVERIFY(requestsOf(sim).contains("AT+NEXTPASS=?"));
    }

    void failuresGiveAStatusAndOneLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("port") << QStringList {"info", "--module", "TAV2", "--port", "/dev/tav-none"} << 3
                              << "tavcli: Unable to open port /dev/tav-none\n";
        QTest::newRow("no module") << QStringList {"info", "--port", "/dev/tav-none"} << 2
                                   << "tavcli: no module given: use --module TAV1|TAV2|RIX|TREKON\n";
        QTest::newRow("bad module") << QStringList {"info", "--module", "TAV9", "--port", "x"} << 2
                                    << "tavcli: unknown module 'TAV9' (TAV1, TAV2, RIX or TREKON)\n";
        QTest::newRow("at without command")
            << QStringList {"at"} << 2 << "tavcli: at takes one argument: COMMAND\n";
    }

    void failuresGiveAStatusAndOneLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Run run = runCli(arguments, m_home.path());
        QCOMPARE(run.status, status);
        QCOMPARE(run.err, message);
        QVERIFY(run.out.isEmpty());
    }

    void helpNamesTheToolAndTheCommand()
    {
        const Run run = runCli({"tx", "--help"}, m_home.path());
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith("Usage: tavcli [options] tx MESSAGE...\n"));
        QVERIFY(run.out.contains("--profile <profile>"));
        const Run top = runCli({"--help"}, m_home.path());
        QCOMPARE(top.status, 0);
        QVERIFY(top.out.startsWith("Usage: tavcli [options] COMMAND [arguments]\n"));
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(TestTavCli)
#include "tst_tavcli.moc"
