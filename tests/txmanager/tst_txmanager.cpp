#include "../common/TxHarness.h"
#include "log/LogModel.h"
#include "tx/PayloadModel.h"
#include "tx/TxRecordJournal.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

namespace {

const QString payloadError
    = QStringLiteral("Payload P%1 (%2) is not correctly formatted.\r\nLength must be %3 "
                     "bytes\r\n(minus two bytes if ack or downlink options are enabled).");

QString csvDate(const QDateTime& date)
{
    return date.toUTC().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
}

// One line of the portal's export for a pass starting `startSec` after the
// harness origin and lasting `durationSec`.
QString passLine(const QString& satellite, qint64 startSec, int durationSec)
{
    const QDateTime start = TxHarness::origin().addSecs(startSec);
    return QStringLiteral("%1;%2;%3;%4;%5;45.5;10;90;170\n")
        .arg(satellite, csvDate(start), csvDate(start.addSecs(durationSec / 2)),
            csvDate(start.addSecs(durationSec)),
            QTime(0, 0).addSecs(durationSec).toString(QStringLiteral("hh:mm:ss")));
}

} // namespace

class TestTxManager : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeCsv(const QString& name, const QString& rows)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write("Satellite;Start;Middle;End;Duration;Elevation;Az start;Az middle;Az end\n");
        file.write(rows.toUtf8());
        return path;
    }

private slots:
    void initTestCase()
    {
        TxHarness::useTestSettings(QStringLiteral("tst_txmanager"));
        QVERIFY(m_dir.isValid());
    }

    void init() { QSettings().clear(); }

    void periodicExampleSendsEveryPayloadOnTime()
    {
        TxHarness h;
        h.tx->periodicProfile()->setRedundancy(3);
        h.tx->periodicProfile()->setDelay(60);
        h.tx->periodicProfile()->setPeriod(5);
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->addPayloadItem(QStringLiteral("0304"));
        QCOMPARE(h.tx->payloadListModel()->getRedundancy(1), quint8(3));

        qint64 completedAt = -1;
        QObject::connect(
            h.tx.get(), &TxManager::sequenceCompleted, [&]() { completedAt = h.clock.elapsed(); });
        QSignalSpy indexSpy(h.tx.get(), &TxManager::currentIndexUpdated);
        // The lines a follower echoes as the sequence's progress, and only those.
        QStringList progress;
        QObject::connect(&h.logger, &Logger::eventLogged, [&progress](Logger::Event event, const QString& line) {
            progress << QString::number(event) + ' ' + LogModel::textOf(line);
        });

        h.tx->start(1);
        h.advanceSec(20 * 60);

        QCOMPARE(h.sendTimesSec(), (QList<qint64> {0, 60, 120, 420, 480, 540}));
        const QList<TxCall> sends = h.sends();
        for (int i = 0; i < sends.size(); ++i)
            QCOMPARE(sends.at(i).data, i < 3 ? QStringLiteral("0102") : QStringLiteral("0304"));
        // Completed on P1's third answer, two seconds after its third send.
        QCOMPARE(completedAt, 542000);
        QCOMPARE(indexSpy.size(), 1);
        QCOMPARE(indexSpy.at(0).at(0).value<quint8>(), quint8(1));
        QVERIFY(h.tx->sequenceRunning());
        QVERIFY(!h.tx->ackPending());
        QCOMPARE(h.tx->currentSequenceRepeatCount(), quint8(1));
        QCOMPARE(h.tx->payloadListModel()->getStatus(1), Payload::COMPLETE);
        QCOMPARE(h.tx->payloadListModel()->getTxCount(1), quint8(3));
        QVERIFY(h.logs.contains(QStringLiteral("--- Tx SEQUENCE START (x1) ---")));
        QVERIFY(h.logs.contains(QStringLiteral("Data 0304 successfully transmitted! (3/3)")));
        QVERIFY(h.logs.contains(QStringLiteral("--- Tx SEQUENCE COMPLETE (1/1) ---")));

        // "Reset" after completion returns to idle and flushes the module.
        const int flushes = h.flushCount();
        h.tx->stop();
        QVERIFY(!h.tx->sequenceRunning());
        QCOMPARE(h.flushCount(), flushes + 1);
        QCOMPARE(h.tx->currentSequenceRepeatCount(), quint8(0));
        QCOMPARE(h.tx->payloadListModel()->getStatus(1), Payload::NONE);

        const QString sequence = QString::number(Logger::TX_SEQUENCE) + ' ';
        const QString result = QString::number(Logger::TX_RESULT) + ' ';
        QStringList expected {sequence + "--- Tx SEQUENCE START (x1) ---"};
        for (const char* data : {"0102", "0304"})
            for (int count = 1; count <= 3; ++count)
                expected << result + "Data " + data + " successfully transmitted! (" + QString::number(count) + "/3)";
        expected << sequence + "--- Tx SEQUENCE COMPLETE (1/1) ---" << sequence + "--- Tx SEQUENCE STOP/RESET ---";
        QCOMPARE(progress, expected);
    }

    void countdownShowsSecondsToNextTx()
    {
        TxHarness h;
        h.tx->periodicProfile()->setRedundancy(2);
        h.tx->addPayloadItem(QStringLiteral("AB"));
        h.tx->start(1);
        // Delay of 60 s armed at 0; at the refresh of 15 s, 45 s remain,
        // shown rounded up as 46, and so until the next refresh.
        h.clock.advance(15500);
        QCOMPARE(h.tx->timeUntilNextTx(), 46);
        h.clock.advance(44000);
        QCOMPARE(h.tx->timeUntilNextTx(), 2);
    }

    void mismatchingResponseStillAdvances()
    {
        TxHarness h;
        h.responseText = QStringLiteral("BEEF");
        h.tx->periodicProfile()->setRedundancy(2);
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->start(1);
        h.advanceSec(5);
        QVERIFY(h.logs.contains(QStringLiteral("Data 0102 could not be sent")));
        QCOMPARE(h.tx->payloadListModel()->getTxCount(0), quint8(1));
        h.advanceSec(120);
        QCOMPARE(h.sendTimesSec(), (QList<qint64> {0, 60}));
        QCOMPARE(h.tx->currentSequenceRepeatCount(), quint8(1));
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::COMPLETE);
    }

    void responseMatchesWhateverTheLetterCase()
    {
        TxHarness h;
        h.responseText = QStringLiteral("abcd");
        h.tx->addPayloadItem(QStringLiteral("abcd"));
        QCOMPARE(h.tx->payloadListModel()->getMessage(0), QStringLiteral("ABCD"));
        h.tx->start(1);
        h.advanceSec(5);
        QVERIFY(h.logs.contains(QStringLiteral("Data ABCD successfully transmitted! (1/4)")));
    }

    void stopWhileTxPendingKeepsAckUntilResponse()
    {
        TxHarness h;
        h.responseDelayMs = -1;
        h.tx->addPayloadItem(QStringLiteral("0102"));
        QSignalSpy ackSpy(h.tx.get(), &TxManager::ackPendingChanged);
        h.tx->start(1);
        QVERIFY(h.tx->ackPending());
        h.tx->stop();
        QVERIFY(!h.tx->sequenceRunning());
        QVERIFY(h.tx->ackPending());
        QCOMPARE(h.flushCount(), 1);
        QVERIFY(h.calls.last().flush);
        QVERIFY(h.logs.contains(QStringLiteral("--- Tx SEQUENCE STOP/RESET ---")));

        h.advanceSec(30 * 60);
        QCOMPARE(h.sends().size(), 1);
        h.tx->handleTxResponse(QStringLiteral("0102"));
        QVERIFY(!h.tx->ackPending());
        QCOMPARE(ackSpy.size(), 2);
        // The late answer is not counted.
        QVERIFY(!h.logs.contains(QStringLiteral("Data 0102 successfully transmitted! (1/4)")));
        QCOMPARE(h.tx->payloadListModel()->getTxCount(0), quint8(0));
    }

    void responseWithoutPendingTxIsIgnored()
    {
        TxHarness h;
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->handleTxResponse(QStringLiteral("0102"));
        QVERIFY(h.logs.filter(QStringLiteral("Data ")).isEmpty());
    }

    void errorPayloadAtStartStopsSequence()
    {
        TxHarness h;
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->modulationModel()->setModulation(ModulationModel::LDA2);
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::ERROR);
        QSignalSpy errorSpy(h.tx.get(), &TxManager::txErrorOccured);
        QSignalSpy stoppedSpy(h.tx.get(), &TxManager::sequenceStopped);

        h.tx->start(1);
        QCOMPARE(errorSpy.size(), 1);
        QCOMPARE(errorSpy.at(0).at(0).toString(),
            payloadError.arg(0).arg(QStringLiteral("0102"), QStringLiteral("24")));
        QCOMPARE(stoppedSpy.size(), 1);
        QVERIFY(!h.tx->sequenceRunning());
        h.advanceSec(600);
        QVERIFY(h.sends().isEmpty());
        // The malformed payload stays marked after the stop.
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::ERROR);
    }

    void nonHexPayloadIsRefused_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << QStringLiteral("HELLO");
        QTest::newRow("carriage return") << QStringLiteral("01\r02");
        QTest::newRow("line feed") << QStringLiteral("0102\n");
        QTest::newRow("blank") << QStringLiteral("01 02");
    }

    void nonHexPayloadIsRefused()
    {
        QFETCH(QString, message);
        TxHarness h;
        h.tx->addPayloadItem(message);
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::ERROR);
        QSignalSpy errorSpy(h.tx.get(), &TxManager::txErrorOccured);
        h.tx->start(1);
        QCOMPARE(errorSpy.size(), 1);
        QVERIFY(errorSpy.at(0).at(0).toString().contains(QStringLiteral("is not correctly formatted")));
        QVERIFY(h.sends().isEmpty());
    }

    void errorInALaterPayloadStopsTheStartAndNamesIt()
    {
        TxHarness h;
        h.tx->modulationModel()->setModulation(ModulationModel::LDK);
        h.tx->periodicProfile()->setRedundancy(1);
        h.tx->addPayloadItem(QString(32, QLatin1Char('A')));
        h.tx->addPayloadItem(QStringLiteral("0102"));
        QSignalSpy errorSpy(h.tx.get(), &TxManager::txErrorOccured);
        h.tx->start(1);
        QCOMPARE(errorSpy.size(), 1);
        QCOMPARE(errorSpy.at(0).at(0).toString(),
            payloadError.arg(1).arg(QStringLiteral("0102"), QStringLiteral("16 or 24")));
        QVERIFY(!h.tx->sequenceRunning());
        QVERIFY(!h.tx->ackPending());
        // Refused before anything is sent: it would fail at the module.
        h.advanceSec(600);
        QVERIFY(h.sends().isEmpty());
    }

    void repetitionsRestartAfterThePeriod()
    {
        TxHarness h;
        h.tx->periodicProfile()->setRedundancy(2);
        h.tx->periodicProfile()->setPeriod(5);
        h.tx->addPayloadItem(QStringLiteral("0A0B"));
        QSignalSpy completedSpy(h.tx.get(), &TxManager::sequenceCompleted);
        QSignalSpy indexSpy(h.tx.get(), &TxManager::currentIndexUpdated);
        h.tx->start(2);
        h.advanceSec(3600);
        // Round 2 starts one period after round 1's last answer (62 s).
        QCOMPARE(h.sendTimesSec(), (QList<qint64> {0, 60, 362, 422}));
        QCOMPARE(completedSpy.size(), 1);
        QCOMPARE(h.tx->currentSequenceRepeatCount(), quint8(2));
        QVERIFY(h.logs.contains(QStringLiteral("--- Tx SEQUENCE COMPLETE (1/2) ---")));
        QVERIFY(h.logs.contains(QStringLiteral("--- Tx SEQUENCE COMPLETE (2/2) ---")));
        QCOMPARE(indexSpy.size(), 1);
        QCOMPARE(indexSpy.at(0).at(0).value<quint8>(), quint8(0));
    }

    void refusedTxIsLoggedAndNotPending()
    {
        TxHarness h;
        h.acceptTx = false;
        h.responseDelayMs = -1;
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->start(1);
        QVERIFY(!h.tx->ackPending());
        QVERIFY(h.logs.contains(QStringLiteral("Unable to write Tx command")));
        h.tx->stop();
        QVERIFY(h.logs.contains(QStringLiteral("Unable to flush Tx payloads list")));
    }

    // A module that goes quiet (muted, unplugged) must not hold the sequence:
    // a Tx still unanswered when the next is due, or the last Tx of a round
    // unanswered after the wait, counts as not sent.
    void unansweredTxCountAsNotSentAndTheRoundsGoOn()
    {
        TxHarness h;
        h.responseDelayMs = -1;
        h.tx->periodicProfile()->setRedundancy(2);
        h.tx->periodicProfile()->setDelay(10);
        h.tx->periodicProfile()->setPeriod(1);
        h.tx->addPayloadItem(QStringLiteral("0A0B"));
        QSignalSpy completedSpy(h.tx.get(), &TxManager::sequenceCompleted);
        QSignalSpy endedSpy(h.tx.get(), &TxManager::sequenceEnded);
        h.tx->start(2);
        h.advanceSec(10);
        QCOMPARE(h.logs.count(QStringLiteral("Data 0A0B could not be sent")), 1);
        QVERIFY(h.tx->ackPending());
        QCOMPARE(h.tx->payloadListModel()->getTxCount(0), quint8(1));
        h.advanceSec(TxManager::TX_RESULT_WAIT_MS / 1000 - 1);
        QCOMPARE(h.tx->currentSequenceRepeatCount(), quint8(0));
        h.advanceSec(1);
        QCOMPARE(h.tx->currentSequenceRepeatCount(), quint8(1));
        QVERIFY(!h.tx->ackPending());
        QCOMPARE(h.logs.count(QStringLiteral("No Tx result from the module")), 2);

        // Round 2 starts one period after round 1 was given up, and answers
        // count again.
        h.responseDelayMs = 2000;
        h.advanceSec(600);
        QCOMPARE(h.sendTimesSec(), (QList<qint64> {0, 10, 76, 86}));
        QVERIFY(h.logs.contains(QStringLiteral("Data 0A0B successfully transmitted! (2/2)")));
        QCOMPARE(h.logs.count(QStringLiteral("Data 0A0B could not be sent")), 2);
        // The sequence ends, and says that it did not complete.
        QVERIFY(h.logs.contains(QStringLiteral("--- Tx SEQUENCE ENDED (1/2): 2 of 2 transmissions failed ---")));
        QVERIFY(h.logs.contains(QStringLiteral("--- Tx SEQUENCE COMPLETE (2/2) ---")));
        QCOMPARE(completedSpy.size(), 0);
        QCOMPARE(endedSpy.size(), 1);
        QCOMPARE(endedSpy.at(0), (QVariantList {2, 4}));
        QCOMPARE(h.tx->payloadListModel()->data(h.tx->payloadListModel()->index(0), PayloadModel::SentCountRole), 2);
        QCOMPARE(h.tx->payloadListModel()->data(h.tx->payloadListModel()->index(0), PayloadModel::FailedCountRole), 2);

        // One record per Tx, as it ended, and the exports read back whole.
        const TxRecordModel* records = h.tx->txRecords();
        QCOMPARE(records->noAnswerCount(), 2);
        QCOMPARE(records->sentCount(), 2);
        QCOMPARE(records->summary(), QStringLiteral("2 of 4 transmissions failed (No Tx result from the module ×2)"));
        QTemporaryDir dir;
        QVERIFY(records->exportTo(dir.filePath("tx.jsonl"), TxRecordModel::JSON_LINES).isEmpty());
        QVERIFY(records->exportTo(dir.filePath("tx.csv"), TxRecordModel::CSV).isEmpty());
        QFile jsonl(dir.filePath("tx.jsonl"));
        QFile csv(dir.filePath("tx.csv"));
        QVERIFY(jsonl.open(QIODevice::ReadOnly) && csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = jsonl.readAll().split('\n');
        const QList<QByteArray> rows = csv.readAll().split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows.constFirst(), QByteArray("time,payload,message,attempt,round,profile,result,error,resultTime,pass,inView\r"));
        const QStringList expected {"no answer 1/2 1", "no answer 2/2 1", "sent 1/2 2", "sent 2/2 2"};
        for (int i = 0; i < 4; ++i) {
            QJsonParseError error;
            const QJsonObject object = QJsonDocument::fromJson(lines.at(i), &error).object();
            QCOMPARE(error.error, QJsonParseError::NoError);
            QCOMPARE(object.value("result").toString() + ' ' + object.value("attempt").toString() + ' '
                    + QString::number(object.value("round").toInt()),
                expected.at(i));
            QCOMPARE(object.value("time").toString(), TxHarness::origin().addSecs(h.sendTimesSec().at(i)).toString(Qt::ISODateWithMs));
            TxRecord back;
            QVERIFY(TxRecordFormat::fromJson(object, &back));
            QCOMPARE(TxRecordFormat::jsonLine(back), lines.at(i) + '\n');
            const QList<QByteArray> fields = rows.at(i + 1).split(',');
            QCOMPARE(fields.size(), 11);
            QCOMPARE(fields.at(6), object.value("result").toString().toUtf8());
            QCOMPARE(fields.at(2), QByteArray("0A0B"));
        }
        // The newest is the first row.
        QCOMPARE(records->data(records->index(0), TxRecordModel::AttemptRole).toString(), QStringLiteral("2/2"));
        QCOMPARE(records->data(records->index(0), TxRecordModel::RoundRole).toInt(), 2);
    }

    // The records stay within their bounds, the oldest dropped first: the
    // count for lean records, the memory for records with many satellites.
    void recordsAreBounded_data()
    {
        QTest::addColumn<int>("satellites");
        QTest::addColumn<bool>("countBound");
        QTest::newRow("lean") << 0 << true;
        QTest::newRow("four in view") << 4 << false;
    }

    void recordsAreBounded()
    {
        QFETCH(int, satellites);
        QFETCH(bool, countBound);
        TxRecordModel records;
        TxRecord record;
        record.message = QByteArray(48, 'A');
        for (int i = 0; i < satellites; ++i)
            record.inView.append({QStringLiteral("A1"), 20.f});
        const int appended = TxRecordModel::MAX_RECORDS + 10;
        for (int i = 0; i < appended; ++i) {
            record.timeMs = i;
            record.result = i % 3 == 0 ? TxRecord::FAILED : TxRecord::SENT;
            records.append(record);
        }
        QVERIFY(records.footprint() <= TxRecordModel::MAX_BYTES);
        QCOMPARE(records.count() == TxRecordModel::MAX_RECORDS, countBound);
        QVERIFY(records.count() > TxRecordModel::MAX_RECORDS / 4);
        QCOMPARE(records.records().constFirst().timeMs, qint64(appended - records.count()));
        int failed = 0;
        for (qint64 i = appended - records.count(); i < appended; ++i)
            failed += i % 3 == 0;
        QCOMPARE(records.failedCount(), failed);
        QCOMPARE(records.sentCount(), records.count() - failed);
    }

    // Each record is on disk as soon as it is kept: a new start reads the
    // campaign back, a broken last line (a crash mid-write) included; a new
    // campaign starts the file again.
    void journalKeepsTheCampaignAcrossARestart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data/transmissions.jsonl");
        TxRecord record;
        record.message = "0A0B";
        {
            TxRecordModel records;
            TxRecordJournal journal(records, path);
            for (int i = 0; i < 3; ++i) {
                record.timeMs = 1000 * i;
                record.result = i == 1 ? TxRecord::FAILED : TxRecord::SENT;
                records.append(record);
            }
            QVERIFY(journal.writeError().isEmpty());
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write("{\"time\":\"2026-");
        file.close();

        TxRecordModel restored;
        TxRecordJournal journal(restored, path);
        QString error;
        QVERIFY2(journal.load(&error), qPrintable(error));
        QCOMPARE(restored.count(), 3);
        QCOMPARE(restored.failedCount(), 1);
        QCOMPARE(restored.records().constLast().timeMs, qint64(2000));
        // Appending goes on after what was read.
        restored.append(record);
        TxRecordModel again;
        QVERIFY(TxRecordJournal(again, path).load(&error));
        QCOMPARE(again.count(), 4);
        restored.clear();
        QCOMPARE(QFileInfo(path).size(), qint64(0));
    }

    void redundancyChangedDuringASequenceWaitsForItsEnd()
    {
        TxHarness h;
        h.tx->periodicProfile()->setRedundancy(3);
        h.tx->periodicProfile()->setDelay(10);
        h.tx->periodicProfile()->setPeriod(1);
        h.tx->addPayloadItem(QStringLiteral("01"));
        h.tx->addPayloadItem(QStringLiteral("02"));
        QSignalSpy completedSpy(h.tx.get(), &TxManager::sequenceCompleted);
        h.tx->start(1);
        h.advanceSec(15);
        // The module reports another redundancy, as on a reconnection.
        h.tx->periodicProfile()->setRedundancy(1);
        QCOMPARE(h.tx->payloadListModel()->getRedundancy(0), quint8(3));
        h.advanceSec(600);
        QCOMPARE(h.sendTimesSec(), (QList<qint64> {0, 10, 20, 80, 90, 100}));
        QCOMPARE(completedSpy.size(), 1);
        QVERIFY(h.logs.contains(QStringLiteral("Data 02 successfully transmitted! (3/3)")));
        h.tx->stop();
        QCOMPARE(h.tx->payloadListModel()->getRedundancy(0), quint8(1));
        QCOMPARE(h.tx->payloadListModel()->getRedundancy(1), quint8(1));
    }

    void unwritableTxCountAsNotSentAndTheSequenceEnds()
    {
        TxHarness h;
        h.acceptTx = false;
        h.tx->periodicProfile()->setRedundancy(2);
        h.tx->periodicProfile()->setDelay(5);
        h.tx->periodicProfile()->setPeriod(1);
        h.tx->addPayloadItem(QStringLiteral("01"));
        h.tx->addPayloadItem(QStringLiteral("02"));
        QSignalSpy completedSpy(h.tx.get(), &TxManager::sequenceEnded);
        QSignalSpy indexSpy(h.tx.get(), &TxManager::currentIndexUpdated);
        h.tx->start(2);
        h.advanceSec(3600);
        // Each payload's burst, the period after it, the next burst; round 2
        // starts a period after round 1.
        QCOMPARE(h.sendTimesSec(), (QList<qint64> {0, 5, 65, 70, 130, 135, 195, 200}));
        QCOMPARE(completedSpy.size(), 1);
        QCOMPARE(h.logs.count(QStringLiteral("Unable to write Tx command")), 8);
        QCOMPARE(h.logs.count(QStringLiteral("Data 01 could not be sent")), 4);
        QCOMPARE(h.logs.count(QStringLiteral("Data 02 could not be sent")), 4);
        QVERIFY(h.logs.contains(QStringLiteral("--- Tx SEQUENCE ENDED (2/2): 4 of 4 transmissions failed ---")));
        QVERIFY(!h.logs.join('\n').contains(QStringLiteral("COMPLETE")));
        QVERIFY(!h.tx->ackPending());
        QCOMPARE(indexSpy.size(), 3);
    }

    void startWithoutPayloadIsRefused()
    {
        TxHarness h;
        QSignalSpy errorSpy(h.tx.get(), &TxManager::txErrorOccured);
        h.tx->start(1);
        QCOMPARE(errorSpy.size(), 1);
        QVERIFY(!h.tx->sequenceRunning());
        QVERIFY(h.calls.isEmpty());
    }

    void prepassWithoutPassesIsRefused()
    {
        TxHarness h;
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->setSelectedProfile(TxManager::PREPASS);
        QSignalSpy errorSpy(h.tx.get(), &TxManager::txErrorOccured);
        h.tx->start(1);
        QCOMPARE(errorSpy.size(), 1);
        QCOMPARE(errorSpy.at(0).at(0).toString(),
            QStringLiteral(
                "Error: No prepass data imported.\nPlease import data as a CSV file retrieved from "
                "ArgosWeb."));
        QVERIFY(!h.tx->sequenceRunning());
    }

    void prepassSendsOncePerMinuteDuringPasses()
    {
        TxHarness h;
        const QString csv = writeCsv(QStringLiteral("passes.csv"),
            passLine(QStringLiteral("MetopB"), 3600, 180) + passLine(QStringLiteral("NOAA-18"), 600, 300));
        QVERIFY(h.tx->importPrepassData(csv));
        h.tx->setSelectedProfile(TxManager::PREPASS);
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->payloadListModel()->setData(
            h.tx->payloadListModel()->index(0), true, PayloadModel::OptionImportantRole);
        QCOMPARE(h.tx->payloadListModel()->getRedundancy(0), quint8(10));
        QSignalSpy errorSpy(h.tx.get(), &TxManager::txErrorOccured);

        h.tx->start(1);
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::PENDING);
        h.advanceSec(700);
        QCOMPARE(h.tx->nextPassIdx(), quint64(1));
        QVERIFY(h.tx->prepassListModel()->at(0).active());
        QVERIFY(h.logs.contains(QStringLiteral("1 satellite(s) available")));
        h.advanceSec(300);
        // The first pass ended at 900 s and left the list.
        QCOMPARE(h.tx->prepassListModel()->rowCount(), 1);
        QCOMPARE(h.tx->nextPassIdx(), quint64(0));
        QVERIFY(h.logs.contains(QStringLiteral("0 satellite(s) available")));

        h.advanceSec(3600);
        QCOMPARE(h.sendTimesSec(), (QList<qint64> {600, 660, 720, 780, 840, 3600, 3660, 3720}));
        // The last pass ends before the tenth Tx: the sequence stops once the
        // pending answer has come.
        QCOMPARE(errorSpy.size(), 1);
        QCOMPARE(errorSpy.at(0).at(0).toString(),
            QStringLiteral(
                "Error: No more prepass data to continue Tx scheduling.\nPlease import new data from "
                "ArgosWeb.\nStopping sequence..."));
        QVERIFY(!h.tx->sequenceRunning());
        QVERIFY(!h.tx->ackPending());
        QVERIFY(h.logs.contains(QStringLiteral("Data 0102 successfully transmitted! (8/10)")));
    }

    void prepassCompletesWithinOnePass()
    {
        TxHarness h;
        QVERIFY(h.tx->importPrepassData(
            writeCsv(QStringLiteral("one.csv"), passLine(QStringLiteral("SARAL"), 600, 600))));
        h.tx->setSelectedProfile(TxManager::PREPASS);
        h.tx->addPayloadItem(QStringLiteral("0102"));
        QSignalSpy completedSpy(h.tx.get(), &TxManager::sequenceCompleted);
        h.tx->start(1);
        h.advanceSec(1200);
        QCOMPARE(h.sendTimesSec(), (QList<qint64> {600, 660, 720, 780}));
        QCOMPARE(completedSpy.size(), 1);
    }

    void prepassStartsAtOnceDuringAPass()
    {
        TxHarness h;
        QVERIFY(h.tx->importPrepassData(
            writeCsv(QStringLiteral("now.csv"), passLine(QStringLiteral("SARAL"), -60, 600))));
        h.tx->setSelectedProfile(TxManager::PREPASS);
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.advanceSec(1);
        QCOMPARE(h.tx->nextPassIdx(), quint64(1));
        h.tx->start(1);
        h.advanceSec(600);
        QCOMPARE(h.sendTimesSec(), (QList<qint64> {1, 61, 121, 181}));
    }

    void prepassTooFarIsRefused()
    {
        TxHarness h;
        QVERIFY(h.tx->importPrepassData(
            writeCsv(QStringLiteral("far.csv"), passLine(QStringLiteral("SARAL"), 30LL * 24 * 3600, 600))));
        h.tx->setSelectedProfile(TxManager::PREPASS);
        h.tx->addPayloadItem(QStringLiteral("0102"));
        QSignalSpy errorSpy(h.tx.get(), &TxManager::txErrorOccured);
        h.tx->start(1);
        QCOMPARE(errorSpy.size(), 1);
        QCOMPARE(errorSpy.at(0).at(0).toString(),
            QStringLiteral("Error: Next satellite pass date is too far from today!"));
        QVERIFY(!h.tx->sequenceRunning());
        QVERIFY(h.sends().isEmpty());
    }

    void prepassOnModuleFollowsTheModulePasses()
    {
        TxHarness h;
        h.responseDelayMs = -1;
        PrepassModel* nextPass = h.tx->prepassProfile()->nextPassModel();
        QList<qint64> passStarts {300, 3600};
        h.onNextPass = [&](Payload::Options) {
            QVERIFY(!passStarts.isEmpty());
            nextPass->clear();
            nextPass->add(QStringLiteral("SARAL"), TxHarness::origin().addSecs(passStarts.takeFirst()),
                QTime(0, 10), 60, false);
        };
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->addPayloadItem(QStringLiteral("0304"));
        h.tx->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
        QSignalSpy completedSpy(h.tx.get(), &TxManager::sequenceCompleted);

        h.tx->start(1);
        QCOMPARE(h.flushCount(), 1);
        QVERIFY(h.tx->ackPending());
        QCOMPARE(h.nextPassRequests, (QList<qint64> {0}));
        h.clock.advance(20);
        // The payload is queued on the module at once, sent by it in the pass.
        QCOMPARE(h.sends().size(), 1);
        QCOMPARE(h.sends().at(0).data, QStringLiteral("0102"));
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::PENDING);

        h.advanceSec(301);
        QVERIFY(nextPass->at(0).active());
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::ACTIVE);
        QCOMPARE(h.tx->activePassCount(), quint64(1));

        h.advanceSec(100);
        h.tx->handleTxResponse(QStringLiteral("0102"));
        QVERIFY(h.logs.contains(QStringLiteral("Data 0102 successfully transmitted! (4/4)")));
        QVERIFY(h.tx->ackPending());
        h.clock.advance(20);
        // Next payload queued, and the module asked for the pass after.
        QCOMPARE(h.sends().size(), 2);
        QCOMPARE(h.sends().at(1).data, QStringLiteral("0304"));
        QCOMPARE(h.nextPassRequests.size(), 2);
        QCOMPARE(h.tx->activePassCount(), quint64(0));

        h.clock.advanceTo(TxHarness::origin().addSecs(3700));
        QCOMPARE(h.tx->payloadListModel()->getStatus(1), Payload::ACTIVE);
        h.tx->handleTxResponse(QStringLiteral("0304"));
        QCOMPARE(completedSpy.size(), 1);
        QVERIFY(!h.tx->ackPending());
        QCOMPARE(h.sends().size(), 2);
    }

    void prepassOnModuleAsksAgainAfterARefusedNextPass()
    {
        TxHarness h;
        h.responseDelayMs = -1;
        PrepassModel* nextPass = h.tx->prepassProfile()->nextPassModel();
        h.onNextPass = [&](Payload::Options) {
            const int asked = int(h.nextPassRequests.size());
            // The second and third requests are refused (another one waits):
            // entry 0 keeps the pass that has ended. Past ten, give up.
            if (asked == 2 || asked == 3)
                return;
            nextPass->clear();
            if (asked < 10)
                nextPass->add(QStringLiteral("SARAL"), TxHarness::origin().addSecs(asked == 1 ? 300 : 3600),
                    QTime(0, 10), 60, false);
        };
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
        h.tx->start(1);
        h.advanceSec(1000);
        QCOMPARE(h.nextPassRequests, (QList<qint64> {0, 900000, 905000, 910000}));
        QCOMPARE(h.logs.count(QStringLiteral("No next satellite pass from the module, asking again every 5 s")),
            1);
        QVERIFY(h.tx->sequenceRunning());
        h.clock.advanceTo(TxHarness::origin().addSecs(3601));
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::ACTIVE);
        QCOMPARE(h.nextPassRequests.size(), 4);
    }

    void prepassOnModuleWithoutComputedPassStops()
    {
        TxHarness h;
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
        QCOMPARE(h.tx->prepassProfile()->nextPassModel()->rowCount(), 1);
        QSignalSpy errorSpy(h.tx.get(), &TxManager::txErrorOccured);
        h.tx->start(1);
        h.clock.advance(50);
        QCOMPARE(errorSpy.size(), 1);
        QCOMPARE(errorSpy.at(0).at(0).toString(),
            QStringLiteral("Error: No satellite pass was computed/predicted!"));
        QVERIFY(!h.tx->sequenceRunning());
        QVERIFY(h.sends().isEmpty());
    }

    void profileSwitchSetsRedundancies()
    {
        TxHarness h;
        h.tx->periodicProfile()->setRedundancy(3);
        h.tx->addPayloadItem(QStringLiteral("01"));
        h.tx->addPayloadItem(QStringLiteral("02"));
        PayloadModel* payloads = h.tx->payloadListModel();
        payloads->setData(payloads->index(1), true, PayloadModel::OptionImportantRole);
        payloads->setRedundancy(1, 3);
        QSignalSpy profileSpy(h.tx.get(), &TxManager::selectedProfileChanged);

        h.tx->setSelectedProfile(TxManager::PREPASS);
        QCOMPARE(payloads->getRedundancy(0), quint8(4));
        QCOMPARE(payloads->getRedundancy(1), quint8(10));
        // The periodic redundancy is not the payloads' in a prepass profile.
        h.tx->periodicProfile()->setRedundancy(7);
        QCOMPARE(payloads->getRedundancy(1), quint8(10));

        h.tx->setSelectedProfile(TxManager::PERIODIC);
        QCOMPARE(payloads->getRedundancy(0), quint8(7));
        QCOMPARE(payloads->getRedundancy(1), quint8(7));
        h.tx->setSelectedProfile(TxManager::PERIODIC);
        QCOMPARE(profileSpy.size(), 3);

        h.tx->setSelectedProfile(3);
        h.tx->setSelectedProfile(-1);
        QCOMPARE(profileSpy.size(), 3);
        QCOMPARE(h.tx->selectedProfile(), TxManager::PERIODIC);
    }

    void profileSwitchRefusedWhileRunning()
    {
        TxHarness h;
        h.tx->addPayloadItem(QStringLiteral("01"));
        h.tx->start(1);
        QSignalSpy failedSpy(h.tx.get(), &TxManager::profileSwitchFailed);
        h.tx->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
        QCOMPARE(failedSpy.size(), 1);
        QCOMPARE(h.tx->selectedProfile(), TxManager::PERIODIC);

        // A module repeating its mode is refused every time but logged once
        // per asked-for profile, and again in the next sequence.
        const QString refused = QStringLiteral("Unable to switch profile while a Tx sequence is running");
        for (int i = 0; i < 50; ++i)
            h.tx->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
        QCOMPARE(failedSpy.size(), 51);
        QCOMPARE(h.logs.count(refused), 1);
        h.tx->setSelectedProfile(TxManager::PREPASS);
        QCOMPARE(h.logs.count(refused), 2);
        h.tx->stop();
        h.tx->start(1);
        h.tx->setSelectedProfile(TxManager::PREPASS);
        QCOMPARE(h.logs.count(refused), 3);
        QCOMPARE(h.tx->selectedProfile(), TxManager::PERIODIC);
    }

    void payloadListIsCappedAt255()
    {
        TxHarness h;
        for (int i = 0; i < 255; ++i)
            QVERIFY(h.tx->addPayloadItem(QString()));
        QCOMPARE(h.tx->payloadListModel()->getMessage(254), QStringLiteral("00000254"));
        QSignalSpy errorSpy(h.tx.get(), &TxManager::txErrorOccured);
        QVERIFY(!h.tx->addPayloadItem(QStringLiteral("AA")));
        QCOMPARE(h.tx->payloadListModel()->rowCount(), 255);
        QCOMPARE(errorSpy.size(), 1);
        QVERIFY(errorSpy.at(0).at(0).toString().contains(QStringLiteral("255")));
    }

    void customUtcTimeWithinOneSecondOnlyReports()
    {
        TxHarness h;
        QSignalSpy loadSpy(h.tx.get(), &TxManager::loadPrepassDataCompleted);
        QSignalSpy utcSpy(h.tx.get(), &TxManager::utcTimeChanged);
        h.tx->setCustomUtcTime(TxHarness::origin().addSecs(1).toString(Qt::ISODate));
        QCOMPARE(loadSpy.size(), 1);
        QCOMPARE(loadSpy.at(0).at(0).toString(), QString());
        QCOMPARE(utcSpy.size(), 0);
        QCOMPARE(h.tx->utcTimeOffset(), 0);
    }

    void customUtcTimeMovesTheClockAndTheLog()
    {
        TxHarness h;
        h.tx->setCustomUtcTime(QStringLiteral("2024-05-01T12:30:00Z"));
        QCOMPARE(h.tx->utcTimeOffset(), 9000);
        QCOMPARE(h.logger.timestampOffset(), 9000);
        QCOMPARE(h.tx->getUtcTime(), QDateTime(QDate(2024, 5, 1), QTime(12, 30), Qt::UTC));
        QCOMPARE(h.tx->utcTime(), QStringLiteral("Wed May 1, 12:30:00"));
        QVERIFY(h.logs.contains(QStringLiteral("UTC time updated (Wed May 1, 12:30:00)")));
        h.advanceSec(2);
        QCOMPARE(h.tx->getUtcTime(), QDateTime(QDate(2024, 5, 1), QTime(12, 30, 2), Qt::UTC));

        // A date without zone is UTC too, whatever the workstation's zone.
        qputenv("TZ", "Asia/Tokyo");
        tzset();
        h.tx->setCustomUtcTime(QStringLiteral("2024-05-01T11:00:02"));
        qunsetenv("TZ");
        tzset();
        QCOMPARE(h.tx->utcTimeOffset(), 3600);
        // Back to the workstation's time, a second short: no offset is left.
        h.tx->setCustomUtcTime(h.clock.currentUtc().addSecs(-1).toString(Qt::ISODate));
        QCOMPARE(h.tx->utcTimeOffset(), 0);
        QVERIFY(h.logs.contains(QStringLiteral("UTC time restored (Wed May 1, 10:00:02)")));
    }
};

QTEST_GUILESS_MAIN(TestTxManager)
#include "tst_txmanager.moc"
