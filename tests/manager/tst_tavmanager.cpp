// The module manager end to end: a real serial line to the simulator, and
// assertions on what went on the wire (the simulator's transcript) and on
// what the models show afterwards.
#include "SimulatorProcess.h"
#include "board/SensorModel.h"
#include "log/Helper.h"
#include "manager/TavManager.h"
#include "orbit/PrepassModel.h"
#include "orbit/SatelliteAop.h"
#include "orbit/SatelliteAopModel.h"
#include "tx/LoRaConnectivity.h"
#include "tx/ModulationModel.h"
#include "tx/PayloadModel.h"
#include "tx/PeriodicProfile.h"
#include "tx/PrepassProfile.h"

#include <QtTest>

namespace {

// Requests the simulator received, in order, without time stamps.
QStringList requestsOf(const SimulatorProcess& sim)
{
    QStringList requests;
    for (const QString& entry : sim.transcriptEntries()) {
        if (entry.startsWith("< "))
            requests << entry.mid(2);
    }
    return requests;
}

// The words of the requests: "AT+ID=?" gives "ID".
QStringList wordsOf(const QStringList& requests)
{
    QStringList words;
    for (const QString& request : requests)
        words << request.section('=', 0, 0).mid(3);
    return words;
}

struct Rig {
    explicit Rig(const QString& module, QStringList extra = {})
        : sim(QStringList {"--module", module} + extra)
    {
        QObject::connect(manager.logger(), &Logger::logCreated, [this](const QString& line) { log << line; });
        QObject::connect(manager.serialPort(), &SerialPortManager::serialError,
            [this](const QString& error) { serialErrors << error; });
        // A TREKON waits for its wake-up button: press it as soon as asked.
        QObject::connect(&manager, &TavManager::userActionRequested, [this]() {
            ++wakeUpRequests;
            if (autoWake)
                QTimer::singleShot(0, [this]() { sim.sendControl("wake"); });
        });
    }

    bool connect(TavBoard::Module module, const QString& baud = "Default")
    {
        if (!sim.start())
            return false;
        bool done = false;
        auto c = QObject::connect(&manager, &TavManager::connected, [&done]() { done = true; });
        manager.connect(module, sim.portPath(), baud);
        QObject::disconnect(c);
        return done;
    }

    // Application lines only, without time stamp and tag.
    QStringList appLines() const
    {
        QStringList lines;
        for (const QString& line : log) {
            const int tag = line.indexOf("] [APP] ");
            if (tag > 0)
                lines << line.mid(tag + 8);
        }
        return lines;
    }

    bool logged(const QString& text) const { return appLines().contains(text); }

    SimulatorProcess sim;
    TavManager manager;
    QStringList log;
    QStringList serialErrors;
    int wakeUpRequests = 0;
    bool autoWake = true;
};

} // namespace

class TestTavManager : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName("NorvaneTest");
        QCoreApplication::setApplicationName("tst_tavmanager");
        QSettings().clear();
    }

    void init() { QSettings().clear(); }

    void connectRunsTheStartupRequestsInOrder_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("TAV1 basic") << "TAV1" << int(TavManager::BASIC)
                                    << QStringList {"PING", "ID", "FW", "SN"};
        QTest::newRow("TAV1 expert") << "TAV1" << int(TavManager::EXPERT)
                                     << QStringList {"PING", "ID", "FW", "SN", "ATXFRQ", "PWR"};
        QTest::newRow("TAV2") << "TAV2" << int(TavManager::BASIC)
                              << QStringList {"PING", "ID", "FW", "ADDR", "RCONF", "UDATE"};
        QTest::newRow("RIX expert") << "RIX" << int(TavManager::EXPERT)
                                    << QStringList {"PING", "ID", "FW", "ADDR", "RCONF", "UDATE"};
        QTest::newRow("TREKON") << "TREKON" << int(TavManager::BASIC)
                                << QStringList {"PING", "ID", "FW", "PREPASS_EN", "UDATE", "TAV_REDUN",
                                       "LORA_EN", "LORA_REDUN", "LORA_DEUI", "LORA_AEUI", "LORA_AKEY",
                                       "LORA_ACK", "ALRT_LIGHT", "ALRT_ACC", "ALRT_DRYC", "ALRT_PB",
                                       "PACQ_SENS", "ALRT_SENS", "PACQ", "POS", "AOP", "PREPASS_CFG"};
    }

    void connectRunsTheStartupRequestsInOrder()
    {
        QFETCH(QString, module);
        QFETCH(int, mode);
        QFETCH(QStringList, words);
        Rig rig(module);
        rig.manager.setMode(static_cast<TavManager::Mode>(mode));
        QSignalSpy boardChanged(&rig.manager, &TavManager::boardChanged);
        const auto id = static_cast<TavBoard::Module>(Helper::strToEnum<TavBoard::Module>(module));
        QVERIFY(rig.connect(id));
        QCOMPARE(wordsOf(requestsOf(rig.sim)), words);
        QVERIFY(rig.logged(module + " connected on port " + rig.sim.portPath()));
        QCOMPARE(boardChanged.count(), 1);

        const TavBoard* board = rig.manager.board();
        QCOMPARE(board->module(), id);
        QVERIFY2(board->id() != "NA" && !board->id().isEmpty(), qPrintable(board->id()));
        QVERIFY(board->firmwareVersion() != "NA");
        QCOMPARE(rig.serialErrors, QStringList());
        if (module == "TAV1")
            QVERIFY(board->serialNumber().startsWith("TAV"));
        if (module == "TAV1" && mode == TavManager::EXPERT) {
            QVERIFY(board->txFrequency() > 0);
            QVERIFY(board->txPower() > 0);
        }
        if (module == "TAV2" || module == "RIX") {
            QVERIFY(!board->addr().isEmpty() && board->addr() != "NA");
            QVERIFY(rig.manager.tx()->modulationModel()->frequencyMax() > 0);
            // The module's clock was set to the tool's.
            QVERIFY(requestsOf(rig.sim).last().startsWith("AT+UDATE=2"));
        }
        if (module == "TREKON") {
            QCOMPARE(rig.wakeUpRequests, 1);
            QVERIFY(board->loraStackIntegrated());
            QVERIFY(!rig.manager.tx()->loraConfig()->devEui().isEmpty());
            QVERIFY(rig.manager.tx()->prepassProfile()->satelliteAopModel()->rowCount() > 0);
            QVERIFY(rig.logged("AOP parameters (respective order):"));
            QVERIFY2(rig.logged("Prediction pass configuration (respective order):"),
                qPrintable(rig.log.join('\n')));
            QVERIFY(!rig.manager.processingData());
        }
    }

    void sleepingTrekonAsksForTheButtonBeforeWriting()
    {
        Rig rig("TREKON", {"--asleep"});
        rig.autoWake = false;
        QObject::connect(&rig.manager, &TavManager::userActionRequested, [&]() {
            QTimer::singleShot(50, [&rig]() { rig.manager.cancelModuleRequest(); });
        });
        QVERIFY(!rig.connect(TavBoard::TREKON));
        // One PING when the wait starts, which the sleeping kit does not see.
        QTRY_COMPARE(requestsOf(rig.sim), QStringList {"AT+PING=?"});
        QVERIFY(rig.logged("Request has been cancelled"));
        QCOMPARE(rig.serialErrors, QStringList {"Unable to contact TREKON"});

        // Pressing the button lets the next request through.
        rig.autoWake = true;
        bool connected = false;
        QObject::connect(&rig.manager, &TavManager::connected, [&connected]() { connected = true; });
        rig.manager.connect(TavBoard::TREKON, rig.sim.portPath(), "Default");
        QVERIFY(connected);
        QCOMPARE(requestsOf(rig.sim).first(), QString("AT+PING=?"));
    }

    void awakeTrekonConnectsAgainAtOnce()
    {
        Rig rig("TREKON");
        rig.autoWake = false;
        QVERIFY(rig.connect(TavBoard::TREKON));
        rig.manager.disconnect();
        const int before = int(requestsOf(rig.sim).size());
        QElapsedTimer elapsed;
        elapsed.start();
        bool connected = false;
        QObject::connect(&rig.manager, &TavManager::connected, [&]() {
            connected = true;
            QVERIFY2(elapsed.elapsed() < 2000, "the awake kit was waited for");
        });
        rig.manager.connect(TavBoard::TREKON, rig.sim.portPath(), "Default");
        QVERIFY(connected);
        // The PING that starts the wait is the connection's own: no second one.
        QCOMPARE(wordsOf(requestsOf(rig.sim).mid(before)).mid(0, 2), (QStringList {"PING", "ID"}));
    }

    void wakeWaitSaysWhatMayBeWrongAfterItsTime()
    {
        Rig rig("TREKON", {"--asleep"});
        rig.autoWake = false;
        rig.manager.setWakeHintAfterMs(300);
        QString hint;
        int waited = -1;
        QElapsedTimer elapsed;
        QObject::connect(&rig.manager, &TavManager::userActionRequested, [&]() { elapsed.start(); });
        QObject::connect(&rig.manager, &TavManager::wakeWaitChanged, [&]() {
            if (hint.isEmpty() && !rig.manager.wakeWaitHint().isEmpty()) {
                hint = rig.manager.wakeWaitHint();
                waited = int(elapsed.elapsed());
                rig.manager.cancelModuleRequest();
            }
        });
        QVERIFY(!rig.connect(TavBoard::TREKON));
        QVERIFY2(waited >= 300 && waited < 3000, qPrintable(QString::number(waited)));
        QVERIFY2(hint.startsWith("No wake-up yet: the EVK chosen may not be this module's"), qPrintable(hint));
        QVERIFY(hint.contains("no power"));
        QCOMPARE(rig.manager.wakeWaitHint(), QString());
    }

    void trekonStatusLinesSwitchTheAwakeState()
    {
        Rig rig("TREKON");
        QVERIFY(rig.connect(TavBoard::TREKON));
        QVERIFY(rig.manager.board()->isAwake());
        rig.manager.onSerialRead("TREKON -- SLEEP and BUTTON PUSHED?");
        QVERIFY(rig.manager.board()->isAwake());
        rig.manager.onSerialRead("TREKON -- going to SLEEP");
        QVERIFY(!rig.manager.board()->isAwake());
        rig.wakeUpRequests = 0;
        rig.manager.getId();
        QCOMPARE(rig.wakeUpRequests, 1);
        QVERIFY(rig.manager.board()->isAwake());
        QCOMPARE(requestsOf(rig.sim).last(), QString("AT+ID=?"));
    }

    void timeoutFailsTheRequestAndALateAnswerCannotChangeIt()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        QVERIFY(rig.sim.sendControl("latency 1400"));
        rig.log.clear();
        rig.manager.getId();
        QVERIFY(rig.logged("AT command request timeout!"));
        QCOMPARE(rig.manager.lastRequestResult().status, RequestResult::TIMEOUT);
        QCOMPARE(rig.manager.board()->id(), QString("NA"));
        // The late answer is logged and applied, but the request already failed.
        QTRY_VERIFY_WITH_TIMEOUT(rig.manager.board()->id() != "NA", 3000);
        QVERIFY(rig.log.last().contains("] [TAV] +ID="));

        QVERIFY(rig.sim.sendControl("latency 5"));
        QVERIFY(rig.sim.sendControl("mute on"));
        QVERIFY(!rig.manager.setTxRedundancy(3));
        QVERIFY(rig.logged("Unable to set Tx redundancy"));
    }

    void errorAnswerFailsTheRequestWithItsText()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        QVERIFY(rig.sim.sendControl("error ID 5"));
        QSignalSpy finished(&rig.manager, &TavManager::requestFinished);
        rig.manager.getId();
        QVERIFY(rig.logged("The value of the parameter is incompatible"));
        QCOMPARE(finished.count(), 1);
        const auto result = finished.first().first().value<RequestResult>();
        QCOMPARE(result.status, RequestResult::MODULE_ERROR);
        QCOMPARE(result.errorCode, 5u);
        QCOMPARE(result.text, QString("The value of the parameter is incompatible"));
        QCOMPARE(rig.manager.board()->id(), QString("NA"));
        QVERIFY(rig.sim.sendControl("error UDATE 3"));
        QVERIFY(!rig.manager.setModuleUtcDate("2026-12-08T10:00:00Z"));
        QVERIFY(rig.logged("Parameters are missing"));
        QVERIFY(rig.logged("Unable to set UTC date on TAV2"));
    }

    void linesWithoutPlusAndUnparsableLines()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        rig.log.clear();
        rig.manager.onSerialRead("Booting v3");
        QCOMPARE(rig.log.size(), 1);
        QVERIFY(rig.log.first().endsWith("[TAV] Booting v3"));

        rig.log.clear();
        rig.manager.onSerialRead("+POS=north,east");
        QCOMPARE(
            rig.appLines(), (QStringList {"Unable to parse message from TAV2", "Unable to parse POS data"}));

        rig.log.clear();
        rig.manager.onSerialRead("+WHAT=1");
        QCOMPARE(rig.appLines(), QStringList {"Unable to parse message from TAV2"});
    }

    void baudRateChoice_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rate");
        QTest::newRow("TREKON default") << int(TavBoard::TREKON) << "Default" << 115200;
        QTest::newRow("TAV2 default") << int(TavBoard::TAV2) << "Default" << 9600;
        QTest::newRow("explicit 115200") << int(TavBoard::TAV1) << "115200" << 115200;
        QTest::newRow("explicit 9600") << int(TavBoard::TREKON) << "9600" << 9600;
        QTest::newRow("unknown text") << int(TavBoard::TREKON) << "57600" << 9600;
    }

    void baudRateChoice()
    {
        QFETCH(int, module);
        QFETCH(QString, text);
        QFETCH(int, rate);
        TavManager manager;
        // No device here: the board is made and configured, then opening fails.
        manager.connect(static_cast<TavBoard::Module>(module), "/nonexistent/tty", text);
        QVERIFY(manager.board());
        QCOMPARE(int(manager.board()->getPortSettings().baudRate), rate);
        QCOMPARE(manager.board()->port(), QString("/nonexistent/tty"));
    }

    void unknownModuleIsRejected()
    {
        TavManager manager;
        QSignalSpy boardChanged(&manager, &TavManager::boardChanged);
        manager.connect(TavBoard::NA, "/dev/null", "Default");
        QVERIFY(!manager.board());
        QCOMPARE(boardChanged.count(), 0);
    }

    void refusesUnsafeAndOverlappingRequests()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        const int before = requestsOf(rig.sim).size();

        QVERIFY(!rig.manager.sendBuiltinAtCmd(AtCmdHandler::POS, {"1\r\nAT+RST=", "2"}, 1000));
        QVERIFY(!rig.manager.sendCustomAtCmd("AT+ID=?\nAT+RST="));
        QCOMPARE(requestsOf(rig.sim).size(), before);

        // A request started from a slot while another waits is refused; the
        // first one completes untouched.
        bool nested = true;
        auto c = QObject::connect(rig.manager.logger(), &Logger::logCreated, [&](const QString& line) {
            if (line.contains("[APP] AT+ID=?"))
                QTimer::singleShot(0, [&]() { nested = rig.manager.requestPing(); });
        });
        QVERIFY(rig.manager.sendBuiltinAtCmd(AtCmdHandler::ID, {}, 1000));
        QObject::disconnect(c);
        QVERIFY(!nested);
        QCOMPARE(requestsOf(rig.sim).mid(before), QStringList {"AT+ID=?"});

        // A typed command goes out trimmed, with CR LF.
        QSignalSpy done(&rig.manager, &TavManager::customCmdCompleted);
        rig.manager.requestCustomCmd("  AT+FW=?  ");
        QCOMPARE(done.count(), 1);
        QCOMPARE(requestsOf(rig.sim).last(), QString("AT+FW=?"));
    }

    // Seven orbit entries at 2400 baud take about 2.3 s, over twice the 1 s
    // timeout, at about 0.3 s a line: room for a loaded machine between
    // lines, none for a timeout that bounds the whole list. A request refused
    // at the first entry leaves the list wait as it was.
    void listAnswerOnASlowLineWaitsForItsEnd()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        QVERIFY(rig.sim.sendControl("baud 2400"));
        rig.log.clear();
        bool nested = true;
        auto c = QObject::connect(rig.manager.logger(), &Logger::logCreated, [&](const QString& line) {
            if (line.contains("[TAV] +AOP=A,"))
                QTimer::singleShot(0, [&]() { nested = rig.manager.requestPing(); });
        });
        QElapsedTimer elapsed;
        elapsed.start();
        rig.manager.getAopData();
        QObject::disconnect(c);
        QVERIFY2(elapsed.elapsed() > 1000, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY(!nested);
        QVERIFY(rig.logged("AOP parameters (respective order):"));
        QVERIFY(!rig.logged("AT command request timeout!"));
        QVERIFY(!rig.logged("Unable to get AOP data"));
    }

    void unplugEndsTheRequestAtOnce()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        QVERIFY(rig.sim.sendControl("mute on"));
        QTimer::singleShot(100, [&rig]() { rig.sim.sendControl("hangup stay"); });
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!rig.manager.sendBuiltinAtCmd(AtCmdHandler::PREPASS_CFG, {}, 15000));
        QVERIFY2(elapsed.elapsed() < 10000, "the request waited for its whole timeout");
        QVERIFY(rig.serialErrors.contains("The evaluation kit is not reachable, it may have been unplugged"));
        QVERIFY(!rig.logged("AT command request timeout!"));
        QCOMPARE(rig.manager.lastRequestResult().status, RequestResult::DEVICE_LOST);
        // Later requests fail without waiting, and disconnect still works.
        QVERIFY(!rig.manager.requestPing());
        QCOMPARE(rig.manager.lastRequestResult().status, RequestResult::NOT_CONNECTED);
        QSignalSpy disconnected(&rig.manager, &TavManager::disconnected);
        rig.manager.disconnect();
        QCOMPARE(disconnected.count(), 1);
        QVERIFY(!rig.manager.board());
    }

    void sleepingKitUnpluggedEndsTheWaitForTheButton()
    {
        Rig rig("TREKON");
        QVERIFY(rig.connect(TavBoard::TREKON));
        rig.autoWake = false;
        QVERIFY(rig.sim.sendControl("sleep"));
        QTRY_VERIFY(!rig.manager.board()->isAwake());
        QTimer::singleShot(200, [&rig]() { rig.sim.sendControl("hangup stay"); });
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!rig.manager.requestPing());
        QVERIFY2(elapsed.elapsed() < 5000, "the host kept waiting for the button of a vanished kit");
        QVERIFY(rig.serialErrors.contains("The evaluation kit is not reachable, it may have been unplugged"));
    }

    void reconnectAfterReplugAndTheSequenceGoesOn()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("tav2");
        Rig rig("TAV2", {"--tx-delay", "50", "--link", link});
        QVERIFY(rig.sim.start());
        TavManager& m = rig.manager;
        m.setReconnect(true);
        QSignalSpy connected(&m, &TavManager::connected);
        m.connect(TavBoard::TAV2, link, "Default");
        QCOMPARE(connected.count(), 1);

        TxManager* tx = m.tx();
        tx->setSelectedProfile(TxManager::PERIODIC);
        tx->periodicProfile()->setRedundancy(3);
        tx->periodicProfile()->setDelay(1);
        tx->periodicProfile()->setPeriod(0);
        const QString payload = "CAFE03000000000000000000000000000000000000000000";
        QVERIFY(tx->addPayloadItem(payload));
        QSignalSpy ended(tx, &TxManager::sequenceEnded);
        tx->start(2);
        QTRY_VERIFY_WITH_TIMEOUT(rig.logged("Data " + payload + " successfully transmitted! (1/3)"), 5000);

        QVERIFY(rig.sim.sendControl("hangup stay"));
        QTRY_VERIFY(rig.logged("Waiting for TAV2 to come back on port " + link));
        QVERIFY(!m.serialPort()->isOpen());
        QTest::qWait(2 * TavManager::RECONNECT_POLL_MS);
        QCOMPARE(connected.count(), 1);
        QVERIFY(rig.sim.sendControl("replug"));
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 2, 5000);
        QVERIFY(m.serialPort()->isOpen());
        QCOMPARE(m.board()->module(), TavBoard::TAV2);

        // The Tx written while the device was away failed; the rounds go on.
        QTRY_VERIFY2_WITH_TIMEOUT(ended.count() == 1, qPrintable(rig.log.join('\n')), 30000);
        QVERIFY(!rig.appLines().filter(QRegularExpression("^--- Tx SEQUENCE (COMPLETE|ENDED) \\(2/2\\)")).isEmpty());
        // Transmissions went out on the new device too.
        const int replug = rig.sim.transcriptEntries().indexOf(QRegularExpression("^! replugged as .*"));
        QVERIFY(replug > 0);
        QVERIFY(rig.sim.transcriptEntries().mid(replug).contains("< AT+TX=" + payload));
        tx->stop();

        // A disconnection asked for is final, and forgets the module's
        // radio settings and the satellites it takes.
        SatelliteAopModel* orbit = tx->prepassProfile()->satelliteAopModel();
        QVERIFY(tx->modulationModel()->modulationName() != QLatin1String("NA"));
        m.getAopData();
        QTRY_VERIFY(orbit->rowCount() > 0);
        const QChar reported = orbit->getSatelliteItem(quint8(0))->allcastId();
        QVERIFY(orbit->isSatelliteSupported(reported));
        m.disconnect();
        QCOMPARE(tx->modulationModel()->modulationName(), QStringLiteral("NA"));
        QVERIFY(!orbit->isSatelliteSupported(reported));
        QVERIFY(rig.sim.sendControl("hangup stay"));
        QVERIFY(rig.sim.sendControl("replug"));
        QTest::qWait(3 * TavManager::RECONNECT_POLL_MS);
        QCOMPARE(connected.count(), 2);
        QVERIFY(!m.board());
    }

    void withoutReconnectAVanishedDeviceStaysGone()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("tav2");
        Rig rig("TAV2", {"--link", link});
        QVERIFY(rig.sim.start());
        QSignalSpy connected(&rig.manager, &TavManager::connected);
        rig.manager.connect(TavBoard::TAV2, link, "Default");
        QCOMPARE(connected.count(), 1);
        QVERIFY(rig.sim.sendControl("hangup stay"));
        QTRY_VERIFY(!rig.manager.serialPort()->isOpen());
        QVERIFY(rig.sim.sendControl("replug"));
        QTest::qWait(3 * TavManager::RECONNECT_POLL_MS);
        QCOMPARE(connected.count(), 1);
        QVERIFY(!rig.logged("Waiting for TAV2 to come back on port " + link));
    }

    void failedTxResultStillEndsTheRound()
    {
        Rig rig("TREKON", {"--tx-delay", "50"});
        QVERIFY(rig.connect(TavBoard::TREKON));
        QVERIFY(rig.sim.sendControl("txfail 3"));
        TxManager* tx = rig.manager.tx();
        tx->setSelectedProfile(TxManager::PERIODIC);
        tx->periodicProfile()->setRedundancy(1);
        QVERIFY(tx->addPayloadItem("BEEF"));
        QSignalSpy completed(tx, &TxManager::sequenceCompleted);
        QSignalSpy ended(tx, &TxManager::sequenceEnded);
        tx->start(1);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 5000);
        QVERIFY(rig.logged("A Tx error occured (3)"));
        QVERIFY(rig.logged("Data BEEF could not be sent"));
        QVERIFY(rig.logged("--- Tx SEQUENCE ENDED (1/1): 1 of 1 transmission failed ---"));
        QVERIFY(!rig.log.join('\n').contains("successfully transmitted"));
        QVERIFY(!rig.log.join('\n').contains("COMPLETE"));
        QCOMPARE(completed.count(), 0);
        QVERIFY(!tx->ackPending());
        QTRY_COMPARE(rig.manager.lastOperationResult().status, OperationResult::FAILED);
        QCOMPARE(rig.manager.lastOperationResult().text, QString("1 of 1 transmission failed"));
        tx->stop();
    }

    // The kit dropped the payload it held for the pass: it is handed over
    // again for the next pass, and the sequence ends once that one is sent.
    void prepassOnModuleTriesAFailedPayloadInTheNextPass()
    {
        Rig rig("TREKON", {"--pass-in", "1", "--pass-duration", "1", "--tx-delay", "100"});
        QVERIFY(rig.connect(TavBoard::TREKON));
        QVERIFY(rig.sim.sendControl("txfail 3"));
        TxManager* tx = rig.manager.tx();
        tx->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
        QVERIFY(tx->addPayloadItem("BEEF"));
        QSignalSpy ended(tx, &TxManager::sequenceEnded);
        const int before = requestsOf(rig.sim).size();
        tx->start(1);
        QTRY_VERIFY_WITH_TIMEOUT(rig.logged("A Tx error occured (3)"), 8000);
        QVERIFY(rig.sim.sendControl("txfail off"));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
        QCOMPARE(ended.at(0), (QVariantList {1, 2}));
        QVERIFY(rig.logged("Data BEEF successfully transmitted! (4/4)"));
        QVERIFY(rig.logged("--- Tx SEQUENCE ENDED (1/1): 1 of 2 transmissions failed ---"));
        const QStringList sent = requestsOf(rig.sim).mid(before).filter(QRegularExpression("^AT\\+(TX|NEXTPASS)="));
        QCOMPARE(sent.count("AT+TX=BEEF"), 2);
        QCOMPARE(sent.first(), QString("AT+NEXTPASS=?"));
        // Handed over again only once the next pass was asked for.
        QVERIFY(sent.lastIndexOf("AT+NEXTPASS=?") > sent.indexOf("AT+TX=BEEF"));
        QVERIFY(sent.lastIndexOf("AT+NEXTPASS=?") < sent.lastIndexOf("AT+TX=BEEF"));
        tx->stop();
    }

    void secondConnectReplacesTheBoard()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        QPointer<TavBoard> first = rig.manager.board();
        bool connected = false;
        QObject::connect(&rig.manager, &TavManager::connected, [&connected]() { connected = true; });
        rig.manager.connect(TavBoard::RIX, rig.sim.portPath(), "Default");
        QVERIFY(connected);
        QVERIFY(first.isNull());
        QCOMPARE(rig.manager.board()->module(), TavBoard::RIX);
    }

    void disconnectClearsTheSession()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        QSignalSpy disconnected(&rig.manager, &TavManager::disconnected);
        rig.manager.disconnect();
        QCOMPARE(disconnected.count(), 1);
        QVERIFY(!rig.manager.board());
        QVERIFY(!rig.manager.serialPort()->isOpen());
        QCOMPARE(rig.manager.logger()->timestampOffset(), qint64(0));
    }

    void dispatchAppliesAnswersToTheModels()
    {
        Rig rig("TREKON");
        QVERIFY(rig.connect(TavBoard::TREKON));
        TavManager& m = rig.manager;
        TxManager* tx = m.tx();
        PrepassProfile* prepass = tx->prepassProfile();
        rig.log.clear();

        m.onSerialRead("+PREPASS_EN=1");
        QCOMPARE(tx->selectedProfile(), TxManager::PREPASS_ON_MODULE);
        m.onSerialRead("+TAV_REDUN=7");
        QCOMPARE(int(prepass->redundancy()), 7);
        m.onSerialRead("+PREPASS_EN=0");
        QCOMPARE(tx->selectedProfile(), TxManager::PERIODIC);
        m.onSerialRead("+TAV_REDUN=3");
        QCOMPARE(int(tx->periodicProfile()->redundancy()), 3);

        m.onSerialRead("+PREPASS_CFG=43.5,1.4,2026-12-9T10:0:0Z,2026-12-8T10:0:0Z,12.5,80,7.9,500,3.5,20");
        const PrepassConfig config = prepass->config();
        QCOMPARE(int(config.predictionDuration), 0);
        QCOMPARE(config.minElevation, 12.5);
        QCOMPARE(int(config.minPassDuration), 7);
        QCOMPARE(config.maxElevation, 80.0);
        QCOMPARE(int(config.maxPasses), 500);
        QCOMPARE(config.timeMargin, 3.5);
        QCOMPARE(int(config.computationStep), 20);
        m.onSerialRead("+PREPASS_CFG=0,0,2026-12-8T10:0:0Z,2026-12-11T9:0:0Z,5,90,5,1000,5,30");
        // Whole calendar days between the two dates.
        QCOMPARE(int(prepass->config().predictionDuration), 3);

        m.onSerialRead("+POS=43.5,-1.25");
        QCOMPARE(prepass->position().latitude, 43.5);
        QCOMPARE(prepass->position().longitude, -1.25);
        QVERIFY(rig.logged("Beacon latitude: 43.5°"));
        QVERIFY(rig.logged("Beacon longitude: -1.25°"));

        rig.log.clear();
        m.onSerialRead("+UDATE=2030-1-2T3:4:5Z");
        QVERIFY(rig.logged("UTC time: Wed Jan 2, 03:04:05"));
        QCOMPARE(tx->getUtcTime().date(), QDate(2030, 1, 2));

        // The module's pass duration is a real number of seconds.
        m.onSerialRead("+NEXTPASS=A,2030-1-2T4:0:0Z,2030-1-2T4:10:0Z,600.5,45");
        PrepassModel* next = prepass->nextPassModel();
        QCOMPARE(next->rowCount(), 1);
        QCOMPARE(next->at(0).duration(), QTime(0, 10, 0));
        QCOMPARE(next->at(0).start(), QDateTime(QDate(2030, 1, 2), QTime(4, 0), Qt::UTC));
        QVERIFY(!next->at(0).active());
        QVERIFY(rig.logged("Next satellite pass: Wed Jan 2, 04:00:00"));

        SensorModel* sensors = m.board()->sensorListModel();
        m.onSerialRead("+PACQ=600");
        QCOMPARE(int(sensors->acquisitionPeriod()), 600);
        m.onSerialRead("+PACQ_SENS=0,1,0,1,0,1,0");
        QCOMPARE(sensors->data(sensors->index(0), Qt::UserRole + 3).toBool(), false);
        QCOMPARE(sensors->data(sensors->index(1), Qt::UserRole + 3).toBool(), true);
        QCOMPARE(sensors->data(sensors->index(7), Qt::UserRole + 3).toBool(), true);
        // The alert enables are a set of their own: the acquisition stays.
        m.onSerialRead("+ALRT_SENS=1,1,0,1,0,1,1");
        QCOMPARE(sensors->data(sensors->index(0), Qt::UserRole + 8).toBool(), true);
        QCOMPARE(sensors->data(sensors->index(2), Qt::UserRole + 8).toBool(), false);
        QCOMPARE(sensors->data(sensors->index(0), Qt::UserRole + 3).toBool(), false);
        QCOMPARE(sensors->data(sensors->index(6), Qt::UserRole + 3).toBool(), false);
        m.onSerialRead("+ALRT_LIGHT=1,500,2500");
        QCOMPARE(sensors->data(sensors->index(4), Qt::UserRole + 4).toBool(), true);
        QCOMPARE(sensors->data(sensors->index(4), Qt::UserRole + 7).toString(), QString("500,2500"));
        m.onSerialRead("+ALRT_PB=1");
        QCOMPARE(sensors->data(sensors->index(7), Qt::UserRole + 4).toBool(), true);

        LoRaConnectivity* lora = tx->loraConfig();
        m.onSerialRead("+LORA_AEUI=70,B3,D5,7E,D0,01,02,03");
        QCOMPARE(lora->appEui(), QString("70B3D57ED0010203"));
        m.onSerialRead("+LORA_EN=1");
        QVERIFY(tx->loraEnabled());
        m.onSerialRead("+LORA_ACK=1");
        QVERIFY(lora->ackEnabled());
        m.onSerialRead("+LORA_REDUN=5");
        QCOMPARE(int(lora->redundancy()), 5);

        rig.log.clear();
        m.onSerialRead("+AOP=end");
        QCOMPARE(rig.appLines().value(0), QString("AOP parameters (respective order):"));
        rig.log.clear();
        m.onSerialRead("+AOP=B,2026-12-8T10:0:0Z,7180.5,98.5,-60.2,-25.3,100.6,-0.1");
        QCOMPARE(rig.appLines(), QStringList());
        QVERIFY(prepass->satelliteAopModel()->isSatelliteSupported('b'));
    }

    void dispatchOfTheTav2OnlyAnswers()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        TavManager& m = rig.manager;
        rig.log.clear();
        m.onSerialRead("+SAT=end");
        m.onSerialRead("+TXFIFO=1,CAFE,0x4");
        QCOMPARE(rig.appLines(), QStringList());
        m.onSerialRead("+TXFIFO=end");
        QCOMPARE(rig.appLines(),
            (QStringList {"Tx FIFO content description (respective order):",
                "transmitted (0 or 1), data (hexadecimal), attribute bitmap"}));
        rig.log.clear();
        m.onSerialRead("+ATXRP=10,60000");
        QCOMPARE(
            rig.appLines(), (QStringList {"---- Tx configuration ----", "Redundancy: 10 - Period: 60s"}));

        rig.log.clear();
        m.onSerialRead("+SAT=C,1,3");
        QCOMPARE(rig.appLines(), QStringList {"Satellite NA (C) - DNLK_ARGOS_4_ON - UPLK_OUT_OF_SERVICE"});
        // Codes no status has are shown as not available, whatever their size.
        rig.log.clear();
        m.onSerialRead("+SAT=A1,9,4");
        m.onSerialRead("+SAT=D,4294967295,-1");
        QCOMPARE(rig.appLines(),
            (QStringList {"Satellite NA (A) - DNLK_NA - UPLK_NA", "Satellite NA (D) - DNLK_NA - UPLK_NA"}));

        rig.log.clear();
        m.onSerialRead("+TX=5,CAFE");
        QCOMPARE(rig.appLines(), QStringList {"A Tx error occured (5)"});

        m.onSerialRead("+RCONF=401620000,401680000,350,VLDA4");
        ModulationModel* modulation = m.tx()->modulationModel();
        QCOMPARE(modulation->frequencyMin(), 401620000u);
        QCOMPARE(modulation->frequencyMax(), 401680000u);
        QCOMPARE(modulation->power(), 350u);
        QCOMPARE(modulation->modulation(), int(ModulationModel::VLDA4));
        m.onSerialRead("+RCONF=401620000,401680000,350,QPSK");
        QCOMPARE(modulation->modulation(), int(ModulationModel::NA));
        QCOMPARE(modulation->power(), 350u);

        // A firmware assertion restores the workstation's UTC time.
        m.tx()->setCustomUtcTime("2031-01-01T00:00:00Z");
        rig.log.clear();
        m.onSerialRead("+ASSERT=stack overflow");
        QVERIFY(rig.logged("TAV ASSERT! stack overflow"));
        QVERIFY(rig.logged("A reset was triggered on device, stopping sequence and restoring UTC time..."));
        QVERIFY(qAbs(m.tx()->getUtcTime().secsTo(QDateTime::currentDateTimeUtc())) < 5);
    }

    void failedGetsShowNotAvailable()
    {
        Rig rig("TAV1");
        rig.manager.setMode(TavManager::EXPERT);
        QVERIFY(rig.connect(TavBoard::TAV1));
        QVERIFY(rig.manager.board()->txFrequency() > 0);
        QVERIFY(rig.sim.sendControl("error ATXFRQ 6"));
        rig.manager.getTxFrequency();
        QCOMPARE(rig.manager.board()->txFrequency(), 0u);
        QVERIFY(rig.sim.sendControl("error FW 6"));
        rig.manager.getFirmwareVersion();
        QCOMPARE(rig.manager.board()->firmwareVersion(), QString("NA"));

        // "10" counts as the raw format: it holds a "0".
        rig.manager.onSerialRead("+AFMT=1,16,32");
        QVERIFY(rig.logged("Message format: Norvane standard format"));
        rig.manager.onSerialRead("+AFMT=0,16,32");
        QVERIFY(rig.logged("Message format: Raw format"));
    }

    void setsSendTheirArguments()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        TavManager& m = rig.manager;
        const int before = requestsOf(rig.sim).size();
        QVERIFY(m.setGnssPosition(43.123456789, -1.5));
        QVERIFY(m.setPrepassEnable(true));
        m.setTxRedundancy(3); // whatever the module answers, the frame is what counts here
        QVERIFY(m.resetModule());
        const QStringList sent = requestsOf(rig.sim).mid(before);
        QCOMPARE(sent.value(0), QString("AT+POS=43.1235,-1.5"));
        QCOMPARE(sent.value(1), QString("AT+PREPASS_EN=1"));
        QCOMPARE(sent.value(2), QString("AT+TAV_REDUN=3"));
        QCOMPARE(sent.value(3), QString("AT+RST="));

        m.tx()->prepassProfile()->setPosition(Position {10.5, 20.25});
        QVERIFY(m.setPrepassConfig(2, 15.0, 8));
        const QString cfg = requestsOf(rig.sim).last();
        const QStringList args = cfg.mid(QString("AT+PREPASS_CFG=").size()).split(',');
        QCOMPARE(args.size(), 10);
        QCOMPARE(args.mid(0, 2), (QStringList {"10.5", "20.25"}));
        const QDateTime start = QDateTime::fromString(args[2], Qt::ISODate);
        const QDateTime end = QDateTime::fromString(args[3], Qt::ISODate);
        QCOMPARE(start.daysTo(end), qint64(2));
        QCOMPARE(args.mid(4), (QStringList {"15", "90", "8", "1000", "5", "30"}));
        QCOMPARE(int(m.tx()->prepassProfile()->config().minPassDuration), 8);
    }

    void uploadOnTrekonSendsTheWholeConfigurationAndEndsOnRestore()
    {
        Rig rig("TREKON");
        QVERIFY(rig.connect(TavBoard::TREKON));
        TavManager& m = rig.manager;
        m.tx()->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
        m.tx()->setLoraEnabled(true);
        const int before = requestsOf(rig.sim).size();
        QSignalSpy processing(&m, &TavManager::processingDataChanged);
        m.uploadConfig();
        QTRY_VERIFY_WITH_TIMEOUT(!m.processingData(), 5000);
        QCOMPARE(processing.last().at(0).toString(), QString("Configuration uploaded!"));
        QVERIFY(rig.logged("Config uploaded successfully!"));

        QStringList words = wordsOf(requestsOf(rig.sim).mid(before));
        // One AOP per satellite the module reported.
        const int satellites = m.tx()->prepassProfile()->satelliteAopModel()->rowCount();
        QVERIFY(satellites > 0);
        QCOMPARE(words.count("AOP"), satellites);
        words.removeAll("AOP");
        QCOMPARE(words,
            (QStringList {"ALRT_LIGHT", "ALRT_ACC", "ALRT_DRYC", "ALRT_PB", "PACQ_SENS", "ALRT_SENS", "PACQ",
                "POS", "UDATE", "PREPASS_EN", "TAV_REDUN", "PREPASS_CFG", "LORA_EN", "LORA_AEUI", "LORA_AKEY",
                "LORA_ACK", "LORA_REDUN", "RST"}));
        QVERIFY(rig.logged("Uploading current config to TREKON..."));
        QVERIFY(rig.logged("Reseting TREKON..."));
    }

    void uploadWithThePeriodicProfileSendsNoPrepassConfig()
    {
        Rig rig("TREKON");
        QVERIFY(rig.connect(TavBoard::TREKON));
        rig.manager.tx()->setSelectedProfile(TxManager::PERIODIC);
        const int before = requestsOf(rig.sim).size();
        rig.manager.uploadConfig();
        const QStringList sent = requestsOf(rig.sim).mid(before);
        QVERIFY(sent.contains("AT+PREPASS_EN=0"));
        QVERIFY(!wordsOf(sent).contains("PREPASS_CFG"));
        QVERIFY(!wordsOf(sent).contains("LORA_AEUI"));
    }

    void exportWritesNoByteAndImportRestoresTheViews()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("trekon.conf");
        QString exported;
        {
            Rig rig("TREKON");
            QVERIFY(rig.connect(TavBoard::TREKON));
            TavManager& m = rig.manager;
            TxManager* tx = m.tx();
            tx->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
            tx->prepassProfile()->setPosition(Position {48.25, 2.5});
            tx->prepassProfile()->setRedundancy(6);
            tx->prepassProfile()->setConfigMinElevation(20.0);
            tx->setLoraEnabled(true);
            tx->loraConfig()->setAppEui("0011223344556677");
            tx->loraConfig()->setRedundancy(2);
            m.board()->sensorListModel()->setThresholdValues(SensorModel::LIGHT, "100,900");
            m.board()->sensorListModel()->setAcquisitionPeriod(1200);

            const int before = rig.sim.transcriptEntries().size();
            QSignalSpy processing(&m, &TavManager::processingDataChanged);
            m.exportConfig(QUrl::fromLocalFile(path).toString());
            QCOMPARE(processing.last().at(0).toString(), QString("Configuration exported!"));
            QVERIFY(rig.logged("Config exported successfully!"));
            QTest::qWait(200);
            QCOMPARE(rig.sim.transcriptEntries().size(), before);

            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            exported = QString::fromUtf8(file.readAll());
            QVERIFY(exported.contains("AT+POS=48.25,2.5\r\n") || exported.contains("AT+POS=48.25,2.5\n"));
            QVERIFY(exported.contains("AT+ALRT_LIGHT=0,100,900"));
            QVERIFY(exported.contains("AT+PACQ=1200"));
            QVERIFY(exported.contains("AT+TAV_REDUN=6"));
            QVERIFY(exported.contains("AT+LORA_AEUI=00,11,22,33,44,55,66,77"));
            QVERIFY(exported.trimmed().endsWith("AT+RST="));
            QVERIFY(!exported.contains("LORA_DEUI"));
            // A file saved long ago.
            QVERIFY(exported.contains("AT+UDATE="));
            exported.replace(QRegularExpression("AT\\+UDATE=[^\r\n]*"), "AT+UDATE=2020-1-2T3:4:5Z");
            file.close();
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(exported.toUtf8());
        }

        Rig rig("TREKON");
        QVERIFY(rig.connect(TavBoard::TREKON));
        TavManager& m = rig.manager;
        m.tx()->setSelectedProfile(TxManager::PERIODIC);
        QSignalSpy processing(&m, &TavManager::processingDataChanged);
        m.importConfig(QUrl::fromLocalFile(path).toString());
        QCOMPARE(processing.last().at(0).toString(), QString("Configuration imported!"));
        QVERIFY(rig.logged("Config imported successfully!"));
        TxManager* tx = m.tx();
        QCOMPARE(tx->selectedProfile(), TxManager::PREPASS_ON_MODULE);
        QCOMPARE(tx->prepassProfile()->position().latitude, 48.25);
        QCOMPARE(int(tx->prepassProfile()->redundancy()), 6);
        QCOMPARE(tx->prepassProfile()->config().minElevation, 20.0);
        QVERIFY(tx->loraEnabled());
        QCOMPARE(tx->loraConfig()->appEui(), QString("0011223344556677"));
        QCOMPARE(int(tx->loraConfig()->redundancy()), 2);
        SensorModel* sensors = m.board()->sensorListModel();
        QCOMPARE(sensors->data(sensors->index(4), Qt::UserRole + 7).toString(), QString("100,900"));
        QCOMPARE(int(sensors->acquisitionPeriod()), 1200);
        // The file's date, long past, leaves the tool's clock alone.
        QCOMPARE(tx->utcTimeOffset(), 0);
        QVERIFY(rig.logged("UTC date not imported: the upload sends the tool's current time"));
    }

    // An upload sends, in order, the commands an export writes; a variant
    // that refuses one of them ends its upload there.
    void uploadSendsWhatExportWrites_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<int>("variant");
        QTest::addColumn<bool>("whole");
        QTest::newRow("TAV1") << "TAV1" << int(TavBoard::TAV1) << false;
        QTest::newRow("TAV2") << "TAV2" << int(TavBoard::TAV2) << false;
        QTest::newRow("RIX") << "RIX" << int(TavBoard::RIX) << false;
        QTest::newRow("TREKON") << "TREKON" << int(TavBoard::TREKON) << true;
    }

    void uploadSendsWhatExportWrites()
    {
        QFETCH(QString, module);
        QFETCH(int, variant);
        QFETCH(bool, whole);
        Rig rig(module);
        QVERIFY(rig.connect(TavBoard::Module(variant)));
        TavManager& m = rig.manager;
        m.tx()->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
        m.tx()->setLoraEnabled(true);
        // Orbit data of the module's own: no orbit-data service is reached.
        const QDateTime epoch(QDate(2026, 12, 1), QTime(0, 0), Qt::UTC);
        m.tx()->prepassProfile()->satelliteAopModel()->updateAopData(
            'A', epoch, 7000, 98, 10, -25, 100, 0, "NA", SatelliteAop::DNLK_NA, SatelliteAop::UPLK_NA);

        QTemporaryDir dir;
        const QString path = dir.filePath("module.conf");
        m.exportConfig(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList exported = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);

        const int before = requestsOf(rig.sim).size();
        m.uploadConfig();
        QStringList sent = requestsOf(rig.sim).mid(before);
        // The date goes out as the tool's clock stands at that moment.
        static const QRegularExpression date("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ?");
        const auto undated = [](QStringList lines) { return lines.replaceInStrings(date, "<date>"); };
        QVERIFY(!sent.isEmpty());
        QCOMPARE(undated(sent), undated(exported.mid(0, sent.size())));
        if (whole)
            QCOMPARE(sent.size(), exported.size());
    }

    void importRefusesTheDeviceEuiAndUnreadableFiles()
    {
        Rig rig("TREKON");
        QVERIFY(rig.connect(TavBoard::TREKON));
        QTemporaryDir dir;
        const QString path = dir.filePath("bad.conf");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("AT+PACQ=900\r\nAT+LORA_DEUI=70,B3,D5,7E,D0,01,02,03\r\nAT+PACQ=100\r\n");
        file.close();
        QSignalSpy processing(&rig.manager, &TavManager::processingDataChanged);
        rig.manager.importConfig(path);
        QVERIFY(rig.logged("Configuration not allowed: device EUI cannot be set"));
        QCOMPARE(processing.last().at(0).toString(), QString("Unable to import config!"));
        QCOMPARE(processing.last().at(1).toBool(), true);
        // Lines before the refused one stay applied.
        QCOMPARE(int(rig.manager.board()->sensorListModel()->acquisitionPeriod()), 900);

        rig.manager.importConfig(dir.filePath("missing.conf"));
        QCOMPARE(processing.last().at(0).toString(), QString("Unable to import config!"));

        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("AT+PACQ=300\r\nhello\r\n");
        file.close();
        rig.manager.importConfig(path);
        QVERIFY(rig.logged("Unable to parse configuration entry: hello"));

        // Nothing to upload is refused, not "imported".
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("\r\n  \r\nAT+UDATE=2026-12-10T14:03:27Z\r\n");
        file.close();
        rig.manager.importConfig(path);
        QCOMPARE(processing.last().at(0).toString(), QString("Unable to import config!"));
        QVERIFY(rig.logged("Unable to import config: " + path + " holds no configuration entry"));

        rig.manager.exportConfig(dir.filePath("no/such/folder/out.conf"));
        QCOMPARE(processing.last().at(0).toString(), QString("Unable to export config!"));
        QCOMPARE(processing.last().at(1).toBool(), true);

        // A setting that cannot go on one line is refused, and fails the export
        // without touching the file there.
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("AT+PACQ=300\r\n");
        file.close();
        rig.manager.board()->sensorListModel()->setThresholdValues(SensorModel::LIGHT, "100\n900");
        rig.manager.exportConfig(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("AT+PACQ=300\r\n"));
        file.close();
        QCOMPARE(processing.last().at(0).toString(), QString("Unable to export config!"));
        QCOMPARE(processing.last().at(1).toBool(), true);
        QVERIFY(!rig.manager.lastOperationResult().ok());
        QVERIFY(rig.logged("Unable to export config: the sensor configuration could not be collected"));
    }

    // Each operation of several requests ends in one result: its summary,
    // the first failure that led there, and the items that failed.
    void operationsEndInTheirResults_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("failure");
        const QString refused = AtCmdHandler::errorToStr(3);
        QTest::newRow("upload confirmed") << "TREKON" << "" << "uploadConfig" << int(OperationResult::DONE)
                                          << "Configuration uploaded!" << "" << "";
        QTest::newRow("upload refused") << "TREKON" << "error PACQ_SENS 3" << "uploadConfig"
                                        << int(OperationResult::FAILED) << "Unable to set sensor configuration!"
                                        << refused << "AT+PACQ_SENS=";
        QTest::newRow("import unparseable")
            << "TREKON" << "" << "importConfig" << int(OperationResult::FAILED) << "Unable to import config!"
            << "Unable to parse configuration entry: AT+POS=north" << "AT+POS=north";
        QTest::newRow("export unwritable") << "TREKON" << "" << "exportConfig" << int(OperationResult::FAILED)
                                           << "Unable to export config!" << "Unable to export config: " << "";
        QTest::newRow("orbit data refused") << "TAV2" << "error SAT 3" << "setAopDataAndConstellationStatus"
                                            << int(OperationResult::FAILED) << "Orbit data not set for "
                                            << refused << "";
        QTest::newRow("next pass") << "TAV2" << "" << "getSatelliteNextPass" << int(OperationResult::DONE)
                                   << "Next pass of " << "" << "";
        QTest::newRow("next pass refused") << "TAV2" << "error NEXTPASS 3" << "getSatelliteNextPass"
                                           << int(OperationResult::FAILED) << "Unable to get satellite next pass"
                                           << refused << "";
        QTest::newRow("tx sequence") << "TAV2" << "" << "txSequence" << int(OperationResult::DONE)
                                     << "Tx sequence complete" << "" << "";
        QTest::newRow("tx without payload") << "TAV2" << "no payload" << "txSequence"
                                            << int(OperationResult::FAILED) << "Error: No payload to transmit."
                                            << "" << "";
    }

    void operationsEndInTheirResults()
    {
        QFETCH(QString, module);
        QFETCH(QString, control);
        QFETCH(QString, operation);
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(QString, cause);
        QFETCH(QString, failure);
        Rig rig(module, {"--tx-delay", "50"});
        QVERIFY(rig.connect(module == "TAV2" ? TavBoard::TAV2 : TavBoard::TREKON));
        TavManager& m = rig.manager;
        // The module's own orbit data: no orbit-data service is reached.
        if (module == "TAV2")
            m.getAopData();
        QVERIFY(control.isEmpty() || control == "no payload" || rig.sim.sendControl(control));
        QTemporaryDir dir;
        const QString file = dir.filePath("kit.conf");
        QSignalSpy finished(&m, &TavManager::operationFinished);
        if (operation == "uploadConfig") {
            m.uploadConfig();
        } else if (operation == "importConfig") {
            QFile conf(file);
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write("AT+PACQ=30\r\nAT+POS=north\r\n");
            conf.close();
            m.importConfig(file);
        } else if (operation == "exportConfig") {
            m.exportConfig(dir.filePath("no/such/folder/out.conf"));
        } else if (operation == "setAopDataAndConstellationStatus") {
            m.setAopDataAndConstellationStatus();
        } else if (operation == "getSatelliteNextPass") {
            m.getSatelliteNextPass();
        } else {
            m.tx()->periodicProfile()->setRedundancy(1);
            m.tx()->periodicProfile()->setPeriod(0);
            if (control.isEmpty())
                QVERIFY(m.tx()->addPayloadItem("CAFE01000000000000000000000000000000000000000000"));
            m.startTxSequence(1);
        }
        const auto ended = [&finished, &operation]() {
            for (const QList<QVariant>& signal : std::as_const(finished)) {
                if (signal.at(0).toString() == operation)
                    return true;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(ended(), 10000);
        m.tx()->stop();
        OperationResult result;
        for (const QList<QVariant>& signal : std::as_const(finished)) {
            if (signal.at(0).toString() == operation)
                result = signal.at(1).value<OperationResult>();
        }
        QCOMPARE(int(result.status), status);
        QVERIFY2(result.text.startsWith(text), qPrintable(result.text));
        QVERIFY2(cause.isEmpty() ? result.cause.isEmpty() : result.cause.startsWith(cause), qPrintable(result.cause));
        if (failure.isEmpty())
            QVERIFY(result.failures.isEmpty() || operation == "setAopDataAndConstellationStatus");
        else
            QVERIFY2(result.failures.value(0).startsWith(failure), qPrintable(result.failures.join(',')));
        if (operation == "setAopDataAndConstellationStatus")
            QCOMPARE(result.failures.size(), m.tx()->prepassProfile()->satelliteAopModel()->rowCount());
    }

    void periodicSequenceOnTav2GoesOutAndCompletes()
    {
        Rig rig("TAV2", {"--tx-delay", "50"});
        QVERIFY(rig.connect(TavBoard::TAV2));
        TxManager* tx = rig.manager.tx();
        tx->setSelectedProfile(TxManager::PERIODIC);
        tx->periodicProfile()->setRedundancy(1);
        tx->periodicProfile()->setPeriod(0);
        tx->periodicProfile()->setDelay(0);
        // Payloads of the 24 bytes the module's LDA2 modulation carries.
        QVERIFY(tx->addPayloadItem("CAFE01000000000000000000000000000000000000000000"));
        QVERIFY(tx->addPayloadItem("CAFE02000000000000000000000000000000000000000000"));
        QSignalSpy completed(tx, &TxManager::sequenceCompleted);
        const int before = requestsOf(rig.sim).size();
        tx->start(1);
        QTRY_VERIFY2_WITH_TIMEOUT(completed.count() == 1, qPrintable(rig.log.join('\n')), 10000);
        QCOMPARE(requestsOf(rig.sim).mid(before),
            (QStringList {"AT+ATXRP=0", "AT+TX=CAFE01000000000000000000000000000000000000000000",
                "AT+ATXRP=0", "AT+TX=CAFE02000000000000000000000000000000000000000000"}));
        tx->stop();
    }

    void periodicBurstOnTav2IsReportedTransmitted()
    {
        Rig rig("TAV2", {"--tx-delay", "50"});
        QVERIFY(rig.connect(TavBoard::TAV2));
        TxManager* tx = rig.manager.tx();
        tx->setSelectedProfile(TxManager::PERIODIC);
        tx->periodicProfile()->setRedundancy(2);
        tx->periodicProfile()->setDelay(1);
        QVERIFY(tx->addPayloadItem("CAFE01000000000000000000000000000000000000000000"));
        QSignalSpy completed(tx, &TxManager::sequenceCompleted);
        tx->start(1);
        QTRY_VERIFY2_WITH_TIMEOUT(completed.count() == 1, qPrintable(rig.log.join('\n')), 10000);
        QVERIFY(rig.logged(
            "Data CAFE01000000000000000000000000000000000000000000 successfully transmitted! (1/2)"));
        QVERIFY(rig.logged(
            "Data CAFE01000000000000000000000000000000000000000000 successfully transmitted! (2/2)"));
        tx->stop();
    }

    void trekonTransmitResultsCountAsSent()
    {
        Rig rig("TREKON", {"--tx-delay", "50"});
        QVERIFY(rig.connect(TavBoard::TREKON));
        TxManager* tx = rig.manager.tx();
        tx->setSelectedProfile(TxManager::PERIODIC);
        tx->periodicProfile()->setRedundancy(1);
        QVERIFY(tx->addPayloadItem("BEEF"));
        QSignalSpy completed(tx, &TxManager::sequenceCompleted);
        tx->start(1);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, 10000);
        QVERIFY(rig.logged("Data BEEF successfully transmitted! (1/1)"));
        QVERIFY(requestsOf(rig.sim).contains("AT+TX=BEEF"));
        tx->stop();
    }

    void prepassOnModuleOnRixAsksForTheNextPass()
    {
        Rig rig("RIX", {"--pass-in", "1", "--pass-duration", "2", "--tx-delay", "100"});
        QVERIFY(rig.connect(TavBoard::RIX));
        TxManager* tx = rig.manager.tx();
        tx->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
        QVERIFY(tx->addPayloadItem("C0FFEE111111111111111111111111111111111111111111"));
        tx->payloadListModel()->setData(
            tx->payloadListModel()->index(0), true, PayloadModel::OptionImportantRole);
        const int before = requestsOf(rig.sim).size();
        tx->start(1);
        QTRY_VERIFY_WITH_TIMEOUT(requestsOf(rig.sim).mid(before).contains(
                                     "AT+TXDATA=C0FFEE111111111111111111111111111111111111111111"),
            5000);
        const QStringList sent = requestsOf(rig.sim).mid(before);
        QCOMPARE(sent.value(0), QString("AT+TXFIFO="));
        QCOMPARE(sent.value(1), QString("AT+NEXTPASS=?"));
        QVERIFY(sent.contains("AT+ATXRP=10,60000"));
        QVERIFY(sent.indexOf("AT+ATXRP=10,60000")
            < sent.indexOf("AT+TXDATA=C0FFEE111111111111111111111111111111111111111111"));
        QVERIFY(rig.logged("Flushing Tx FIFO..."));
        QCOMPARE(tx->prepassProfile()->nextPassModel()->rowCount(), 1);
        tx->stop();
    }

    void outOfServiceSatelliteGetsTheReferenceOrbit()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        SatelliteAopModel* model = rig.manager.tx()->prepassProfile()->satelliteAopModel();
        const QDateTime epoch(QDate(2026, 12, 1), QTime(0, 0), Qt::UTC);
        // Module-reported first (supported), then named by the web service.
        for (const QChar id : {QChar('A'), QChar('B')})
            model->updateAopData(
                id, epoch, 7000, 98, 10, -25, 100, 0, "NA", SatelliteAop::DNLK_NA, SatelliteAop::UPLK_NA);
        model->updateAopData('A', epoch, 7100, 98.5, 20, -25.1, 101, -0.5, "ANGELS", SatelliteAop::DNLK_OFF,
            SatelliteAop::UPLK_OUT_OF_SERVICE);
        model->updateAopData('B', epoch, 7200, 99.5, 30, -25.2, 102, -1.5, "METOP-B",
            SatelliteAop::DNLK_ARGOS_3_ON, SatelliteAop::UPLK_ARGOS_3_ON);
        model->updateAopData('C', epoch, 7300, 97.5, 40, -25.3, 103, -2.5, "NOAA-19", SatelliteAop::DNLK_OFF,
            SatelliteAop::UPLK_ARGOS_3_ON);
        const int before = requestsOf(rig.sim).size();
        QVERIFY(rig.manager.setAopDataAndConstellationStatus());
        const QStringList sent = requestsOf(rig.sim).mid(before);
        const QStringList refParams = model->getSatelliteItem(QChar('B'))->getAopParams().mid(1);
        QCOMPARE(sent.value(0), "AT+AOP=A," + refParams.join(','));
        QCOMPARE(sent.value(1), QString("AT+SAT=A,0,3"));
        QCOMPARE(sent.value(2), "AT+AOP=B," + refParams.join(','));
        QCOMPARE(sent.value(3), QString("AT+SAT=B,3,0"));
        QCOMPARE(sent.size(), 4);
        QVERIFY(rig.logged("AOP data have expired for this satellite, copying data from METOP-B (B)..."));
        QVERIFY(rig.logged("Satellite 'C' not supported, pass"));

        // An orbit the module refuses fails the upload, even when a later
        // satellite's goes through.
        model->updateAopData('A', epoch, 6000, 98.5, 20, -25.1, 101, -0.5, "ANGELS", SatelliteAop::DNLK_OFF,
            SatelliteAop::UPLK_ARGOS_3_ON);
        QVERIFY(!rig.manager.setAopDataAndConstellationStatus());
        QVERIFY(rig.logged("Orbit data not set for ANGELS (A)"));
        QVERIFY(requestsOf(rig.sim).last().startsWith("AT+SAT=B,"));
    }

    void requestTxShapesTheFramesPerProfile()
    {
        Rig rig("TAV2");
        QVERIFY(rig.connect(TavBoard::TAV2));
        TavManager& m = rig.manager;
        TxManager* tx = m.tx();
        const int before = requestsOf(rig.sim).size();
        tx->setSelectedProfile(TxManager::PERIODIC);
        QVERIFY(m.requestTx("AB", Payload::Options {true, false, false}, false));
        QVERIFY(m.requestTx("", Payload::Options {false, false, false}, true));
        QVERIFY(m.requestTx("", Payload::Options {true, false, false}, true));
        tx->setSelectedProfile(TxManager::PREPASS);
        QVERIFY(m.requestTx("CD", Payload::Options {false, true, false}, false));
        QCOMPARE(requestsOf(rig.sim).mid(before),
            (QStringList {"AT+ATXRP=0", "AT+TX=AB,0x4", "AT+TXFIFO=", "AT+ATXRP=0", "AT+TX=CD"}));

        Rig tav1("TAV1");
        QVERIFY(tav1.connect(TavBoard::TAV1));
        const int tav1Before = requestsOf(tav1.sim).size();
        QVERIFY(tav1.manager.requestTx("", Payload::Options {true, true, true}, true));
        QCOMPARE(requestsOf(tav1.sim).size(), tav1Before);
    }
};

QTEST_GUILESS_MAIN(TestTavManager)
#include "tst_tavmanager.moc"
