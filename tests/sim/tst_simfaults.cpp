// The simulator's development-kit events, its transcript, its fault injection
// and its clean shutdown, observed from the host's side of the line.
#include "SimSession.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>

class TestSimFaults : public QObject {
    Q_OBJECT

private slots:
    void trekonIgnoresRequestsWhileAsleep();
    void onlyTrekonSleeps();
    void autoWakePressesTheButtonForTheHost();
    void transcriptRecordsTheExchangeInOrder();
    void muteSilencesAnswers();
    void injectedErrorAnswersTheCode();
    void latencyDelaysTheAnswer();
    void baudRatePacesTheOutput();
    void garbageBytesArrive();
    void longLineHasNoLineFeed();
    void failedTransmissionReportsItsStatus();
    void floodSendsValidUnsolicitedAnswers();
    void hangupRemovesTheDevice();
    void hangupStayThenReplug();
    void replugPowersTheModuleAgain();
    void controlSocketDrivesTheSimulator();
    void linkPointsAtTheDeviceUntilTheEnd();
    void fixtureLeavesNoProcessBehind();
    void badControlCommandsAreRefused_data();
    void badControlCommandsAreRefused();
    void badOptionsAreRefused_data();
    void badOptionsAreRefused();
};

void TestSimFaults::trekonIgnoresRequestsWhileAsleep()
{
    SimSession s({"--module", "TREKON", "--asleep"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QVERIFY(s.link.write("AT+PING=?"));
    QVERIFY2(s.link.staysQuiet(400), "a sleeping kit answers nothing");

    QVERIFY(s.sim.sendControl("wake"));
    QCOMPARE(s.link.readLine(), "TREKON -- BUTTON PUSHED");
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});

    QVERIFY(s.sim.sendControl("sleep"));
    QCOMPARE(s.link.readLine(), "TREKON -- SLEEP");
    QVERIFY(s.link.write("AT+ID=?"));
    QVERIFY(s.link.staysQuiet(400));
    // The requests were heard, just not answered.
    QCOMPARE(s.sim.transcriptEntries().filter("< AT+").size(), 3);
}

void TestSimFaults::autoWakePressesTheButtonForTheHost()
{
    SimSession s({"--module", "TREKON", "--asleep", "--auto-wake", "300"});
    QVERIFY2(s.sim.start(), qPrintable(s.sim.errorString()));
    // Nobody has the device open yet: the user has no reason to press.
    QString reply;
    QVERIFY(s.sim.sendControl("state", &reply));
    QVERIFY2(reply.contains(" asleep"), qPrintable(reply));

    QElapsedTimer opened;
    QVERIFY(s.link.open(s.sim.portPath()));
    opened.start();
    QVERIFY(s.link.write("AT+PING=?"));
    QCOMPARE(s.link.readLine(), "TREKON -- BUTTON PUSHED");
    QVERIFY2(opened.elapsed() >= 250, "the button is pressed a while after the host opened the device");
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});

    // Going to sleep again, the kit is woken once more.
    QVERIFY(s.sim.sendControl("sleep"));
    QCOMPARE(s.link.readLine(), "TREKON -- SLEEP");
    QCOMPARE(s.link.readLine(), "TREKON -- BUTTON PUSHED");
    QCOMPARE(s.link.request("AT+ID=?").size(), 1);
    QCOMPARE(s.sim.transcriptEntries().filter("! wake-up button pushed").size(), 2);
}

void TestSimFaults::onlyTrekonSleeps()
{
    SimSession s({"--module", "TAV2"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QString reply;
    QVERIFY(!s.sim.sendControl("sleep", &reply));
    QVERIFY2(reply.startsWith("ERROR"), qPrintable(reply));
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});
}

void TestSimFaults::transcriptRecordsTheExchangeInOrder()
{
    SimSession s({"--module", "TAV1"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+SN=?"), QStringList {"+SN=TAV21040500117"});
    QCOMPARE(s.link.request("AT+UDATE=?"), QStringList {"+ERROR=6"});

    const QStringList lines = s.sim.transcript();
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} [<>!] "));
    for (const QString& line : lines)
        QVERIFY2(stamp.match(line).hasMatch(), qPrintable(line));
    QCOMPARE(s.sim.transcriptEntries(),
        (QStringList {
            "< AT+PING=?", "> +OK", "< AT+SN=?", "> +SN=TAV21040500117", "< AT+UDATE=?", "> +ERROR=6"}));
}

void TestSimFaults::muteSilencesAnswers()
{
    SimSession s({"--module", "RIX"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QVERIFY(s.sim.sendControl("mute on"));
    QVERIFY(s.link.write("AT+PING=?"));
    QVERIFY2(s.link.staysQuiet(500), "a muted module must let the host time out");
    QVERIFY(s.sim.sendControl("mute off"));
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});
}

void TestSimFaults::injectedErrorAnswersTheCode()
{
    SimSession s({"--module", "TAV2"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QVERIFY(s.sim.sendControl("error UDATE 44"));
    const QStringList answer = s.link.request("AT+UDATE=2024-05-01T10:00:00Z");
    QCOMPARE(answer, QStringList {"+ERROR=44"});
    AtCmdHandler handler(nullptr, hostGrammar(QStringLiteral("TAV2")));
    QVERIFY(handler.parse(answer.constFirst()));
    QCOMPARE(handler.getErrorAsStr(), "Transceiver error (reset)");

    // Other commands are untouched, and the error can be lifted.
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});
    QVERIFY(s.sim.sendControl("error UDATE off"));
    QCOMPARE(s.link.request("AT+UDATE=2024-05-01T10:00:00Z"), QStringList {"+OK"});
}

void TestSimFaults::latencyDelaysTheAnswer()
{
    SimSession s({"--module", "TAV1", "--latency", "300"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QElapsedTimer t;
    t.start();
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});
    QVERIFY2(t.elapsed() >= 280, qPrintable(QString::number(t.elapsed()) + " ms"));

    QVERIFY(s.sim.sendControl("latency 600"));
    t.restart();
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});
    QVERIFY2(t.elapsed() >= 580, qPrintable(QString::number(t.elapsed()) + " ms"));
}

void TestSimFaults::baudRatePacesTheOutput()
{
    SimSession s({"--module", "TAV2", "--baud", "9600"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QElapsedTimer t;
    t.start();
    const QStringList aop = s.link.request("AT+AOP=?", 10000);
    const qint64 elapsed = t.elapsed();
    QVERIFY(aop.size() > 4);
    QCOMPARE(aop.constLast(), "+AOP=end");
    qint64 bytes = 0;
    for (const QString& line : aop)
        bytes += line.size() + 2;
    // 10 bits per byte at 9600 baud, with some slack for timer granularity.
    const qint64 minimum = bytes * 10 * 1000 / 9600 * 8 / 10;
    QVERIFY2(elapsed >= minimum, qPrintable(QString("%1 bytes in %2 ms").arg(bytes).arg(elapsed)));
}

void TestSimFaults::garbageBytesArrive()
{
    SimSession s({"--module", "TAV2"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QVERIFY(s.sim.sendControl("garbage 48"));
    QCOMPARE(s.link.readBytes(48).size(), 48);
    QVERIFY(s.sim.transcriptEntries().contains("! garbage 48 bytes"));
}

void TestSimFaults::longLineHasNoLineFeed()
{
    SimSession s({"--module", "TREKON"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QVERIFY(s.sim.sendControl("longline 5000"));
    const QByteArray bytes = s.link.readBytes(5000);
    QCOMPARE(bytes.size(), 5000);
    QVERIFY(!bytes.contains('\n'));
    QVERIFY(!bytes.contains('\r'));
    QVERIFY(s.link.staysQuiet(200));
}

void TestSimFaults::failedTransmissionReportsItsStatus()
{
    SimSession s({"--module", "TAV2", "--tx-delay", "50"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QVERIFY(s.sim.sendControl("txfail 41"));
    QCOMPARE(s.link.request("AT+TX=0102"), QStringList {"+OK"});
    const QString result = s.link.readLine();
    QCOMPARE(result, "+TX=41,");
    AtCmdHandler handler(nullptr, hostGrammar(QStringLiteral("TAV2")));
    QVERIFY(handler.parse(result));
    QCOMPARE(handler.getData<uint>(1), 41u);

    QVERIFY(s.sim.sendControl("txfail off"));
    QCOMPARE(s.link.request("AT+TX=0102"), QStringList {"+OK"});
    QCOMPARE(s.link.readLine(), "+TX=0,0102");
}

void TestSimFaults::floodSendsValidUnsolicitedAnswers()
{
    SimSession s({"--module", "RIX"});
    QVERIFY2(s.open(), qPrintable(s.error));
    AtCmdHandler handler(nullptr, hostGrammar(QStringLiteral("RIX")));
    QVERIFY(s.sim.sendControl("flood 100"));
    QStringList seen;
    for (int i = 0; i < 10; ++i) {
        const QString line = s.link.readLine(2000);
        QVERIFY2(!line.isNull(), "flood stopped early");
        QVERIFY2(handler.parse(line), qPrintable(line));
        seen << handler.getIdAsStr();
    }
    seen.removeDuplicates();
    QVERIFY2(seen.size() >= 3, qPrintable(seen.join(',')));
    QVERIFY(s.sim.sendControl("flood 0"));
    s.link.drain(300);
    QVERIFY(s.link.staysQuiet(300));
}

void TestSimFaults::hangupRemovesTheDevice()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("tav1");
    SimSession s({"--module", "TAV1", "--link", link});
    QVERIFY2(s.open(), qPrintable(s.error));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});

    QVERIFY(s.sim.sendControl("hangup"));
    QVERIFY(s.sim.waitForExit(5000));
    QVERIFY(!QFileInfo::exists(s.sim.portPath()));
    QVERIFY(!QFileInfo(link).isSymLink());
    // The host's reads fail and its port reports an error.
    QVERIFY(s.link.readLine(500).isNull());
    QVERIFY(s.link.port().error() != QSerialPort::NoError);
}

void TestSimFaults::hangupStayThenReplug()
{
    SimSession s({"--module", "TAV2"});
    QVERIFY2(s.open(), qPrintable(s.error));
    const QString first = s.sim.portPath();
    QVERIFY(s.sim.sendControl("hangup stay"));
    QTRY_VERIFY(!QFileInfo::exists(first));
    QVERIFY(s.sim.isRunning());
    s.link.close();

    QString reply;
    QVERIFY(s.sim.sendControl("replug", &reply));
    const QString second = reply.section(' ', 1);
    QVERIFY2(QFileInfo::exists(second), qPrintable(reply));
    ModuleLink again;
    QVERIFY(again.open(second));
    QCOMPARE(again.request("AT+PING=?"), QStringList {"+OK"});
}

void TestSimFaults::replugPowersTheModuleAgain()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("kit");
    SimSession s({"--module", "TREKON", "--asleep", "--tx-delay", "300", "--link", link});
    QVERIFY2(s.open(), qPrintable(s.error));
    QVERIFY(s.sim.sendControl("wake"));
    QCOMPARE(s.link.readLine(), "TREKON -- BUTTON PUSHED");
    QCOMPARE(s.link.request("AT+TX=0102"), QStringList {"+OK"});
    // Unplugged before the radio is done: the transmission never reports.
    QVERIFY(s.sim.sendControl("hangup stay"));
    s.link.close();
    QTest::qWait(500);
    QVERIFY(s.sim.transcriptEntries().filter(QRegularExpression("^> \\+TX=")).isEmpty());

    QString reply;
    QVERIFY(s.sim.sendControl("replug", &reply));
    QVERIFY2(reply.endsWith(QFileInfo(link).symLinkTarget()), qPrintable(reply));
    QVERIFY(s.sim.sendControl("state", &reply));
    QVERIFY2(reply.contains(" asleep"), "the kit comes back as it was first plugged in");
    ModuleLink again;
    QVERIFY(again.open(link));
    QVERIFY(again.write("AT+PING=?"));
    QVERIFY(again.staysQuiet(300));
    QVERIFY(s.sim.sendControl("wake"));
    QCOMPARE(again.readLine(), "TREKON -- BUTTON PUSHED");
    QCOMPARE(again.request("AT+PING=?"), QStringList {"+OK"});
}

void TestSimFaults::controlSocketDrivesTheSimulator()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("control");
    SimSession s({"--module", "TAV2", "--control", path});
    QVERIFY2(s.open(), qPrintable(s.error));

    QLocalSocket control;
    control.connectToServer(path);
    QVERIFY2(control.waitForConnected(3000), qPrintable(control.errorString()));
    auto command = [&control](const QByteArray& text) {
        control.write(text + '\n');
        control.waitForBytesWritten(1000);
        while (!control.canReadLine() && control.waitForReadyRead(3000)) { }
        return QString::fromUtf8(control.readLine()).trimmed();
    };
    QCOMPARE(command("error ID 8"), "OK");
    QCOMPARE(s.link.request("AT+ID=?"), QStringList {"+ERROR=8"});
    QVERIFY(command("bogus").startsWith("ERROR"));
    QCOMPARE(command("send +RX=0A0B"), "OK");
    QCOMPARE(s.link.readLine(), "+RX=0A0B");

    // The same socket from the command line, as the demo's users drive it.
    QProcess tell;
    tell.start(SimulatorProcess::simulatorPath(), {"--tell", path, "error", "ID", "off"});
    QVERIFY(tell.waitForFinished(5000));
    QCOMPARE(tell.exitCode(), 0);
    QCOMPARE(tell.readAllStandardOutput().trimmed(), "OK");
    QCOMPARE(s.link.request("AT+ID=?"), QStringList {"+ID=04A1C7F2"});
    tell.start(SimulatorProcess::simulatorPath(), {"--tell", path, "wake"});
    QVERIFY(tell.waitForFinished(5000));
    QCOMPARE(tell.exitCode(), 1);
    QVERIFY(tell.readAllStandardOutput().startsWith("ERROR"));

    // Several commands, one per line, run back to back: the noise and the
    // line end that closes it reach the host together.
    tell.start(SimulatorProcess::simulatorPath(), {"--tell", path, "garbage 40\nsend +RX=0C\n\nstate"});
    QVERIFY(tell.waitForFinished(5000));
    QCOMPARE(tell.exitCode(), 0);
    const QStringList replies = QString::fromUtf8(tell.readAllStandardOutput()).trimmed().split('\n');
    QCOMPARE(replies.size(), 3);
    QVERIFY(replies.at(2).startsWith("OK TAV2"));
    const QByteArray bytes = s.link.drain();
    QCOMPARE(bytes.size(), 40 + 8);
    QVERIFY(bytes.endsWith("+RX=0C\r\n"));
    tell.start(SimulatorProcess::simulatorPath(), {"--tell", path, "state\nbogus"});
    QVERIFY(tell.waitForFinished(5000));
    QCOMPARE(tell.exitCode(), 1);
}

void TestSimFaults::linkPointsAtTheDeviceUntilTheEnd()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("trekon");
    {
        SimSession s({"--module", "TREKON", "--link", link});
        QVERIFY2(s.open(), qPrintable(s.error));
        QCOMPARE(QFileInfo(link).symLinkTarget(), s.sim.portPath());
        ModuleLink viaLink;
        QVERIFY(viaLink.open(link));
        QCOMPARE(viaLink.request("AT+ID=?"), QStringList {"+ID=7E0042"});
        QVERIFY2(s.sim.stop(), "SIGTERM must end the simulator normally");
    }
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimFaults::fixtureLeavesNoProcessBehind()
{
    qint64 pid = 0;
    QString port;
    {
        SimulatorProcess sim({"--module", "RIX"});
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        pid = sim.processId();
        port = sim.portPath();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid_t(pid), 0), 0);
    }
    QCOMPARE(::kill(pid_t(pid), 0), -1);
    QCOMPARE(errno, ESRCH);
    QVERIFY(!QFileInfo::exists(port));
}

void TestSimFaults::badControlCommandsAreRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("unknown") << "explode";
    QTest::newRow("mute without state") << "mute";
    QTest::newRow("mute maybe") << "mute maybe";
    QTest::newRow("negative latency") << "latency -5";
    QTest::newRow("error code not a number") << "error PING x";
    QTest::newRow("error on a lower-case word") << "error ping 5";
    QTest::newRow("rx not hexadecimal") << "rx hello";
    QTest::newRow("no garbage") << "garbage 0";
    QTest::newRow("replug while plugged") << "replug";
}

void TestSimFaults::badControlCommandsAreRefused()
{
    QFETCH(QString, command);
    SimSession s({"--module", "TAV2"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QString reply;
    QVERIFY(!s.sim.sendControl(command, &reply));
    QVERIFY2(reply.startsWith("ERROR "), qPrintable(reply));
    QVERIFY(s.link.staysQuiet(100));
}

void TestSimFaults::badOptionsAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown module") << QStringList {"--module", "TAV9"};
    QTest::newRow("latency not a number") << QStringList {"--latency", "soon"};
    QTest::newRow("asleep TAV1") << QStringList {"--module", "TAV1", "--asleep"};
    QTest::newRow("auto-wake TAV2") << QStringList {"--module", "TAV2", "--auto-wake", "100"};
    QTest::newRow("auto-wake zero") << QStringList {"--module", "TREKON", "--auto-wake", "0"};
    QTest::newRow("unknown option") << QStringList {"--colour"};
}

void TestSimFaults::badOptionsAreRefused()
{
    QFETCH(QStringList, arguments);
    QProcess p;
    p.start(SimulatorProcess::simulatorPath(), arguments);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardOutput().isEmpty());
    QVERIFY(p.readAllStandardError().startsWith("tavsim: "));
}

QTEST_GUILESS_MAIN(TestSimFaults)
#include "tst_simfaults.moc"
