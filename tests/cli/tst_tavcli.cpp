// The command-line front end as a user runs it: the tavcli binary against the
// simulator, checking its exit status, its output and what went on the wire.
#include "FakeOrbitServer.h"
#include "SimulatorProcess.h"
#include "orbit/PrepassCsv.h"
#include "protocol/AtCmdHandler.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// tavcli as a child process, with a home of its own so that no user settings
// are read or written. The test's event loop keeps running while it works, so
// a server in the test can answer it.
class CliProcess {
public:
    CliProcess(const QString& home, const QStringList& arguments, const QStringList& extraEnv = {},
        const QString& program = TAVCLI_PATH)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", home + "/.config");
        env.remove("TAV_EXTRA_PORTS");
        for (const QString& entry : extraEnv)
            env.insert(entry.section('=', 0, 0), entry.section('=', 1));
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(home);
        m_process.start(program, arguments);
    }

    ~CliProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // Waits until `text` shows on standard output or standard error.
    bool waitForOutput(const QString& text, int timeoutMs = 15000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!(collect(), m_out.contains(text) || m_err.contains(text))) {
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return false;
            QTest::qWait(10);
        }
        return true;
    }

    void interrupt(int signal = SIGINT) { ::kill(static_cast<pid_t>(m_process.processId()), signal); }
    qint64 processId() const { return m_process.processId(); }
    // SIGKILL: no handler runs, nothing is flushed on the way out.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    Run finish(int timeoutMs = 30000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (m_process.state() != QProcess::NotRunning && !deadline.hasExpired())
            QTest::qWait(10);
        Run run;
        if (m_process.state() != QProcess::NotRunning)
            return run;
        collect();
        run.status = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
        run.out = m_out;
        run.err = m_err;
        return run;
    }

private:
    void collect()
    {
        m_out += QString::fromUtf8(m_process.readAllStandardOutput());
        m_err += QString::fromUtf8(m_process.readAllStandardError());
    }

    QProcess m_process;
    QString m_out;
    QString m_err;
};

Run runCli(const QStringList& arguments, const QString& home, const QStringList& extraEnv = {},
    const QString& program = TAVCLI_PATH)
{
    return CliProcess(home, arguments, extraEnv, program).finish();
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

// The data of every answer "+WORD=..." the simulator sent.
QStringList answersOf(const SimulatorProcess& sim, const QString& word)
{
    QStringList answers;
    const QString prefix = "> +" + word + "=";
    for (const QString& entry : sim.transcriptEntries()) {
        if (entry.startsWith(prefix))
            answers << entry.mid(prefix.size());
    }
    return answers;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readAll()) : QString();
}

// An ISO date becomes a placeholder: the kit's clock runs between two reads.
QString withoutDates(QString text)
{
    static const QRegularExpression date(QStringLiteral("\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}Z"));
    return text.replace(date, QStringLiteral("<date>"));
}

// The orbit-data document of the service for the simulated constellation;
// satellite D is out of service; B's period may be made absurd.
QByteArray orbitDocument(double periodOfB = 100.25)
{
    const QString ids = "ABCD589";
    QJsonArray satellites;
    for (int i = 0; i < ids.size(); ++i) {
        QJsonObject status {{"allcastIdent", QString(ids.at(i)).toLower()},
            {"downlinkStatus", i % 2 ? "ARGOS-3 TX ON" : "ARGOS-4 TX ON"},
            {"operatingStatus", ids.at(i) == 'D' ? "OUT OF SERVICE" : "ARGOS-4 payload"}};
        QJsonObject aop {{"date", "2026-01-0" + QString::number(i + 1) + "_10:00:00"},
            {"semiMajorAxis", 7100.5 + i}, {"semiMajorAxisDrift", -0.25}, {"inclination", 98.5},
            {"ascendantNodeLongitude", 10.0 * (i + 1)}, {"ascendantNodeDrift", -25.5},
            {"orbitalPeriod", ids.at(i) == 'B' ? periodOfB : 100.25}};
        satellites.append(QJsonObject {
            {"satellite", "SAT-" + QString(ids.at(i))}, {"broadcastedStatus", status}, {"aop", aop}});
    }
    const QJsonObject root {{"creationDate", "2026-01-09_08:30:00"}, {"satellitesInformation", satellites}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

// A payload of `bytes` bytes, as hexadecimal text.
QString payload(int bytes, char digit)
{
    return QString(bytes * 2, QLatin1Char(digit));
}

const QStringList kAsleepKit = {"--module", "TREKON", "--asleep", "--auto-wake", "50"};

} // namespace

class TestTavCli : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_home.reset(new QTemporaryDir);
        QVERIFY(m_home->isValid());
        // Nothing here may reach the real orbit-data service.
        setOrbitUrl("http://127.0.0.1:1/unreachable");
    }

    void infoPrintsTheIdentityOfEachVariant_data()
    {
        QTest::addColumn<QStringList>("simulator");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("reads");
        QTest::newRow("TAV1") << QStringList {"--module", "TAV1"}
                              << QStringList {"serialNumber:", "txFrequency:", "txPower:"}
                              << QStringList {"AT+ID=?", "AT+FW=?", "AT+SN=?"};
        QTest::newRow("TAV2") << QStringList {"--module", "TAV2"}
                              << QStringList {"address:", "modulation:", "frequencyMin:"}
                              << QStringList {"AT+ID=?", "AT+FW=?", "AT+ADDR=?", "AT+RCONF=?"};
        QTest::newRow("RIX") << QStringList {"--module", "RIX"} << QStringList {"address:", "power:"}
                             << QStringList {"AT+ID=?", "AT+FW=?", "AT+ADDR=?", "AT+RCONF=?"};
        QTest::newRow("TREKON") << kAsleepKit << QStringList {"loraStackIntegrated: true"}
                                << QStringList {"AT+ID=?", "AT+FW=?"};
    }

    void infoPrintsTheIdentityOfEachVariant()
    {
        QFETCH(QStringList, simulator);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, reads);
        const QString module = simulator.at(1);
        SimulatorProcess sim(simulator);
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        const QString log = m_home->filePath("device.log");
        const Run run
            = runCli({"info", "--module", module, "--port", sim.portPath(), "--log", log}, m_home->path());
        QCOMPARE(run.status, 0);
        // Only the sleeping kit asks for its button.
        QCOMPARE(run.err.contains("Press the wake-up button"), module == "TREKON");
        QVERIFY(run.out.contains("module: " + module + "\n"));
        for (const QString& key : keys)
            QVERIFY2(run.out.contains(key), qPrintable(run.out));
        const QStringList requests = requestsOf(sim);
        for (const QString& read : reads)
            QVERIFY2(requests.contains(read), qPrintable(read));
        // The identity printed is the one the module answered.
        QCOMPARE(answersOf(sim, "ID").size(), 1);
        QVERIFY(run.out.contains("id: " + answersOf(sim, "ID").constFirst() + "\n"));
        QVERIFY(run.out.contains("firmwareVersion: " + answersOf(sim, "FW").constFirst() + "\n"));

        // The device log has the log pane's lines, requests and answers alike.
        const QStringList logLines = readFile(log).split('\n', Qt::SkipEmptyParts);
        QVERIFY(logLines.contains(QRegularExpression(R"(^\[\d\d:\d\d:\d\d:\d{3}\] \[APP\] AT\+ID=\?$)")));
        QVERIFY(logLines.contains(QRegularExpression(R"(^\[\d\d:\d\d:\d\d:\d{3}\] \[(TAV|TRK)\] \+ID=.+$)")));

        // The recorded session, replayed without the module, prints the same.
        SimulatorProcess replay({"--replay", log});
        QVERIFY2(replay.start(), qPrintable(replay.errorString()));
        const Run again = runCli({"info", "--module", module, "--port", replay.portPath()}, m_home->path());
        QCOMPARE(again.status, 0);
        // Only the device differs.
        QCOMPARE(QString(again.out).replace(replay.portPath(), "<port>"), QString(run.out).replace(sim.portPath(), "<port>"));
        QCOMPARE(withoutDates(requestsOf(replay).join(QLatin1Char('\n'))), withoutDates(requests.join(QLatin1Char('\n'))));
    }

    void getConfigJsonHoldsWhatTheModuleAnswered_data()
    {
        QTest::addColumn<QStringList>("simulator");
        QTest::newRow("TAV1") << QStringList {"--module", "TAV1"};
        QTest::newRow("TAV2") << QStringList {"--module", "TAV2"};
        QTest::newRow("RIX") << QStringList {"--module", "RIX"};
        QTest::newRow("TREKON") << kAsleepKit;
    }

    void getConfigJsonHoldsWhatTheModuleAnswered()
    {
        QFETCH(QStringList, simulator);
        const QString module = simulator.at(1);
        SimulatorProcess sim(simulator);
        QVERIFY(sim.start());
        const Run run
            = runCli({"get-config", "--json", "--module", module, "--port", sim.portPath()}, m_home->path());
        QCOMPARE(run.status, 0);
        QJsonParseError error;
        const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);

        const QJsonObject identity = root.value("identity").toObject();
        QCOMPARE(identity.value("module").toString(), module);
        QCOMPARE(identity.value("id").toString(), answersOf(sim, "ID").value(0));
        // Every read the tool sent is one the module knows.
        QVERIFY2(answersOf(sim, "ERROR").isEmpty(), qPrintable(requestsOf(sim).join(' ')));

        const QJsonObject configuration = root.value("configuration").toObject();
        if (module == "TAV1") {
            QCOMPARE(identity.value("serialNumber").toString(), answersOf(sim, "SN").value(0));
            QCOMPARE(identity.value("txPower").toInt(), answersOf(sim, "PWR").value(0).toInt());
            QVERIFY(!root.contains("orbitData"));
            QVERIFY(!configuration.contains("prepass"));
            return;
        }
        const QStringList position = answersOf(sim, "POS").value(0).split(',');
        QCOMPARE(position.size(), 2);
        const QJsonObject prepass = configuration.value("prepass").toObject();
        QCOMPARE(prepass.value("latitude").toDouble(), position.at(0).toDouble());
        QCOMPARE(prepass.value("longitude").toDouble(), position.at(1).toDouble());
        const QStringList prediction = answersOf(sim, "PREPASS_CFG").value(0).split(',');
        QCOMPARE(prediction.size(), 10);
        QCOMPARE(prepass.value("minElevation").toDouble(), prediction.at(4).toDouble());

        QStringList reportedIds;
        for (const QString& aop : answersOf(sim, "AOP")) {
            if (aop != "end")
                reportedIds << aop.section(',', 0, 0);
        }
        QVERIFY(!reportedIds.isEmpty());
        QStringList printedIds;
        const QJsonArray satellites = root.value("orbitData").toObject().value("satellites").toArray();
        for (const QJsonValue& satellite : satellites)
            printedIds << satellite.toObject().value("id").toString();
        QCOMPARE(printedIds, reportedIds);
        const QString firstAop = answersOf(sim, "AOP").value(0);
        QCOMPARE(satellites.at(0).toObject().value("semiMajorAxis").toDouble(),
            firstAop.section(',', 2, 2).toDouble());

        if (module == "TREKON") {
            const QJsonObject lora = configuration.value("lora").toObject();
            const auto hex = [](QString text) { return text.remove(QRegularExpression("[^0-9A-Fa-f]")); };
            QCOMPARE(hex(lora.value("devEui").toString()).toUpper(),
                hex(answersOf(sim, "LORA_DEUI").value(0)).toUpper());
            QCOMPARE(configuration.value("sensors").toObject().value("acquisitionPeriod").toInt(),
                answersOf(sim, "PACQ").value(0).toInt());
        } else {
            QVERIFY(!configuration.contains("lora"));
        }
    }

    void getConfigTextShowsTheIdentityFirst_data()
    {
        QTest::addColumn<QStringList>("simulator");
        QTest::newRow("TAV1") << QStringList {"--module", "TAV1"};
        QTest::newRow("TREKON") << kAsleepKit;
    }

    void getConfigTextShowsTheIdentityFirst()
    {
        QFETCH(QStringList, simulator);
        const QString module = simulator.at(1);
        SimulatorProcess sim(simulator);
        QVERIFY(sim.start());
        const Run run = runCli({"get-config", "--module", module, "--port", sim.portPath()}, m_home->path());
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith("identity:\n  "));
        QVERIFY(run.out.contains("\nconfiguration:\n  "));
        QCOMPARE(run.out.contains("\norbitData:\n"), module != "TAV1");
    }

    void exportThenImportRestoresTheKitAndWaitsForItsConfirmation()
    {
        SimulatorProcess source(kAsleepKit);
        QVERIFY(source.start());
        const QString file = m_home->filePath("kit.conf");
        const Run exported = runCli(
            {"export-config", file, "--module", "TREKON", "--port", source.portPath()}, m_home->path());
        QCOMPARE(exported.status, 0);
        QVERIFY(exported.out.contains("Configuration written to " + file));
        // Export writes the file, not the kit: only reads went out.
        QVERIFY(requestsOf(source).filter(QRegularExpression("=[^?]*$")).isEmpty());
        QStringList lines = readFile(file).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.constLast(), QString("AT+RST="));
        QVERIFY(lines.contains("AT+POS=" + answersOf(source, "POS").value(0)));
        // The kit acquires every sensor and raises no alert: each set is
        // written as the kit keeps it, and the export compares equal to it.
        QCOMPARE(answersOf(source, "PACQ_SENS").value(0), QString("1,1,1,1,1,1,1"));
        QCOMPARE(answersOf(source, "ALRT_SENS").value(0), QString("0,0,0,0,0,0,0"));
        QVERIFY(lines.contains("AT+PACQ_SENS=1,1,1,1,1,1,1"));
        QVERIFY(lines.contains("AT+ALRT_SENS=0,0,0,0,0,0,0"));
        const Run same
            = runOnAwakeKit(source, {"diff-config", file, "--module", "TREKON", "--port", source.portPath()});
        QCOMPARE(same.status, 0);
        QCOMPARE(same.out, QString());

        // A position of our own goes to the second kit with the rest; the
        // prediction settings carry it too.
        const qsizetype position = lines.indexOf(QRegularExpression("^AT\\+POS=.*"));
        const qsizetype prediction = lines.indexOf(QRegularExpression("^AT\\+PREPASS_CFG=.*"));
        QVERIFY(position >= 0);
        QVERIFY(prediction > position);
        lines[position] = "AT+POS=12.5,-3.25";
        lines[prediction] = "AT+PREPASS_CFG=12.5,-3.25," + lines.at(prediction).section(',', 2);
        writeFile(file, lines.join("\r\n").toUtf8() + "\r\n");

        SimulatorProcess target(kAsleepKit);
        QVERIFY(target.start());
        const QString log = m_home->filePath("import.log");
        const Run imported
            = runCli({"import-config", file, "--module", "TREKON", "--port", target.portPath(), "--log", log},
                m_home->path());
        QCOMPARE(imported.status, 0);
        QVERIFY(imported.out.contains("Waiting for the evaluation kit to restore its parameters..."));
        QVERIFY(imported.out.endsWith("Configuration uploaded.\n"));

        // The upload is the file, line for line, after the reads of the connection.
        const QStringList requests = requestsOf(target);
        const qsizetype first = requests.indexOf(lines.constFirst());
        QVERIFY(first > 0);
        QCOMPARE(withoutDates(requests.mid(first).join('\n')), withoutDates(lines.join('\n')));
        // The tool ended only after the kit confirmed, which comes after the reset.
        const QStringList entries = target.transcriptEntries();
        const qsizetype reset = entries.indexOf("< AT+RST=");
        const qsizetype restored = entries.indexOf("> TREKON -- PARAMETERS RESTORED");
        QVERIFY(reset >= 0);
        QVERIFY(restored > reset);
        const QString logText = readFile(log);
        QVERIFY(logText.contains("] [TRK] TREKON -- PARAMETERS RESTORED\n"));
        QVERIFY(
            logText.indexOf("[APP] Config uploaded successfully!") > logText.indexOf("PARAMETERS RESTORED"));
    }

    void importRefusesAnUnparseableLineAndNamesIt()
    {
        SimulatorProcess sim(kAsleepKit);
        QVERIFY(sim.start());
        const QString file = m_home->filePath("broken.conf");
        writeFile(file, "AT+PACQ=30\r\n\r\nAT+POS=north,south\r\nAT+RST=\r\n");
        const Run run
            = runCli({"import-config", file, "--module", "TREKON", "--port", sim.portPath()}, m_home->path());
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err.section('\n', -2, -2),
            "tavcli: " + file + ":3: Unable to parse configuration entry: AT+POS=north,south");
        // Nothing of the file reached the kit.
        const QStringList requests = requestsOf(sim);
        QVERIFY(!requests.contains("AT+PACQ=30"));
        QVERIFY(!requests.contains("AT+RST="));
    }

    // A kit that holds another position shows it, takes the file and then
    // holds it; one that keeps its own position is named by the read-back.
    void diffThenUploadAndVerify_data()
    {
        QTest::addColumn<bool>("refusesPosition");
        QTest::newRow("takes the file") << false;
        QTest::newRow("keeps its position") << true;
    }

    void diffThenUploadAndVerify()
    {
        QFETCH(bool, refusesPosition);
        const QString file = exportMovedKit();
        SimulatorProcess sim(kAsleepKit);
        QVERIFY(sim.start());
        const QStringList port {"--module", "TREKON", "--port", sim.portPath()};
        const Run before = runCli(QStringList {"diff-config", file} + port, m_home->path());
        QCOMPARE(before.status, 1);
        const QString position = answersOf(sim, "POS").value(0);
        QVERIFY2(before.out.endsWith("Beacon latitude: module " + position.section(',', 0, 0) + ", file 12.5\n"
                     + "Beacon longitude: module " + position.section(',', 1) + ", file -3.25\n"),
            qPrintable(before.out));

        if (refusesPosition)
            QVERIFY(sim.sendControl("ignore POS"));
        const Run upload = runOnAwakeKit(sim, QStringList {"import-config", file, "--verify"} + port);
        const Run after = runOnAwakeKit(sim, QStringList {"diff-config", file} + port);
        if (refusesPosition) {
            QCOMPARE(upload.status, 1);
            QCOMPARE(upload.err.section('\n', -2, -2),
                "tavcli: Configuration uploaded, but 2 fields differ: Beacon latitude, Beacon longitude");
            QCOMPARE(after.status, 1);
        } else {
            QCOMPARE(upload.status, 0);
            QVERIFY(upload.out.endsWith("Configuration uploaded.\nConfiguration verified.\n"));
            QCOMPARE(after.status, 0);
            QCOMPARE(after.out, QString());
        }
        // The read-back came after the kit restored its parameters.
        const QStringList entries = sim.transcriptEntries();
        QVERIFY(entries.lastIndexOf("< AT+POS=?") > entries.indexOf("> TREKON -- PARAMETERS RESTORED"));
    }

    // Four kits side by side; the third is unplugged while it takes the file.
    void provisionFourKitsWithOneUnplugged()
    {
        const QString file = exportMovedKit();
        std::vector<std::unique_ptr<SimulatorProcess>> sims;
        QStringList ports;
        for (int i = 0; i < 4; ++i) {
            sims.push_back(std::make_unique<SimulatorProcess>(
                kAsleepKit + QStringList {"--latency", i == 2 ? "40" : "5"}));
            QVERIFY(sims.back()->start());
            ports << sims.back()->portPath();
        }
        const QString report = m_home->filePath("report.jsonl");
        CliProcess cli(m_home->path(),
            {"provision", file, "--module", "TREKON", "--ports", ports.join(','), "--report", report});
        SimulatorProcess& third = *sims.at(2);
        QTRY_VERIFY_WITH_TIMEOUT(requestsOf(third).contains("AT+POS=12.5,-3.25"), 20000);
        QVERIFY(third.sendControl("hangup stay"));
        const Run run = cli.finish(60000);
        QCOMPARE(run.status, 1);
        // Each kit asked for its button, then ended.
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.filter(": press the wake-up button").size(), 4);
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines.constLast(), QString("4 modules: 3 verified, 1 failed"));
        QCOMPARE(lines.filter(ports.at(2) + ": failed").size(), 1);

        const QStringList entries = readFile(report).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(entries.size(), 4);
        for (const QString& entry : entries) {
            const QJsonObject o = QJsonDocument::fromJson(entry.toUtf8()).object();
            const bool unplugged = o.value("port").toString() == ports.at(2);
            QCOMPARE(o.value("result").toString(), QString(unplugged ? "failed" : "verified"));
            QVERIFY(o.value("differencesFound").toInt() >= 2);
            QCOMPARE(o.value("differencesLeft").toInt(), unplugged ? -1 : 0);
            QVERIFY(!o.value("identifier").toString().isEmpty());
            QVERIFY(o.value("seconds").toDouble() > 0);
            QCOMPARE(o.contains("error"), unplugged);
        }
    }

    // One kit at a time: the first is done, the second never wakes up.
    void provisionStopsOnCtrlCAndReportsWhatWasDone()
    {
        const QString file = exportMovedKit();
        SimulatorProcess awake(kAsleepKit);
        SimulatorProcess asleep({"--module", "TREKON", "--asleep"});
        SimulatorProcess last(kAsleepKit);
        QVERIFY(awake.start() && asleep.start() && last.start());
        const QString report = m_home->filePath("report.jsonl");
        CliProcess cli(m_home->path(),
            {"provision", file, "--module", "TREKON", "--jobs", "1", "--report", report, "--ports",
                awake.portPath() + "," + asleep.portPath() + "," + last.portPath()});
        QVERIFY(cli.waitForOutput(awake.portPath() + ": verified"));
        QVERIFY(cli.waitForOutput(asleep.portPath() + ": press the wake-up button"));
        cli.interrupt();
        const Run run = cli.finish(15000);
        QCOMPARE(run.status, 130);
        QVERIFY(run.err.endsWith("tavcli: interrupted\n"));
        QStringList results;
        for (const QString& entry : readFile(report).split('\n', Qt::SkipEmptyParts))
            results << QJsonDocument::fromJson(entry.toUtf8()).object().value("result").toString();
        QCOMPARE(results, (QStringList {"verified", "not started", "interrupted"}));
        QVERIFY(requestsOf(last).isEmpty());
    }

    // Killed outright, the tool takes its per-port children with it: none
    // is left holding the port, to upload later with nothing recorded.
    void provisionChildrenDieWithTheTool()
    {
        const QString file = exportMovedKit();
        SimulatorProcess asleep({"--module", "TREKON", "--asleep"});
        QVERIFY(asleep.start());
        CliProcess cli(m_home->path(), {"provision", file, "--module", "TREKON", "--ports", asleep.portPath()});
        QVERIFY(cli.waitForOutput(asleep.portPath() + ": press the wake-up button"));
        const QString pid = QString::number(cli.processId());
        const QStringList children = readFile("/proc/" + pid + "/task/" + pid + "/children").split(' ', Qt::SkipEmptyParts);
        QCOMPARE(children.size(), 1);
        cli.kill();
        // Gone, or a zombie no one has reaped yet.
        const auto ended = [&children]() {
            const QString stat = readFile("/proc/" + children.first() + "/stat");
            return stat.isEmpty() || stat.section(") ", 1).startsWith('Z');
        };
        QTRY_VERIFY_WITH_TIMEOUT(ended(), 5000);
    }

    void aopDownloadPrintsTheServiceDocument()
    {
        FakeOrbitServer server;
        server.body = orbitDocument();
        QVERIFY(server.listen(QHostAddress::LocalHost));
        setOrbitUrl(
            QString("http://127.0.0.1:%1/uda/resources/allcast?application=test").arg(server.serverPort()));

        const Run run = runCli({"aop-download"}, m_home->path());
        QCOMPARE(run.status, 0);
        QCOMPARE(server.requestCount, 1);
        QVERIFY(server.requestLine.startsWith("GET /uda/resources/allcast?application=test "));
        QVERIFY(run.out.startsWith("creationDate: 2026-01-09T08:30:00Z\n"));
        QCOMPARE(run.out.count("\n- "), 7);
        QVERIFY(run.out.contains("  name: SAT-C\n"));
        QVERIFY(run.out.contains("  id: 5\n"));
        QVERIFY(run.out.contains("  semiMajorAxis: 7102.5\n"));
    }

    void aopUploadSendsTheServiceDataToTheModule_data()
    {
        QTest::addColumn<QStringList>("simulator");
        QTest::newRow("RIX") << QStringList {"--module", "RIX"};
        QTest::newRow("TAV2") << QStringList {"--module", "TAV2"};
        QTest::newRow("TREKON") << kAsleepKit;
    }

    void aopUploadSendsTheServiceDataToTheModule()
    {
        QFETCH(QStringList, simulator);
        const QString module = simulator.at(1);
        FakeOrbitServer server;
        server.body = orbitDocument();
        QVERIFY(server.listen(QHostAddress::LocalHost));
        setOrbitUrl(QString("http://127.0.0.1:%1/allcast").arg(server.serverPort()));
        SimulatorProcess sim(simulator);
        QVERIFY(sim.start());

        const Run run = runCli({"aop-upload", "--module", module, "--port", sim.portPath()}, m_home->path());
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains("Orbit data uploaded.\n"));
        QCOMPARE(server.requestCount, 1);
        const QStringList requests = requestsOf(sim);
        // The module's list is read before the service's data is written.
        QVERIFY(requests.indexOf("AT+AOP=?") >= 0);
        QVERIFY(requests.indexOf("AT+AOP=?") < requests.indexOf(QRegularExpression("^AT\\+AOP=A,.*")));
        QVERIFY(requests.contains("AT+AOP=C,2026-01-03T10:00:00Z,7102.5,98.5,30,-25.5,100.25,-0.25"));
        // D is out of service: it gets A's orbit under its own identifier.
        QVERIFY(requests.contains("AT+AOP=D,2026-01-01T10:00:00Z,7100.5,98.5,10,-25.5,100.25,-0.25"));
        QCOMPARE(requests.filter(QRegularExpression("^AT\\+AOP=[^?]")).size(), 7);
        if (module == "TREKON") {
            QVERIFY(requests.filter(QRegularExpression("^AT\\+SAT=")).isEmpty());
        } else {
            // Downlink, then uplink status numbers.
            QVERIFY(requests.contains("AT+SAT=A,1,2"));
            QVERIFY(requests.contains("AT+SAT=B,3,2"));
            QVERIFY(requests.contains("AT+SAT=D,3,3"));
            QVERIFY(answersOf(sim, "ERROR").isEmpty());
        }
    }

    // Predicted from the downloaded document, printed as the pass-list
    // import reads it; stale orbit data only warn.
    void passesPredictsFromTheDownloadedDocument_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<double>("periodOfB");
        QTest::newRow("fresh") << "2026-01-10T00:00:00" << false << QString() << 100.25;
        QTest::newRow("all") << "2026-01-10T00:00:00" << true << QString() << 100.25;
        QTest::newRow("stale") << "2026-01-25T12:00:00" << false
                               << "tavcli: Orbit data of SAT-A are 24 days old: passes may be off by minutes\n"
                               << 100.25;
        // A satellite refused only warns: the others' passes stand.
        QTest::newRow("refused") << "2026-01-10T00:00:00" << false
                                 << "tavcli: Orbit data of SAT-B refused: a period of 0.001 min does not fit a "
                                    "semi-major axis of 7101.5 km (about 99.3 min)\n"
                                 << 0.001;
    }

    void passesPredictsFromTheDownloadedDocument()
    {
        QFETCH(QString, start);
        QFETCH(bool, all);
        QFETCH(QString, warning);
        QFETCH(double, periodOfB);
        FakeOrbitServer server;
        server.body = orbitDocument(periodOfB);
        QVERIFY(server.listen(QHostAddress::LocalHost));
        setOrbitUrl(QString("http://127.0.0.1:%1/allcast").arg(server.serverPort()));
        QStringList arguments {"passes", "--download", "--lat", "43.6", "--lon", "1.4", "--start", start,
            "--hours", "12", "--format", "csv"};
        if (all)
            arguments << "--all";

        const Run run = runCli(arguments, m_home->path());
        QCOMPARE(run.status, 0);
        QCOMPARE(server.requestCount, 1);
        QVERIFY(warning.isEmpty() ? run.err.isEmpty() : run.err.startsWith(warning));
        QVERIFY(run.out.startsWith(PrepassCsv::HEADER + "\n"));
        const QDateTime from = PrepassCsv::parseDate(start);
        const PrepassCsv::Result read = PrepassCsv::parse(run.out, from);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.passes.size() + 1, run.out.count('\n'));
        QCOMPARE(read.expired, 0);
        QSet<QString> satellites;
        for (const Prepass& pass : read.passes) {
            satellites << pass.satellite();
            QVERIFY(pass.start() < from.addSecs(12 * 3600) && pass.end() > from);
            QVERIFY(pass.elevation() >= 5.0);
        }
        QCOMPARE(satellites.size(), (all ? 7 : 6) - (periodOfB < 1 ? 1 : 0));
        QCOMPARE(satellites.contains("SAT-D"), all);
        QCOMPARE(satellites.contains("SAT-B"), periodOfB > 1);
        // The same document read offline, with decimal commas, gives the
        // same passes; --quiet leaves the warnings out.
        const QString file = m_home->filePath("aop.json");
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::WriteOnly));
        saved.write(orbitDocument(periodOfB));
        saved.close();
        arguments.replace(arguments.indexOf("--download"), "--aop");
        arguments.insert(2, file);
        arguments.replace(arguments.indexOf("43.6"), "43,6");
        arguments.replace(arguments.indexOf("12"), "12,0");
        const Run quiet = runCli(arguments + QStringList {"--quiet"}, m_home->path());
        QCOMPARE(quiet.out, run.out);
        QCOMPARE(quiet.err, QString());
    }

    void orbitDataNetworkFailure()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        setOrbitUrl(QString("http://127.0.0.1:%1/allcast").arg(port));
        const QString message = "tavcli: Unable to fetch last AOP data from server. Check your internet "
                                "access. (ConnectionRefusedError)\n"
                                "  The orbit-data service URL is set with the "
                                "Prepass/aopWebRequestUrl key of config.ini.\n";

        const Run download = runCli({"aop-download"}, m_home->path());
        QCOMPARE(download.status, 1);
        QCOMPARE(download.err, message);
        QVERIFY(download.out.isEmpty());

        SimulatorProcess sim({"--module", "TAV2"});
        QVERIFY(sim.start());
        const Run upload
            = runCli({"aop-upload", "--module", "TAV2", "--port", sim.portPath()}, m_home->path());
        QCOMPARE(upload.status, 1);
        QCOMPARE(upload.err, message);
        QVERIFY(requestsOf(sim).filter(QRegularExpression("^AT\\+(AOP|SAT)=[^?]")).isEmpty());
    }

    void atPrintsTheAnswerOrFailsWithTheErrorText()
    {
        SimulatorProcess sim({"--module", "RIX"});
        QVERIFY(sim.start());
        const QStringList common {"--module", "RIX", "--port", sim.portPath()};
        const Run ok = runCli(QStringList {"at", "AT+ID=?"} + common, m_home->path());
        QCOMPARE(ok.status, 0);
        QCOMPARE(ok.out, "+ID=" + answersOf(sim, "ID").constLast() + "\n");

        // A list is printed to its end marker.
        const Run list = runCli(QStringList {"at", "AT+SAT=?"} + common, m_home->path());
        QCOMPARE(list.status, 0);
        const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), answersOf(sim, "SAT").size());
        QCOMPARE(lines.constLast(), QString("+SAT=end"));

        const Run unknown = runCli(QStringList {"at", "AT+FOO=?"} + common, m_home->path());
        QCOMPARE(unknown.status, 1);
        QCOMPARE(unknown.out, QString("+ERROR=6\n"));
        QCOMPARE(unknown.err, "tavcli: " + AtCmdHandler::errorToStr(6) + "\n");

        QVERIFY(sim.sendControl("error FW 3"));
        const Run refused = runCli(QStringList {"at", "AT+FW=?"} + common, m_home->path());
        QCOMPARE(refused.status, 1);
        QCOMPARE(refused.err, "tavcli: " + AtCmdHandler::errorToStr(3) + "\n");
        // The same error answer fails an identity read.
        const Run info = runCli(QStringList {"info"} + common, m_home->path());
        QCOMPARE(info.status, 1);
        QCOMPARE(info.err, "tavcli: " + AtCmdHandler::errorToStr(3) + "\n");
        QVERIFY(requestsOf(sim).contains("AT+FOO=?"));
    }

    void floodOfUnsolicitedLinesLosesNoAnswer()
    {
        SimulatorProcess sim({"--module", "TAV2"});
        QVERIFY(sim.start());
        QVERIFY(sim.sendControl("flood 300"));
        const QStringList common {"--module", "TAV2", "--port", sim.portPath()};
        const Run at = runCli(QStringList {"at", "AT+RCONF=?"} + common, m_home->path());
        QCOMPARE(at.status, 0);
        QCOMPARE(at.out, "+RCONF=" + answersOf(sim, "RCONF").constLast() + "\n");
        const Run info = runCli(QStringList {"info"} + common, m_home->path());
        QCOMPARE(info.status, 0);
        QVERIFY2(info.out.contains(answersOf(sim, "ID").constLast()), qPrintable(info.out));
    }

    // A list whose entries drip in forever would hold the tool for sixteen
    // timeouts; a stop, or a closed terminal, ends it at once.
    void signalEndsAListThatNeverEnds_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl-C") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("closed terminal") << SIGHUP;
    }

    void signalEndsAListThatNeverEnds()
    {
        QFETCH(int, signal);
        SimulatorProcess sim({"--module", "RIX"});
        QVERIFY(sim.start());
        QVERIFY(sim.sendControl("mute SAT"));
        CliProcess cli(m_home->path(), {"at", "AT+SAT=?", "--module", "RIX", "--port", sim.portPath()});
        QTRY_VERIFY_WITH_TIMEOUT(requestsOf(sim).contains("AT+SAT=?"), 10000);
        QTimer drip;
        QObject::connect(&drip, &QTimer::timeout, [&sim]() { sim.sendControl("send +SAT=A,1,1,1"); });
        drip.start(200);
        QTest::qWait(600);
        cli.interrupt(signal);
        const Run run = cli.finish(5000);
        QCOMPARE(run.status, 130);
        QVERIFY2(run.err.endsWith("tavcli: interrupted\n"), qPrintable(run.err));
    }

    void nextPassSucceedsWithoutAnOrbitServer()
    {
        SimulatorProcess sim({"--module", "TAV2", "--pass-duration", "300"});
        QVERIFY(sim.start());
        const Run run = runCli({"next-pass", "--module", "TAV2", "--port", sim.portPath()}, m_home->path());
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains("durationSeconds: 300\n"), qPrintable(run.out + run.err));
        QVERIFY(run.out.contains("start: "));
        const QStringList requests = requestsOf(sim);
        QVERIFY(requests.indexOf("AT+AOP=?") < requests.indexOf("AT+NEXTPASS=?"));
        const Run json
            = runCli({"next-pass", "--json", "--module", "TAV2", "--port", sim.portPath()}, m_home->path());
        QCOMPARE(json.status, 0);
        QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8()).object().value("durationSeconds").toInt(), 300);
    }

    void txRunsThePeriodicSequenceWithItsOptions_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("repeat");
        QTest::newRow("mail, twice") << QStringList {"--mail", "--repeat", "2"} << 22 << ",0x1" << 2;
        QTest::newRow("ack") << QStringList {"--ack"} << 22 << ",0x4" << 1;
        QTest::newRow("plain") << QStringList {} << 24 << "" << 1;
    }

    void txRunsThePeriodicSequenceWithItsOptions()
    {
        QFETCH(QStringList, options);
        QFETCH(int, bytes);
        QFETCH(QString, suffix);
        QFETCH(int, repeat);
        writePeriodicSettings(2, 1);
        SimulatorProcess sim({"--module", "TAV2", "--tx-delay", "50"});
        QVERIFY(sim.start());
        const QString message = payload(bytes, 'A');
        const Run run
            = runCli(QStringList {"tx", message, "--module", "TAV2", "--port", sim.portPath()} + options,
                m_home->path());
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        QCOMPARE(run.out.count("successfully transmitted"), 2 * repeat);
        QVERIFY(run.out.contains(QString("--- Tx SEQUENCE COMPLETE (%1/%1) ---").arg(repeat)));
        QVERIFY(run.out.contains("next transmission in "));

        const QStringList sent = requestsOf(sim).filter(QRegularExpression("^AT\\+(TX|ATXRP)="));
        QStringList expected;
        for (int i = 0; i < 2 * repeat; ++i)
            expected << "AT+ATXRP=0"
                     << "AT+TX=" + message + suffix;
        QCOMPARE(sent, expected);
    }

    // Only what the module did: a refused Tx fails the command, and a
    // payload the module cannot carry never reaches the wire.
    void txSaysWhatFailed_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("txSent");
        QTest::newRow("refused") << payload(24, 'A') << 1 << "tavcli: 2 of 2 transmissions failed\n" << 2;
        QTest::newRow("odd") << "123" << 2 << "tavcli: payload 123: odd number of hex digits (3)\n" << 0;
        QTest::newRow("too long") << payload(25, 'B') << 2
                                  << "tavcli: payload " + payload(25, 'B')
                + ": 25 bytes: LDA2 carries 24 bytes, 22 with Ack or downlink\n"
                                  << 0;
    }

    void txSaysWhatFailed()
    {
        QFETCH(QString, message);
        QFETCH(int, status);
        QFETCH(QString, err);
        QFETCH(int, txSent);
        SimulatorProcess sim({"--module", "TAV2", "--tx-delay", "50"});
        QVERIFY(sim.start());
        QVERIFY(sim.sendControl("txfail 3"));
        const Run run = runCli({"tx", message, "--redundancy", "2", "--delay", "0", "--period", "0", "--module",
                                   "TAV2", "--port", sim.portPath()},
            m_home->path());
        QCOMPARE(run.status, status);
        QCOMPARE(run.err, err);
        QCOMPARE(requestsOf(sim).filter(QRegularExpression("^AT\\+TX=")).size(), txSent);
        QVERIFY(!run.out.contains("COMPLETE"));
        QVERIFY(!run.out.contains("successfully transmitted"));
        if (txSent > 0) {
            QCOMPARE(run.out.count("A Tx error occured (3)"), 2);
            QVERIFY(run.out.contains("--- Tx SEQUENCE ENDED (1/1): 2 of 2 transmissions failed ---"));
        }
    }

    // The report says what the module answered, one line per Tx: refused
    // (+TX=<status>), unanswered, or sent.
    void txReportAgreesWithTheModule_data()
    {
        QTest::addColumn<QStringList>("simulator");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("format");
        QTest::newRow("TAV2 jsonl") << QStringList {"--module", "TAV2"}
                                    << QStringList {"--redundancy", "3", "--delay", "0", "--period", "0"} << "jsonl";
        QTest::newRow("TAV2 csv") << QStringList {"--module", "TAV2"}
                                 << QStringList {"--redundancy", "3", "--delay", "0", "--period", "0"} << "csv";
    }

    void txReportAgreesWithTheModule()
    {
        QFETCH(QStringList, simulator);
        QFETCH(QStringList, options);
        QFETCH(QString, format);
        SimulatorProcess sim(simulator + QStringList {"--tx-delay", "50"});
        QVERIFY(sim.start());
        QVERIFY(sim.sendControl("txfail-every 3 9"));
        QVERIFY(sim.sendControl("txdrop-every 5"));
        const QString report = m_home->filePath("report-" + format);
        const QStringList messages {payload(24, 'A'), payload(24, 'B')};
        const Run run = runCli(QStringList {"tx"} + messages + options
                + QStringList {"--report", report, "--report-format", format, "--module", simulator.at(1), "--port",
                    sim.portPath()},
            m_home->path());

        // What the wire says of each Tx: the answer before the next request.
        QStringList wire;
        for (const QString& entry : sim.transcriptEntries()) {
            if (entry.startsWith("< AT+TX="))
                wire << "no answer";
            else if (entry.startsWith("> +TX=") && !wire.isEmpty())
                wire.last() = entry.startsWith("> +TX=0,") ? "sent" : "failed " + entry.section('=', 1).section(',', 0, 0);
        }
        QCOMPARE(wire.size(), 6);
        QCOMPARE(wire.count("sent"), 3);

        QFile file(report);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        if (format == "csv")
            QCOMPARE(lines.takeFirst(), QByteArray("time,payload,message,attempt,round,profile,result,error,resultTime,pass,inView\r"));
        QCOMPARE(lines.size(), wire.size());
        for (int i = 0; i < lines.size(); ++i) {
            QString result;
            QString message;
            if (format == "csv") {
                const QList<QByteArray> fields = lines.at(i).split(',');
                QCOMPARE(fields.size(), 11);
                message = fields.at(2);
                result = fields.at(6) + (fields.at(6) == "failed" ? " " + fields.at(7).split(':').constFirst() : "");
            } else {
                const QJsonObject o = QJsonDocument::fromJson(lines.at(i)).object();
                QCOMPARE(o.keys(), (QStringList {"attempt", "error", "inView", "message", "pass", "payload", "profile",
                                       "result", "resultTime", "round", "time"}));
                message = o.value("message").toString();
                result = o.value("result").toString();
                if (result == "failed") {
                    result += " " + QString::number(o.value("error").toObject().value("code").toInt());
                    QCOMPARE(o.value("error").toObject().value("text").toString(), AtCmdHandler::errorToStr(9));
                }
            }
            QCOMPARE(result, wire.at(i));
            QCOMPARE(message, messages.at(i / 3));
        }
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, QString("tavcli: 3 of 6 transmissions failed\n"));
        QVERIFY2(run.out.endsWith("3 of 6 transmissions failed (" + AtCmdHandler::errorToStr(9)
                     + " ×2, No Tx result from the module ×1)\n"),
            qPrintable(run.out));
    }

    // Each record reaches the file as its Tx ends: a killed run keeps them all.
    void txReportSurvivesAKill()
    {
        SimulatorProcess sim({"--module", "TAV2", "--tx-delay", "50"});
        QVERIFY(sim.start());
        const QString report = m_home->filePath("killed.jsonl");
        CliProcess cli(m_home->path(),
            {"tx", payload(24, 'C'), "--redundancy", "50", "--delay", "0", "--period", "0", "--report", report,
                "--module", "TAV2", "--port", sim.portPath()});
        QTRY_VERIFY_WITH_TIMEOUT(sim.transcriptEntries().filter("> +TX=0,").size() >= 4, 15000);
        cli.kill();
        QTest::qWait(300);
        const int answered = int(sim.transcriptEntries().filter("> +TX=0,").size());
        QFile file(report);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        // The last answer may have come as the process died.
        QVERIFY2(lines.size() == answered || lines.size() == answered - 1,
            qPrintable(QString("%1 lines, %2 answers").arg(lines.size()).arg(answered)));
        for (const QByteArray& line : lines)
            QCOMPARE(QJsonDocument::fromJson(line).object().value("result").toString(), QString("sent"));
    }

    void txOnTheModulesPredictionSendsDuringThePass_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QStringList>("sequence");
        const QString message = payload(22, 'B');
        QTest::newRow("TAV2") << "TAV2"
                              << QStringList {"AT+TXFIFO=", "AT+NEXTPASS=3,3", "AT+ATXRP=10,60000",
                                     "AT+TXDATA=" + message + ",0x4"};
        // The kit holds the message for the pass it predicted.
        QTest::newRow("TREKON") << "TREKON" << QStringList {"AT+NEXTPASS=3,3", "AT+TX=" + message};
    }

    void txOnTheModulesPredictionSendsDuringThePass()
    {
        QFETCH(QString, module);
        QFETCH(QStringList, sequence);
        QStringList simArgs {"--module", module, "--tx-delay", "50", "--pass-in", "1", "--pass-duration", "1"};
        if (module == "TREKON")
            simArgs << "--asleep" << "--auto-wake" << "50";
        SimulatorProcess sim(simArgs);
        QVERIFY(sim.start());
        const QString message = payload(22, 'B');
        const Run run = runCli({"tx", message, "--profile", "prepass-on-module", "--ack", "--important",
                                   "--module", module, "--port", sim.portPath()},
            m_home->path());
        QCOMPARE(run.status, 0);
        // The whole redundancy counts once the pass has begun: the result came during it.
        QVERIFY2(run.out.contains("successfully transmitted! (10/10)"), qPrintable(run.out));
        const QStringList requests = requestsOf(sim);
        const qsizetype first = requests.indexOf(sequence.constFirst());
        QVERIFY(first > 0);
        QCOMPARE(requests.mid(first, sequence.size()), sequence);
    }

    void txOnImportedPassesWaitsForThePassAndStopsOnCtrlC()
    {
        const QDateTime start
            = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() + 2, Qt::UTC);
        const QString format = "dd/MM/yyyy HH:mm:ss";
        const QString csv = m_home->filePath("passes.csv");
        writeFile(csv,
            QString("SAT-A;%1;%2;%3;00:10:00;45,0;10,0;90,0;170,0\n")
                .arg(start.toString(format), start.addSecs(300).toString(format),
                    start.addSecs(600).toString(format))
                .toUtf8());
        SimulatorProcess sim({"--module", "RIX", "--tx-delay", "50"});
        QVERIFY(sim.start());
        CliProcess cli(m_home->path(),
            {"tx", payload(24, 'C'), "--profile", "prepass", "--csv", csv, "--module", "RIX", "--port",
                sim.portPath()});
        QVERIFY(cli.waitForOutput("successfully transmitted! (1/4)"));
        // Nothing went out before the pass began.
        QVERIFY(QDateTime::currentDateTimeUtc() >= start);
        cli.interrupt();
        const Run run = cli.finish();
        QCOMPARE(run.status, 130);
        QCOMPARE(run.err, QString("tavcli: interrupted\n"));
        QVERIFY(run.out.contains("--- Tx SEQUENCE STOP/RESET ---"));
        QCOMPARE(requestsOf(sim).filter(QRegularExpression("^AT\\+TX=")).size(), 1);
    }

    void txEndsWhenTheDeviceVanishes()
    {
        SimulatorProcess sim({"--module", "TAV2", "--tx-delay", "50"});
        QVERIFY(sim.start());
        // The window's defaults: a minute between the transmissions of a burst.
        CliProcess cli(m_home->path(),
            {"tx", payload(24, 'D'), "--quiet", "--module", "TAV2", "--port", sim.portPath()});
        QTRY_VERIFY_WITH_TIMEOUT(answersOf(sim, "TX").size() == 1, 10000);
        QVERIFY(sim.sendControl("hangup"));
        const Run run = cli.finish(10000);
        QCOMPARE(run.status, 3);
        QCOMPARE(
            run.err, QString("tavcli: The evaluation kit is not reachable, it may have been unplugged\n"));
        // Quiet: no progress lines.
        QVERIFY(run.out.isEmpty());
    }

    void ctrlCEndsTheWaitForTheWakeUpButton()
    {
        // The kit sleeps and nobody presses its button.
        SimulatorProcess sim({"--module", "TREKON", "--asleep"});
        QVERIFY(sim.start());
        CliProcess cli(m_home->path(), {"get-config", "--module", "TREKON", "--port", sim.portPath()});
        QVERIFY(cli.waitForOutput("Press the wake-up button of the evaluation kit (Ctrl-C cancels)..."));
        cli.interrupt();
        const Run run = cli.finish(5000);
        QCOMPARE(run.status, 130);
        QVERIFY(run.err.endsWith("tavcli: interrupted\n"));
        QVERIFY(run.out.isEmpty());
        // The PING that starts the wait, unseen by the sleeping kit; the
        // simulator, a process of its own, may write it down a moment later.
        QTRY_COMPARE_WITH_TIMEOUT(requestsOf(sim), QStringList {"AT+PING=?"}, 5000);
    }

    void wakeWaitEndsAfterItsTimeoutWithTheHint()
    {
        SimulatorProcess sim({"--module", "TREKON", "--asleep"});
        QVERIFY(sim.start());
        const Run run = runCli(
            {"get-config", "--module", "TREKON", "--port", sim.portPath(), "--wake-timeout", "1"}, m_home->path());
        QCOMPARE(run.status, 4);
        QVERIFY2(run.err.endsWith("tavcli: the evaluation kit was not woken up within 1 s\n  No wake-up yet: the "
                                  "EVK chosen may not be this module's, the port may be another device's, or the "
                                  "kit may have no power. 'tavcli detect --port "
                + sim.portPath() + "' names the module on it.\n"),
            qPrintable(run.err));
    }

    void detectNamesTheVariantWithReadsOnly_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("found");
        // `info --module auto`: its status and the module it connected to.
        QTest::addColumn<int>("autoStatus");
        QTest::newRow("TAV1") << "TAV1" << "TAV1" << 0;
        QTest::newRow("TAV2") << "TAV2" << "TAV2 or RIX" << 2;
        QTest::newRow("RIX") << "RIX" << "TAV2 or RIX" << 2;
        QTest::newRow("TREKON") << "TREKON" << "TREKON" << 0;
    }

    void detectNamesTheVariantWithReadsOnly()
    {
        QFETCH(QString, module);
        QFETCH(QString, found);
        QFETCH(int, autoStatus);
        SimulatorProcess sim({"--module", module});
        QVERIFY(sim.start());
        const Run run = runCli({"detect", "--port", sim.portPath()}, m_home->path());
        QCOMPARE(run.status, 0);
        const QString id = answersOf(sim, "ID").value(0);
        const QString firmware = answersOf(sim, "FW").value(0);
        QCOMPARE(run.out, found + " on " + sim.portPath() + " at 9600 baud: ID " + id + ", firmware " + firmware + "\n");
        const QStringList requests = requestsOf(sim);
        for (const QString& request : requests)
            QVERIFY2(request.endsWith("=?"), qPrintable(request));
        QVERIFY2(requests.size() <= 5, qPrintable(requests.join(' ')));

        const Run json = runCli({"detect", "--json", "--port", sim.portPath()}, m_home->path());
        QCOMPARE(json.status, 0);
        const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(object.value("variant").toString(), found);
        QCOMPARE(object.value("id").toString(), id);
        QCOMPARE(object.value("baud").toInt(), 9600);

        const Run automatic = runCli({"info", "--module", "auto", "--port", sim.portPath()}, m_home->path());
        QCOMPARE(automatic.status, autoStatus);
        if (autoStatus == 0)
            QVERIFY2(automatic.out.contains("module: " + module + "\n"), qPrintable(automatic.out));
        else
            QVERIFY2(automatic.err.endsWith(": choose one with --module TAV2 or --module RIX\n"),
                qPrintable(automatic.err));
    }

    void wrongModuleNamesTheOneFound()
    {
        SimulatorProcess sim({"--module", "TAV1"});
        QVERIFY(sim.start());
        const Run run = runCli({"info", "--module", "TAV2", "--port", sim.portPath()}, m_home->path());
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err, QString("tavcli: This module answers as a TAV1, not a TAV2: choose TAV1 and connect again\n"));
        QVERIFY(run.out.isEmpty());
        // The connection's own reads, then one that confirms the TAV1.
        QCOMPARE(requestsOf(sim).mid(0, 5),
            (QStringList {"AT+PING=?", "AT+ID=?", "AT+FW=?", "AT+ADDR=?", "AT+RCONF=?"}));
        QVERIFY(requestsOf(sim).contains("AT+SN=?"));

        QVERIFY(sim.sendControl("mute on"));
        QElapsedTimer elapsed;
        elapsed.start();
        const Run silent = runCli({"detect", "--port", sim.portPath()}, m_home->path());
        QCOMPARE(silent.status, 4);
        QVERIFY2(silent.err.startsWith("tavcli: no answer at 9600 or 115200 baud on " + sim.portPath() + "\n"),
            qPrintable(silent.err));
        QVERIFY(elapsed.elapsed() < 8000);
    }

    void portsListsTheExtraPorts()
    {
        SimulatorProcess sim({"--module", "TAV2"});
        QVERIFY(sim.start());
        const Run run
            = runCli({"ports"}, m_home->path(), {"TAV_EXTRA_PORTS=/dev/tav-missing:" + sim.portPath()});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.constLast(), sim.portPath());
        QVERIFY(!lines.contains("/dev/tav-missing"));
        const Run without = runCli({"ports"}, m_home->path());
        QVERIFY(!without.out.contains(sim.portPath()));
    }

    // A user outside the group of the device node, for real.
    void permissionDeniedNamesTheGroupAndTheFix()
    {
        if (::geteuid() != 0)
            QSKIP("needs root, to run tavcli as the user nobody and hand the device to the group dialout");
        SimulatorProcess sim({"--module", "TAV2"});
        QVERIFY(sim.start());
        const QByteArray node = QFileInfo(sim.portPath()).canonicalFilePath().toLocal8Bit();
        QCOMPARE(::chown(node.constData(), 0, 20), 0);
        QCOMPARE(::chmod(node.constData(), 0660), 0);
        const Run run = runCli({"--reuid=nobody", "--regid=nogroup", "--clear-groups", TAVCLI_PATH, "info",
                                   "--module", "TAV2", "--port", sim.portPath()},
            m_home->path(), {}, "setpriv");
        QCOMPARE(run.status, 3);
        QCOMPARE(run.err,
            "tavcli: Unable to open port " + sim.portPath() + "\n  Permission denied: " + sim.portPath()
                + " belongs to the group dialout, and you are not in it. Fix: sudo usermod -aG dialout $USER, "
                  "then log out and in again.\n");
        QVERIFY(requestsOf(sim).isEmpty());
    }

    void demoStandsInForTheKit()
    {
        const Run ports = runCli({"ports", "--details", "--demo", "TAV2"}, m_home->path());
        QCOMPARE(ports.status, 0);
        QCOMPARE(ports.out.section('\n', 0, 0), "Demo TAV2 (simulated)\tSimulated TAV2 module");
        const Run info = runCli({"info", "--demo", "TREKON", "--json", "--timeout-scale", "1,5"}, m_home->path());
        QCOMPARE(info.status, 0);
        QCOMPARE(QJsonDocument::fromJson(info.out.toUtf8()).object().value("port").toString(),
            "Demo TREKON (simulated)");
        const Run both = runCli({"info", "--demo", "TAV2", "--module", "RIX"}, m_home->path());
        QCOMPARE(both.status, 2);
        QCOMPARE(both.err, "tavcli: --demo takes the place of --port and --module\n");
    }

    void silentModuleGivesNoAnswerStatus_data()
    {
        QTest::addColumn<QStringList>("controls");
        QTest::addColumn<QString>("noise");
        QTest::newRow("mute") << QStringList {"mute on"} << QString();
        // Lines the module sends of its own accord are no answer.
        QTest::newRow("mute, unsolicited lines") << QStringList {"mute on", "flood 200"} << QString();
        QTest::newRow("mute, random bytes") << QStringList {"mute on"} << "garbage 200";
        QTest::newRow("mute, lines that do not parse") << QStringList {"mute on"} << "send +ID=#!";
    }

    void silentModuleGivesNoAnswerStatus()
    {
        QFETCH(QStringList, controls);
        QFETCH(QString, noise);
        SimulatorProcess sim({"--module", "TAV2"});
        QVERIFY(sim.start());
        for (const QString& control : controls)
            QVERIFY(sim.sendControl(control));
        CliProcess cli(m_home->path(), {"info", "--module", "TAV2", "--port", sim.portPath(), "--timeout-scale", "0.2"});
        Run run;
        for (int i = 0; i < 300 && run.status < 0; ++i) {
            if (!noise.isEmpty())
                QVERIFY(sim.sendControl(noise));
            run = cli.finish(50);
        }
        QCOMPARE(run.status, 4);
        QCOMPARE(run.err, "tavcli: Unable to contact TAV2: no answer on " + sim.portPath() + "\n");
        QVERIFY(run.out.isEmpty());
        QCOMPARE(requestsOf(sim), QStringList {"AT+PING=?"});
    }

    void failuresGiveAStatusAndOneLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("port") << QStringList {"info", "--module", "TAV2", "--port", "/dev/tav-none"} << 3
                              << "tavcli: Unable to open port /dev/tav-none\n  /dev/tav-none is not there (any "
                                 "more): the device may have been unplugged since the list was read. The port "
                                 "list has been refreshed.\n";
        QTest::newRow("no module") << QStringList {"info", "--port", "/dev/tav-none"} << 2
                                   << "tavcli: no module given: use --module TAV1|TAV2|RIX|TREKON\n";
        QTest::newRow("bad module") << QStringList {"info", "--module", "TAV9", "--port", "x"} << 2
                                    << "tavcli: unknown module 'TAV9' (TAV1, TAV2, RIX or TREKON)\n";
        QTest::newRow("bad baud") << QStringList {"info", "--module", "TAV2", "--baud", "4800"} << 2
                                  << "tavcli: unknown baud rate '4800' (Default, 9600 or 115200)\n";
        QTest::newRow("unknown command")
            << QStringList {"flash"} << 2 << "tavcli: unknown command 'flash' (see 'tavcli --help')\n";
        QTest::newRow("unknown option") << QStringList {"--flash"} << 2 << "tavcli: Unknown option 'flash'.\n";
        QTest::newRow("unknown option of a command")
            << QStringList {"ports", "--json"} << 2 << "tavcli: Unknown option 'json'.\n";
        QTest::newRow("no command") << QStringList {"--quiet"} << 2 << "Usage: tavcli [options] COMMAND";
        QTest::newRow("scale") << QStringList {"info", "--timeout-scale", "1,5,0"} << 2
                               << "tavcli: --timeout-scale takes a number from 0.1 to 100\n";
        QTest::newRow("at without command")
            << QStringList {"at"} << 2 << "tavcli: at takes one argument: COMMAND\n";
        QTest::newRow("at with two lines") << QStringList {"at", "AT+ID=?\r\nAT+RST=", "--module",
            "TAV2"} << 2 << "tavcli: at takes one command of printable characters, such as 'AT+ID=?'\n";
        QTest::newRow("tx without payload") << QStringList {"tx", "--module", "TAV2"} << 2
                                            << "tavcli: no payload given: tavcli tx MESSAGE...\n";
        QTest::newRow("tx repeat") << QStringList {"tx", "AB", "--repeat", "0"} << 2
                                   << "tavcli: --repeat takes a number from 1 to 255\n";
        QTest::newRow("tx redundancy") << QStringList {"tx", "AB", "--redundancy", "0"} << 2
                                       << "tavcli: --redundancy takes a number from 1 to 255\n";
        QTest::newRow("prepass without passes") << QStringList {"tx", "AB", "--profile", "prepass"} << 2
                                                << "tavcli: the prepass profile needs --csv FILE\n";
        QTest::newRow("TAV1 prediction")
            << QStringList {"tx", "AB", "--profile", "prepass-on-module", "--module", "TAV1"} << 2
            << "tavcli: a TAV1 does not predict passes: use --profile periodic or prepass\n";
        QTest::newRow("TAV1 next pass") << QStringList {"next-pass", "--module", "TAV1", "--port", "x"} << 2
                                        << "tavcli: next-pass does not apply to a TAV1\n";
        QTest::newRow("file on a TAV2") << QStringList {"export-config", "f", "--module", "TAV2", "--port",
            "x"} << 2 << "tavcli: export-config applies to a TREKON only\n";
        QTest::newRow("passes without orbit data") << QStringList {"passes", "--lat", "1", "--lon", "2"} << 2
                                                   << "tavcli: passes needs either --aop FILE or --download\n";
        QTest::newRow("passes latitude") << QStringList {"passes", "--download", "--lat", "91", "--lon", "2"}
                                         << 2 << "tavcli: --lat takes degrees from -90 to 90\n";
        QTest::newRow("passes window") << QStringList {"passes", "--download", "--lat", "1", "--lon", "2",
            "--days", "31"} << 2 << "tavcli: --days takes a length above 0 and up to 30\n";
        QTest::newRow("passes start") << QStringList {"passes", "--download", "--lat", "1", "--lon", "2",
            "--start", "soon"} << 2
                                      << "tavcli: --start takes an ISO 8601 UTC date-time such as "
                                         "2021-03-06T04:43:29\n";
        QTest::newRow("passes file") << QStringList {"passes", "--aop", "none.json", "--lat", "1", "--lon", "2"}
                                     << 1 << "tavcli: cannot read none.json: No such file or directory\n";
        // Read with a limit, whatever the file system says of the size.
        QTest::newRow("passes from a device") << QStringList {"passes", "--aop", "/dev/zero", "--lat", "1", "--lon",
            "2"} << 1 << "tavcli: cannot read /dev/zero: larger than 4 MiB\n";
        QTest::newRow("passes of no satellite") << QStringList {"passes", "--aop", "empty.json", "--lat", "1",
            "--lon", "2"} << 1 << "tavcli: the orbit data list no satellite\n";
        QTest::newRow("endless timeouts") << QStringList {"info", "--module", "TAV2", "--port", "x",
            "--timeout-scale", "inf"} << 2 << "tavcli: --timeout-scale takes a number from 0.1 to 100\n";
        QTest::newRow("provision without ports") << QStringList {"provision", "f.conf", "--module", "TREKON"}
                                                 << 2 << "tavcli: provision takes either --ports P1,P2,... or --all-ports\n";
        QTest::newRow("diff on a TAV2") << QStringList {"diff-config", "f", "--module", "TAV2", "--port", "x"}
                                        << 2 << "tavcli: diff-config applies to a TREKON only\n";
        QTest::newRow("missing import file") << QStringList {"import-config", "none.conf", "--module",
            "TREKON", "--port", "x"} << 1 << "tavcli: cannot read none.conf: No such file or directory\n";
        QTest::newRow("import from a device") << QStringList {"import-config", "/dev/zero", "--module", "TREKON",
            "--port", "x"} << 1 << "tavcli: cannot read /dev/zero: larger than 1 MiB\n";
        QTest::newRow("empty import file") << QStringList {"provision", "blank.conf", "--module", "TREKON", "--ports",
            "x"} << 1 << "tavcli: cannot read blank.conf: it holds no configuration entry\n";
    }

    void failuresGiveAStatusAndOneLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        writeFile(m_home->filePath("empty.json"), "{}");
        writeFile(m_home->filePath("blank.conf"), "\r\n \n");
        const Run run = runCli(arguments, m_home->path());
        QCOMPARE(run.status, status);
        QVERIFY(run.out.isEmpty());
        // Without a command, the usage is the message.
        if (message.startsWith("Usage:")) {
            QVERIFY(run.err.startsWith(message));
            QVERIFY(run.err.contains("\n  tx MESSAGE...  "));
        } else {
            QCOMPARE(run.err, message);
        }
    }

    // A file-size limit of 100 bytes makes the writes beyond it fail as a
    // full disk does (the port's lock file stays below it).
    void failedWritesKeepTheOldFileAndSayWhy_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("export") << QStringList {"export-config", "kept.txt"}
                                << "tavcli: Unable to export config: %1: File too large\n";
        QTest::newRow("log") << QStringList {"info", "--log", "kept.txt"}
                             << "tavcli: unable to write the log file kept.txt: File too large\n";
        // The sequence goes on; the run fails at its end, naming the report.
        QTest::newRow("tx report") << QStringList {"tx", "BEEF", "--redundancy", "1", "--report", "kept.txt"}
                                   << "tavcli: unable to write %1: File too large\n";
    }

    void failedWritesKeepTheOldFileAndSayWhy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        SimulatorProcess sim(kAsleepKit);
        QVERIFY(sim.start());
        const QString kept = m_home->filePath("kept.txt");
        const QByteArray old = QByteArray(2048, 'x') + '\n';
        writeFile(kept, old);
        const Run run = runCli(QStringList {"--fsize=100", TAVCLI_PATH} + arguments
                + QStringList {"--module", "TREKON", "--port", sim.portPath()},
            m_home->path(), {}, "prlimit");
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.endsWith(message.arg(kept)), qPrintable(run.err));
        QFile file(kept);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        // No temporary file is left beside it.
        QCOMPARE(QDir(m_home->path()).entryList({"kept.txt*"}, QDir::Files | QDir::Hidden), QStringList {"kept.txt"});
    }

    // tx --reconnect waits for an unplugged device and goes on with the
    // sequence on it; without the option the unplug ends the command.
    void txAcrossAnUnplug_data()
    {
        QTest::addColumn<bool>("reconnect");
        QTest::newRow("--reconnect") << true;
        QTest::newRow("without") << false;
    }

    void txAcrossAnUnplug()
    {
        QFETCH(bool, reconnect);
        QTemporaryDir dir;
        const QString link = dir.filePath("tav2");
        SimulatorProcess sim({"--module", "TAV2", "--tx-delay", "50", "--link", link});
        QVERIFY(sim.start());
        // Three Tx a second apart per round, the next round at once.
        QSettings settings(m_home->filePath(".config/Norvane/TavGUI.conf"), QSettings::IniFormat);
        settings.setValue("Tx/Periodic/redundancy", 3);
        settings.setValue("Tx/Periodic/delay", 1);
        settings.setValue("Tx/Periodic/period", 0);
        settings.sync();

        const QString payload = "CAFE04000000000000000000000000000000000000000000";
        QStringList arguments {"tx", payload, "--repeat", "2", "--module", "TAV2", "--port", link};
        if (reconnect)
            arguments << "--reconnect";
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home->path());
        env.insert("XDG_CONFIG_HOME", m_home->filePath(".config"));
        cli.setProcessEnvironment(env);
        cli.start(TAVCLI_PATH, arguments);
        QVERIFY(cli.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!sim.transcriptEntries().filter("> +TX=0," + payload).isEmpty(), 10000);
        QVERIFY(sim.sendControl("hangup stay"));
        QTest::qWait(1200);
        QVERIFY(sim.sendControl("replug"));
        QVERIFY(cli.state() == QProcess::NotRunning || cli.waitForFinished(30000));
        const QString out = QString::fromUtf8(cli.readAllStandardOutput());
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        const QStringList entries = sim.transcriptEntries();
        const int replug = entries.indexOf(QRegularExpression("^! replugged as .*"));
        QVERIFY(replug > 0);
        if (reconnect) {
            // A Tx lost with the device counts as failed, and fails the command.
            const int failed = out.count(QRegularExpression("Data " + payload + " could not be sent"));
            QCOMPARE(cli.exitCode(), failed == 0 ? 0 : 1);
            QCOMPARE(err, failed == 0 ? QString() : QString("tavcli: %1 of 6 transmissions failed\n").arg(failed));
            QVERIFY2(out.contains("Waiting for TAV2 to come back on port " + link), qPrintable(out));
            QVERIFY(out.contains("TAV2 connected on port " + link));
            // Every Tx of both rounds has its outcome, on the periodic profile's redundancy.
            QCOMPARE(out.count(QRegularExpression("Data " + payload + " (successfully transmitted|could not be sent)")), 6);
            QVERIFY(out.contains("successfully transmitted! (3/3)"));
            QVERIFY(out.contains(failed == 0 ? "--- Tx SEQUENCE COMPLETE (2/2) ---" : "--- Tx SEQUENCE ENDED ("));
            QVERIFY(entries.mid(replug).contains("< AT+TX=" + payload));
        } else {
            QCOMPARE(cli.exitCode(), 3);
            QCOMPARE(err, "tavcli: The evaluation kit is not reachable, it may have been unplugged\n");
            QVERIFY(!entries.mid(replug).contains("< AT+TX=" + payload));
        }
    }

    void helpNamesTheToolAndTheCommand()
    {
        const Run run = runCli({"tx", "--help"}, m_home->path());
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith("Usage: tavcli [options] tx MESSAGE...\n"));
        QVERIFY(run.out.contains("--profile <profile>"));
        QVERIFY(run.out.contains("--repeat <n>"));
        QVERIFY(run.out.contains("\nArguments:\n  MESSAGE  "));
        const Run file = runCli({"export-config", "--help"}, m_home->path());
        QVERIFY(file.out.startsWith("Usage: tavcli [options] export-config FILE\n"));
        QVERIFY(file.out.contains("\nArguments:\n  FILE  "));
        const Run top = runCli({"--help"}, m_home->path());
        QCOMPARE(top.status, 0);
        QVERIFY(top.out.startsWith("Usage: tavcli [options] COMMAND [arguments]\n"));
        QVERIFY(!top.out.contains("Arguments:"));
        for (const char* command : {"ports", "info", "get-config", "export-config FILE", "import-config FILE",
                 "diff-config FILE", "provision FILE", "at COMMAND", "aop-download", "aop-upload", "next-pass",
                 "passes", "tx MESSAGE..."})
            QVERIFY2(top.out.contains(QString("\n  ") + command + "  "), command);
    }

private:
    // A kit woken once stays awake, but the tool waits for its button on
    // every connection: press it when asked.
    Run runOnAwakeKit(SimulatorProcess& sim, const QStringList& arguments)
    {
        CliProcess cli(m_home->path(), arguments);
        if (cli.waitForOutput("Press the wake-up button"))
            sim.sendControl("wake");
        return cli.finish();
    }

    // A kit's own configuration, exported, with another beacon position.
    QString exportMovedKit()
    {
        SimulatorProcess source(kAsleepKit);
        if (!source.start())
            return {};
        const QString file = m_home->filePath("kit.conf");
        runCli({"export-config", file, "--module", "TREKON", "--port", source.portPath()}, m_home->path());
        QString text = readFile(file);
        text.replace(QRegularExpression("AT\\+POS=[^\r\n]*"), "AT+POS=12.5,-3.25");
        text.replace(QRegularExpression("AT\\+PREPASS_CFG=[^,]*,[^,]*,"), "AT+PREPASS_CFG=12.5,-3.25,");
        writeFile(file, text.toUtf8());
        return file;
    }

    void setOrbitUrl(const QString& url)
    {
        QSettings config(m_home->filePath("config.ini"), QSettings::IniFormat);
        config.setValue("Prepass/aopWebRequestUrl", url);
        config.sync();
    }

    // The periodic profile the window saved: bursts of `redundancy`
    // transmissions `delay` seconds apart, and no pause between rounds.
    void writePeriodicSettings(int redundancy, int delay)
    {
        QSettings settings(m_home->filePath(".config/Norvane/TavGUI.conf"), QSettings::IniFormat);
        settings.setValue("Tx/Periodic/period", 0);
        settings.setValue("Tx/Periodic/redundancy", redundancy);
        settings.setValue("Tx/Periodic/delay", delay);
        settings.sync();
    }

    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_GUILESS_MAIN(TestTavCli)
#include "tst_tavcli.moc"
