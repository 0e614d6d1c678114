// The window's start-up options and its frame report: the tavgui binary
// against the simulator, and the report's measure of a blocked GUI thread.
#include "SimulatorProcess.h"
#include "ui/FrameReport.h"

#include <QQuickWindow>
#include <QSettings>
#include <QThread>
#include <QtTest>

#include <csignal>

namespace {

QMap<QString, QString> readReport(const QString& path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const QString key = line.section(' ', 0, 0);
        values.insert(key, values.contains(key) ? values.value(key) + '\n' + line : line.section(' ', 1));
    }
    return values;
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readAll()) : QString();
}

// The processes named `program` whose parent is `parent`.
QList<qint64> childrenOf(qint64 parent, const QString& program)
{
    QList<qint64> pids;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        // "pid (comm) state ppid ..."
        const QString stat = readFile("/proc/" + entry + "/stat");
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0 || stat.mid(stat.indexOf('(') + 1, close - stat.indexOf('(') - 1) != program)
            continue;
        if (stat.mid(close + 2).section(' ', 1, 1).toLongLong() == parent)
            pids << entry.toLongLong();
    }
    return pids;
}

// The window runs several times slower under the sanitizers; the waits for
// its output grow with it.
constexpr int SLOW = TAV_TIME_FACTOR;

} // namespace

class TestLaunch : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_home.isValid());
        // One Tx a round, the next round a minute later.
        QSettings settings(m_home.filePath(".config/Norvane/TavGUI.conf"), QSettings::IniFormat);
        settings.setValue("Tx/Periodic/redundancy", 2);
        settings.setValue("Tx/Periodic/delay", 1);
        settings.setValue("Tx/Periodic/period", 1);
    }

    void connectsRunsTheSequenceAndReconnects()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("tav2");
        const QString log = dir.filePath("device.log");
        const QString report = dir.filePath("frames");
        SimulatorProcess sim({"--module", "TAV2", "--tx-delay", "50", "--link", link});
        QVERIFY(sim.start());
        const QString payload = "CAFE05000000000000000000000000000000000000000000";
        // The passes are predicted from a local orbit-data document.
        QSettings config(m_home.filePath("config.ini"), QSettings::IniFormat);
        config.setValue("Prepass/aopWebRequestUrl",
            QUrl::fromLocalFile(TAV_TEST_DATA_DIR "/aop_constellation.json").toString());
        config.sync();
        QProcess gui;
        startGui(gui,
            {"--module", "TAV2", "--port", link, "--tx", payload, "--repeat", "3", "--reconnect", "--log", log,
                "--predict-every", "1"},
            report);
        QTRY_VERIFY_WITH_TIMEOUT(readFile(log).contains("successfully transmitted! (2/2)"), 20000 * SLOW);
        QVERIFY(readFile(log).contains(QRegularExpression("\\] [1-9]\\d* satellite pass\\(es\\) predicted")));
        QVERIFY(readFile(log).contains("TAV2 connected on port " + link));
        QVERIFY(readFile(log).contains("--- Tx SEQUENCE START (x3) ---"));

        QVERIFY(sim.sendControl("hangup stay"));
        QTRY_VERIFY_WITH_TIMEOUT(readFile(log).contains("Waiting for TAV2 to come back on port " + link), 5000 * SLOW);
        QVERIFY(sim.sendControl("replug"));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(log).count("TAV2 connected on port " + link), 2, 10000 * SLOW);
        QVERIFY(gui.state() == QProcess::Running);

        // SIGTERM closes the window; the report is written a last time.
        ::kill(static_cast<pid_t>(gui.processId()), SIGTERM);
        QVERIFY(gui.waitForFinished(15000 * SLOW));
        QCOMPARE(gui.exitStatus(), QProcess::NormalExit);
        QCOMPARE(gui.exitCode(), 0);
        const QMap<QString, QString> values = readReport(report);
        QVERIFY2(values.value("frames").toULongLong() > 10, qPrintable(readFile(report)));
        QVERIFY(values.contains("max_interval_ms"));
        QVERIFY(values.contains("stalls"));
        QVERIFY(values.contains("max_request_lag_ms"));
    }

    void closingDuringTheWakeUpWaitEndsTheProcess()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("trekon");
        const QString log = dir.filePath("device.log");
        SimulatorProcess sim({"--module", "TREKON", "--asleep", "--link", link});
        QVERIFY(sim.start());
        QProcess gui;
        startGui(gui, {"--module", "TREKON", "--port", link, "--log", log}, QString());
        // The ping is logged, then the kit is waited for.
        QTRY_VERIFY_WITH_TIMEOUT(readFile(log).contains("AT+PING=?"), 15000 * SLOW);
        QTest::qWait(200);
        QCOMPARE(gui.state(), QProcess::Running);
        ::kill(static_cast<pid_t>(gui.processId()), SIGTERM);
        QVERIFY2(gui.waitForFinished(2000 * SLOW), "the process outlived its window");
        QCOMPARE(gui.exitCode(), 0);
        // Only the wake-up PING, which an awake kit would answer, was written
        // to the sleeping kit, before or after.
        QStringList written;
        for (const QString& entry : sim.transcriptEntries()) {
            if (entry.startsWith("< "))
                written << entry;
        }
        QCOMPARE(written, QStringList {"< AT+PING=?"});
    }

    // The demo's simulated kit is listed under its own name, presses its own
    // button, and goes with the window.
    void demoRunsSimulatedModulesAsLongAsTheWindow()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath("device.log");
        QProcess gui;
        startGui(gui, {"--demo", "--module", "TREKON", "--port", "Demo TREKON (simulated)", "--log", log}, QString());
        QTRY_VERIFY_WITH_TIMEOUT(readFile(log).contains("TREKON connected on port Demo TREKON (simulated)"), 15000 * SLOW);
        const QList<qint64> simulators = childrenOf(gui.processId(), "tavsim");
        QCOMPARE(simulators.size(), 4);

        ::kill(static_cast<pid_t>(gui.processId()), SIGTERM);
        QVERIFY(gui.waitForFinished(15000 * SLOW));
        QCOMPARE(gui.exitCode(), 0);
        for (qint64 pid : simulators)
            QVERIFY2(!QFileInfo::exists(QString("/proc/%1").arg(pid)), "a simulator outlived the window");
    }

    void badOptionsAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown module") << QStringList {"--module", "TAV9", "--port", "x"}
                                        << "tavgui: unknown module 'TAV9' (TAV1, TAV2, RIX or TREKON)\n";
        QTest::newRow("module alone") << QStringList {"--module", "TAV2"}
                                      << "tavgui: --module and --port go together\n";
        QTest::newRow("tx alone") << QStringList {"--tx", "0102"}
                                  << "tavgui: --reconnect and --tx need --module and --port\n";
        QTest::newRow("repeat") << QStringList {"--module", "TAV2", "--port", "x", "--repeat", "0"}
                                << "tavgui: --repeat takes a number from 1 to 255\n";
        QTest::newRow("predict-every") << QStringList {"--predict-every", "0"}
                                       << "tavgui: --predict-every takes a number of minutes from 1 to 1440\n";
    }

    void badOptionsAreRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcess gui;
        startGui(gui, arguments, QString());
        QVERIFY(gui.waitForFinished(15000 * SLOW));
        QCOMPARE(gui.exitCode(), 2);
        QVERIFY2(gui.readAllStandardError().endsWith(message.toUtf8()), qPrintable(message));
    }

    void blockedGuiThreadIsAStall()
    {
        QQuickWindow window;
        window.resize(64, 64);
        window.show();
        QTemporaryDir dir;
        const QString path = dir.filePath("frames");
        {
            FrameReport report(&window, path);
            QTRY_VERIFY_WITH_TIMEOUT(report.frames() > 5, 10000);
            const quint64 stallsBefore = report.stalls();
            QThread::msleep(300);
            const quint64 framesBefore = report.frames();
            QTRY_VERIFY_WITH_TIMEOUT(report.frames() > framesBefore + 2, 5000);
            QCOMPARE(report.stalls(), stallsBefore + 1);
            QVERIFY2(report.maxIntervalMs() >= 290, qPrintable(report.text()));
            // The GUI thread was the busy one: the next request came late.
            QVERIFY2(report.maxRequestLagMs() >= 200, qPrintable(report.text()));

            // A busy GUI thread does not hold up the file either: no event
            // reaches it here, so the file comes from the report's own thread.
            QFile::remove(path);
            QDeadlineTimer deadline(FrameReport::WRITE_INTERVAL_MS * 2);
            while (!QFile::exists(path) && !deadline.hasExpired())
                QThread::msleep(20);
            QVERIFY(QFile::exists(path));
        }
        // Written at the end, with the stall listed.
        const QMap<QString, QString> values = readReport(path);
        QVERIFY(values.value("stalls").toULongLong() >= 1);
        QVERIFY(values.value("max_interval_ms").toDouble() >= 290);
        QVERIFY(values.value("stall").contains(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\S+Z \\d+\\.\\d$")));
    }

private:
    void startGui(QProcess& gui, const QStringList& arguments, const QString& report)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home.path());
        env.insert("XDG_CONFIG_HOME", m_home.filePath(".config"));
        if (!report.isEmpty())
            env.insert("TAV_FRAME_REPORT", report);
        gui.setProcessEnvironment(env);
        gui.setWorkingDirectory(m_home.path());
        gui.start(TAVGUI_PATH, arguments);
        QVERIFY(gui.waitForStarted());
    }

    QTemporaryDir m_home;
};

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
