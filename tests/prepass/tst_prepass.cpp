#include "../common/TxHarness.h"
#include "orbit/PrepassCsv.h"
#include "tx/PassSchedule.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime may1At10 = QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC);

QString samplePath()
{
    return QStringLiteral(TAV_TEST_DATA_DIR "/prepass_sample.csv");
}

} // namespace

class TestPrepass : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
        return path;
    }

private slots:
    void initTestCase()
    {
        TxHarness::useTestSettings(QStringLiteral("tst_prepass"));
        QVERIFY(m_dir.isValid());
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        const QDateTime date(QDate(2024, 3, 7), QTime(8, 5, 9), Qt::UTC);
        QTest::newRow("portal") << QStringLiteral("07/03/2024 08:05:09") << date;
        QTest::newRow("no leading zeros") << QStringLiteral("7/3/2024 8:05:09") << date;
        QTest::newRow("no seconds") << QStringLiteral("07/03/2024 08:05") << date.addSecs(-9);
        QTest::newRow("ISO Z") << QStringLiteral("2024-03-07T08:05:09Z") << date;
        QTest::newRow("ISO no zone is UTC") << QStringLiteral("2024-03-07 08:05:09") << date;
        QTest::newRow("ISO offset") << QStringLiteral("2024-03-07T10:05:09+02:00") << date;
        QTest::newRow("day 32") << QStringLiteral("32/03/2024 08:05:09") << QDateTime();
        QTest::newRow("month 13") << QStringLiteral("07/13/2024 08:05:09") << QDateTime();
        QTest::newRow("hour 25") << QStringLiteral("07/03/2024 25:05:09") << QDateTime();
        QTest::newRow("text") << QStringLiteral("tomorrow") << QDateTime();
        QTest::newRow("date only") << QStringLiteral("07/03/2024") << QDateTime();
    }

    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const QDateTime parsed = PrepassCsv::parseDate(text);
        QCOMPARE(parsed.isValid(), expected.isValid());
        if (expected.isValid())
            QCOMPARE(parsed, expected);
    }

    void durations_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("expected");
        QTest::newRow("portal") << QStringLiteral("00:13:05") << QTime(0, 13, 5);
        QTest::newRow("one-digit hour") << QStringLiteral("1:02:03") << QTime(1, 2, 3);
        QTest::newRow("minutes only") << QStringLiteral("13:05") << QTime();
        QTest::newRow("61 seconds") << QStringLiteral("00:00:61") << QTime();
        QTest::newRow("number") << QStringLiteral("780") << QTime();
    }

    void durations()
    {
        QFETCH(QString, text);
        QFETCH(QTime, expected);
        QCOMPARE(PrepassCsv::parseDuration(text), expected);
    }

    void layouts_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("semicolon, header, decimal comma")
            << QStringLiteral("Sat;Start;Mid;End;Dur;Elev;Az1;Az2;Az3\n"
                              "SARAL;01/05/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 11:10:00;00:10:00;"
                              "45,5;10,5;90;170\n");
        QTest::newRow("comma, no header")
            << QStringLiteral("SARAL,01/05/2024 11:00:00,01/05/2024 11:05:00,01/05/2024 11:10:00,00:10:00,"
                              "45.5,10.5,90,170\n");
        QTest::newRow("tab, quotes, CRLF, ISO") << QStringLiteral(
            "\"Satellite\"\t\"Start\"\t\"Middle\"\t\"End\"\t\"Duration\"\t\"El\"\t\"A\"\t\"B\"\t\"C\"\r\n"
            "\"SARAL\"\t2024-05-01T11:00:00Z\t2024-05-01T11:05:00Z\t2024-05-01T11:10:00Z\t00:10:00\t"
            "45.5\t10.5\t90\t170\r\n\r\n");
        QTest::newRow("trailing separator and BOM") << QString(QChar(0xFEFF))
                + QStringLiteral("SARAL;01/05/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 11:10:00;00:10:00;"
                                 "45,5;10,5;90;170;\n");
    }

    void layouts()
    {
        QFETCH(QString, content);
        const PrepassCsv::Result result = PrepassCsv::parse(content, may1At10);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.passes.size(), 1);
        const Prepass& pass = result.passes.first();
        QCOMPARE(pass.satellite(), QStringLiteral("SARAL"));
        QCOMPARE(pass.start(), QDateTime(QDate(2024, 5, 1), QTime(11, 0), Qt::UTC));
        QCOMPARE(pass.middle(), QDateTime(QDate(2024, 5, 1), QTime(11, 5), Qt::UTC));
        QCOMPARE(pass.end(), QDateTime(QDate(2024, 5, 1), QTime(11, 10), Qt::UTC));
        QCOMPARE(pass.duration(), QTime(0, 10));
        QCOMPARE(pass.elevation(), 45.5);
        QCOMPARE(pass.startAzimuth(), 10.5);
        QCOMPARE(pass.endAzimuth(), 170.0);
        QVERIFY(!pass.active());
    }

    void sampleFileDropsEndedPassesAndSorts()
    {
        QFile file(samplePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const PrepassCsv::Result result = PrepassCsv::parse(QString::fromUtf8(file.readAll()), may1At10);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.expired, 1);
        QStringList names;
        for (const Prepass& pass : result.passes)
            names.append(pass.satellite());
        // SARAL began before 10:00 but has not ended: it is kept.
        QCOMPARE(names, (QStringList {"SARAL", "METOP-B", "ANGELS", "METOP-C"}));
    }

    void malformedRowsNameTheirLine_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing field") << QStringLiteral(
            "SARAL;01/05/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 11:10:00;00:10:00;45;10;90")
                                       << QStringLiteral("8 fields found, 9 expected");
        QTest::newRow("bad start") << QStringLiteral(
            "SARAL;31/02/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 11:10:00;00:10:00;45;10;90;170")
                                   << QStringLiteral("invalid start date");
        QTest::newRow("bad end") << QStringLiteral(
            "SARAL;01/05/2024 11:00:00;01/05/2024 11:05:00;soon;00:10:00;45;10;90;170")
                                 << QStringLiteral("invalid end date");
        QTest::newRow("ends before start") << QStringLiteral(
            "SARAL;01/05/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 10:10:00;00:10:00;45;10;90;170")
                                           << QStringLiteral("pass ends before it starts");
        QTest::newRow("bad duration") << QStringLiteral(
            "SARAL;01/05/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 11:10:00;ten;45;10;90;170")
                                      << QStringLiteral("invalid duration");
        QTest::newRow("elevation above 90") << QStringLiteral(
            "SARAL;01/05/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 11:10:00;00:10:00;95;10;90;170")
                                            << QStringLiteral("invalid elevation");
        QTest::newRow("azimuth not a number") << QStringLiteral(
            "SARAL;01/05/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 11:10:00;00:10:00;45;N;90;170")
                                              << QStringLiteral("invalid azimuth");
        QTest::newRow("no satellite") << QStringLiteral(
            ";01/05/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 11:10:00;00:10:00;45;10;90;170")
                                      << QStringLiteral("satellite name is missing");
    }

    void malformedRowsNameTheirLine()
    {
        QFETCH(QString, row);
        QFETCH(QString, reason);
        const QString good = QStringLiteral(
            "SARAL;01/05/2024 12:00:00;01/05/2024 12:05:00;01/05/2024 12:10:00;00:10:00;45;10;90;170\n");
        const QString content = QStringLiteral("Sat;Start;Mid;End;Dur;Elev;Az1;Az2;Az3\n") + good
            + QStringLiteral("\n") + row + QStringLiteral("\n") + good;
        const PrepassCsv::Result result = PrepassCsv::parse(content, may1At10);
        QVERIFY(!result.ok());
        QVERIFY2(result.error.startsWith(QStringLiteral("Line 4: ")), qPrintable(result.error));
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        QVERIFY(result.passes.isEmpty());
    }

    void fileWithoutPassIsRefused()
    {
        QVERIFY(!PrepassCsv::parse(QString(), may1At10).ok());
        QVERIFY(
            !PrepassCsv::parse(QStringLiteral("Sat;Start;Mid;End;Dur;Elev;Az1;Az2;Az3\n"), may1At10).ok());
        // Passes that have all ended say so, not "nothing imported" later; a
        // control character in a name is written out, not obeyed.
        const PrepassCsv::Result ended = PrepassCsv::parse(QStringLiteral(
            "METOP-B;01/05/2024 08:00:00;01/05/2024 08:05:00;01/05/2024 08:10:00;00:10:00;45;10;90;170\n"
            "SARAL;01/05/2024 09:00:00;01/05/2024 09:05:00;01/05/2024 09:12:00;00:12:00;45;10;90;170\n"),
            may1At10);
        QCOMPARE(ended.error, QStringLiteral("all passes of the file have ended (last at 2024-05-01 09:12:00 UTC)"));
        const PrepassCsv::Result named = PrepassCsv::parse(QStringLiteral(
            "SA\x1b[2J;01/05/2024 11:00:00;01/05/2024 11:05:00;01/05/2024 11:10:00;00:10:00;45;10;90;170\n"),
            may1At10);
        QCOMPARE(named.passes.value(0).satellite(), QStringLiteral("SA\\x1b[2J"));
    }

    void importThroughTheManager()
    {
        TxHarness h;
        QSignalSpy loaded(h.tx.get(), &TxManager::loadPrepassDataCompleted);
        QVERIFY(h.tx->importPrepassData(QUrl::fromLocalFile(samplePath()).toString()));
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded.at(0).at(0).toString(), QString());
        PrepassModel* model = h.tx->prepassListModel();
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(h.tx->csvFilePath(), samplePath());
        QVERIFY(h.logs.contains(
            QStringLiteral("4 satellite pass(es) imported from prepass_sample.csv (1 already ended)")));

        const QModelIndex first = model->index(0);
        QCOMPARE(model->data(first, PrepassModel::SatelliteRole).toString(), QStringLiteral("SARAL"));
        QCOMPARE(
            model->data(first, PrepassModel::StartRole).toString(), QStringLiteral("2024-05-01 09:55:20"));
        QCOMPARE(model->data(first, PrepassModel::EndRole).toString(), QStringLiteral("2024-05-01 10:08:20"));
        QCOMPARE(model->data(first, PrepassModel::DurationRole).toString(), QStringLiteral("00:13:00"));
        QCOMPARE(model->data(first, PrepassModel::ElevationRole).toDouble(), 24.9);
        QCOMPARE(model->data(first, PrepassModel::MiddleAzimuthRole).toDouble(), 218.6);
        QCOMPARE(model->roleNames().value(PrepassModel::ActiveRole), QByteArray("active"));
        QVERIFY(!model->data(first, PrepassModel::ActiveRole).toBool());

        // The running pass becomes active at the next refresh.
        h.advanceSec(1);
        QVERIFY(model->data(first, PrepassModel::ActiveRole).toBool());
        QCOMPARE(h.tx->nextPassIdx(), quint64(1));
    }

    // The planner's button and the launch option: orbit data are fetched only
    // when there are none, and a failed fetch says why nothing was predicted.
    void predictPassesFetchesMissingOrbitDataOnce_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("predicted");
        QTest::newRow("document") << QStringLiteral(TAV_TEST_DATA_DIR "/aop_constellation.json") << true;
        QTest::newRow("no document") << m_dir.filePath(QStringLiteral("missing.json")) << false;
    }

    void predictPassesFetchesMissingOrbitDataOnce()
    {
        QFETCH(QString, document);
        QFETCH(bool, predicted);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QSettings(QStringLiteral("config.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("Prepass/aopWebRequestUrl"), QUrl::fromLocalFile(document).toString());
        TxHarness h;
        QFile::remove(QStringLiteral("config.ini"));
        QVERIFY(QDir::setCurrent(previous));
        h.tx->setCustomUtcTime(QStringLiteral("2026-03-02T06:00:00Z"));
        h.tx->prepassProfile()->setPosition(Position {43.6, 1.44});
        QSignalSpy fetched(h.tx->prepassProfile(), &PrepassProfile::aopDataDownloadFinished);
        QSignalSpy loaded(h.tx.get(), &TxManager::loadPrepassDataCompleted);

        // The second call, while the first predicts, predicts once more after it.
        QCOMPARE(h.tx->predictPasses(), predicted);
        QCOMPARE(h.tx->predictPasses(), predicted);
        QCOMPARE(h.tx->predicting(), predicted);
        QCOMPARE(fetched.size(), predicted ? 1 : 2);
        QTRY_VERIFY(!h.tx->predicting());
        QCOMPARE(loaded.size(), 2);
        QCOMPARE(loaded.takeLast().at(0).toString(),
            predicted ? QString() : QStringLiteral("Unable to predict passes: no orbit data. Download them first."));
        QCOMPARE(h.tx->prepassListModel()->rowCount() > 20, predicted);
        if (!predicted)
            return;

        // An import meanwhile wins over the prediction under way.
        const QList<Prepass> predictedList = h.tx->prepassListModel()->passes();
        const QString csv = m_dir.filePath(QStringLiteral("imported.csv"));
        QVERIFY(h.tx->exportPrepassData(csv));
        h.tx->clearPrepassData();
        QVERIFY(h.tx->predictPasses());
        QVERIFY(h.tx->importPrepassData(csv));
        QTRY_VERIFY(!h.tx->predicting());
        QCOMPARE(h.tx->prepassSource(), QStringLiteral("imported.csv"));
        QCOMPARE(h.tx->prepassListModel()->passes(), predictedList);
    }

    // Predicted passes fill the list an import fills, export as a file the
    // import reads back unchanged, and carry a prepass sequence.
    void predictedPassesExportReimportAndRun()
    {
        TxHarness h;
        QSignalSpy loaded(h.tx.get(), &TxManager::loadPrepassDataCompleted);
        QVERIFY(!h.tx->predictPrepassData());
        QCOMPARE(loaded.takeLast().at(0).toString(),
            QStringLiteral("Unable to predict passes: no orbit data. Download them first."));
        QFile document(QStringLiteral(TAV_TEST_DATA_DIR "/aop_constellation.json"));
        QVERIFY(document.open(QIODevice::ReadOnly));
        QVERIFY(h.tx->prepassProfile()->satelliteAopModel()->parseJsonData(document.readAll()));
        h.tx->setCustomUtcTime(QStringLiteral("2026-03-02T06:00:00Z"));
        h.tx->prepassProfile()->setPosition(Position {43.6, 1.44});

        QVERIFY(h.tx->predictPrepassData());
        QCOMPARE(loaded.takeLast().at(0).toString(), QString());
        const QList<Prepass> predicted = h.tx->prepassListModel()->passes();
        QVERIFY(predicted.size() > 20);
        QCOMPARE(h.tx->prepassSource(), QStringLiteral("predicted from orbit data of 2026-03-02 03:14:21 UTC"));
        QVERIFY(h.tx->prepassWarnings().isEmpty());
        QVERIFY(h.logs.contains(QString::number(predicted.size()) + " satellite pass(es) predicted"));

        const QString path = m_dir.filePath(QStringLiteral("predicted.csv"));
        QVERIFY(h.tx->exportPrepassData(QUrl::fromLocalFile(path).toString()));
        QVERIFY(h.tx->importPrepassData(path));
        QCOMPARE(h.tx->prepassListModel()->passes(), predicted);
        QCOMPARE(h.tx->prepassSource(), QStringLiteral("predicted.csv"));
        QVERIFY(!h.tx->exportPrepassData(m_dir.filePath(QStringLiteral("no/such/dir/x.csv"))));

        QVERIFY(h.tx->predictPrepassData());
        QVERIFY(h.tx->csvFilePath().isEmpty());
        h.tx->setSelectedProfile(TxManager::PREPASS);
        h.tx->addPayloadItem(QStringLiteral("0102"));
        h.tx->start(1);
        const qint64 toFirst = h.tx->getUtcTime().secsTo(predicted.first().start());
        h.advanceSec(std::max<qint64>(toFirst, 0) + 5);
        QVERIFY(h.tx->sequenceRunning());
        QCOMPARE(h.sends().size(), 1);
        QVERIFY(h.tx->prepassListModel()->at(0).active());
    }

    // Predicted passes follow the beacon position and the prediction
    // settings; imported ones are the file's and stay as they are.
    void predictedPassesFollowThePositionAndTheSettings()
    {
        TxHarness h;
        QFile document(QStringLiteral(TAV_TEST_DATA_DIR "/aop_constellation.json"));
        QVERIFY(document.open(QIODevice::ReadOnly));
        QVERIFY(h.tx->prepassProfile()->satelliteAopModel()->parseJsonData(document.readAll()));
        h.tx->setCustomUtcTime(QStringLiteral("2026-03-02T06:00:00Z"));
        h.tx->prepassProfile()->setPosition(Position {43.6, 1.44});
        QVERIFY(h.tx->predictPrepassData());
        const QList<Prepass> first = h.tx->prepassListModel()->passes();

        h.tx->prepassProfile()->setPosition(Position {-70.0, 120.0});
        QTRY_VERIFY(!h.tx->predicting());
        const QList<Prepass> moved = h.tx->prepassListModel()->passes();
        QVERIFY2(!moved.isEmpty() && moved != first, "predicted again over the new position");

        PrepassConfig config = h.tx->prepassProfile()->config();
        config.predictionDuration = config.predictionDuration + 2;
        h.tx->prepassProfile()->setConfig(config);
        QTRY_VERIFY(!h.tx->predicting());
        const QList<Prepass> longer = h.tx->prepassListModel()->passes();
        QVERIFY2(longer.size() > moved.size(), "more passes over two days more");
        config.minElevation = 70;
        h.tx->prepassProfile()->setConfig(config);
        QTRY_VERIFY(!h.tx->predicting());
        // None so high over that position: the former passes are not shown
        // as if they were still true.
        QVERIFY(h.tx->prepassListModel()->passes().isEmpty());
        config.minElevation = 30;
        h.tx->prepassProfile()->setConfig(config);
        QTRY_VERIFY(!h.tx->predicting());
        QVERIFY2(!h.tx->prepassListModel()->passes().isEmpty()
                && h.tx->prepassListModel()->passes().size() < longer.size(), "fewer passes over 30°");

        // The same orbit data again leave the passes as they are; a new
        // bulletin predicts them again.
        QSignalSpy predicted(h.tx.get(), &TxManager::loadPrepassDataCompleted);
        QVERIFY(document.seek(0));
        QVERIFY(h.tx->prepassProfile()->satelliteAopModel()->parseJsonData(document.readAll()));
        QTest::qWait(50);
        QCOMPARE(predicted.size(), 0);
        const QList<Prepass> high = h.tx->prepassListModel()->passes();
        SatelliteAopModel* orbit = h.tx->prepassProfile()->satelliteAopModel();
        for (int row = 0; row < orbit->rowCount(); ++row) {
            const SatelliteAop* sat = orbit->getSatelliteItem(quint8(row));
            orbit->updateAopData(sat->allcastId(), sat->bulletinEpoch(), sat->semiMajorAxis(), sat->inclination(),
                sat->ascNodeLongitude() + 90, sat->ascNodeDrift(), sat->orbitalPeriod(), sat->semiMajorAxisDrift(),
                sat->satelliteName(), sat->downlinkStatusValue(), sat->uplinkStatusValue());
        }
        QTRY_COMPARE(predicted.size(), 1);
        QTRY_VERIFY(!h.tx->predicting());
        QVERIFY2(h.tx->prepassListModel()->passes() != high, "predicted again from the new bulletin");

        const QString csv = m_dir.filePath(QStringLiteral("kept.csv"));
        QVERIFY(h.tx->exportPrepassData(csv));
        QVERIFY(h.tx->importPrepassData(csv));
        const QList<Prepass> imported = h.tx->prepassListModel()->passes();
        h.tx->prepassProfile()->setPosition(Position {43.6, 1.44});
        QVERIFY(!h.tx->predicting());
        QCOMPARE(h.tx->prepassListModel()->passes(), imported);
        QCOMPARE(h.tx->prepassSource(), QStringLiteral("kept.csv"));
    }

    void malformedImportKeepsThePreviousList()
    {
        TxHarness h;
        QVERIFY(h.tx->importPrepassData(samplePath()));
        h.advanceSec(1);
        const QList<Prepass> before = h.tx->prepassListModel()->passes();
        const QString bad = write(QStringLiteral("bad.csv"),
            "SARAL;01/05/2024 12:00:00;01/05/2024 12:05:00;01/05/2024 12:10:00;00:10:00;45;10;90;170\n"
            "SARAL;01/05/2024 13:00:00;01/05/2024 13:05:00;01/05/2024 13:10:00;00:10;45;10;90;170\n");
        QSignalSpy loaded(h.tx.get(), &TxManager::loadPrepassDataCompleted);
        QVERIFY(!h.tx->importPrepassData(bad));
        QCOMPARE(loaded.size(), 1);
        const QString error = loaded.at(0).at(0).toString();
        QVERIFY2(error.contains(QStringLiteral("bad.csv: Line 2: invalid duration")), qPrintable(error));
        QVERIFY(h.logs.contains(error));
        QCOMPARE(h.tx->prepassListModel()->passes(), before);
        QCOMPARE(h.tx->nextPassIdx(), quint64(1));
        QCOMPARE(h.tx->csvFilePath(), samplePath());

        QVERIFY(!h.tx->importPrepassData(m_dir.filePath(QStringLiteral("missing.csv"))));
        QCOMPARE(h.tx->prepassListModel()->passes(), before);
    }

    void newUtcTimeReloadsAndFilters()
    {
        TxHarness h;
        QVERIFY(h.tx->importPrepassData(samplePath()));
        QCOMPARE(h.tx->prepassListModel()->rowCount(), 4);
        QSignalSpy loaded(h.tx.get(), &TxManager::loadPrepassDataCompleted);
        h.tx->setCustomUtcTime(QStringLiteral("2024-05-01T20:00:00Z"));
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(h.tx->prepassListModel()->rowCount(), 1);
        QCOMPARE(h.tx->prepassListModel()->at(0).satellite(), QStringLiteral("METOP-C"));
        // Back in time: the passes come back.
        h.tx->setUtcTimeOffset(0, true);
        QCOMPARE(h.tx->prepassListModel()->rowCount(), 4);
    }

    void clearKeepsOrErasesThePath()
    {
        TxHarness h;
        QVERIFY(h.tx->importPrepassData(samplePath()));
        h.advanceSec(1);
        h.tx->clearPrepassData(false);
        QCOMPARE(h.tx->prepassListModel()->rowCount(), 0);
        QCOMPARE(h.tx->nextPassIdx(), quint64(0));
        QCOMPARE(h.tx->csvFilePath(), samplePath());
        h.tx->initPrepassData();
        QCOMPARE(h.tx->prepassListModel()->rowCount(), 4);
        h.tx->clearPrepassData();
        QCOMPARE(h.tx->csvFilePath(), QString());
    }

    // Passes given as "start+duration" minutes from 10:00; the clock read at
    // `now` minutes: started passes are marked, ended ones leave, one a tick.
    void scheduleAdvancesOverPasses_data()
    {
        QTest::addColumn<QStringList>("passes");
        QTest::addColumn<QList<int>>("ticks");
        QTest::addColumn<quint64>("nextIndex");
        QTest::addColumn<quint64>("activeCount");
        QTest::addColumn<int>("rows");
        const QStringList two = {"5+10", "30+10"};
        QTest::newRow("before the first") << two << QList<int> {4} << quint64(0) << quint64(0) << 2;
        QTest::newRow("in the first") << two << QList<int> {6} << quint64(1) << quint64(1) << 2;
        QTest::newRow("first ended") << two << QList<int> {6, 16} << quint64(0) << quint64(0) << 1;
        QTest::newRow("one start a tick") << two << QList<int> {31} << quint64(0) << quint64(0) << 1;
        QTest::newRow("overlapping") << QStringList {"5+10", "8+10"} << QList<int> {6, 9} << quint64(2)
                                     << quint64(2) << 2;
        QTest::newRow("none") << QStringList {} << QList<int> {6} << quint64(0) << quint64(0) << 0;
    }

    void scheduleAdvancesOverPasses()
    {
        QFETCH(QStringList, passes);
        QFETCH(QList<int>, ticks);
        Logger logger;
        PrepassModel model;
        PassSchedule schedule(&model, logger, nullptr);
        QList<Prepass> list;
        for (const QString& pass : std::as_const(passes)) {
            const QStringList parts = pass.split('+');
            list.append(Prepass(QStringLiteral("SAT"), may1At10.addSecs(parts.at(0).toInt() * 60),
                QTime(0, 0).addSecs(parts.at(1).toInt() * 60), 30));
        }
        schedule.setPasses(list, QStringLiteral("predicted"), {}, QString());
        for (const int minute : std::as_const(ticks))
            schedule.advance(may1At10.addSecs(minute * 60));
        QTEST(schedule.nextIndex(), "nextIndex");
        QTEST(schedule.activeCount(), "activeCount");
        QTEST(model.rowCount(), "rows");
        QCOMPARE(schedule.current() != nullptr, schedule.activeCount() != 0);
    }

    void nextPassModelStartsWithPlaceholder()
    {
        PrepassProfile profile;
        PrepassModel* model = profile.nextPassModel();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->data(model->index(0), PrepassModel::SatelliteRole).toString(), QStringLiteral("NA"));
        QCOMPARE(model->data(model->index(0), PrepassModel::StartRole).toString(), QStringLiteral("NA"));
        model->clear();
        const QDateTime start(QDate(2024, 5, 1), QTime(11, 0), Qt::UTC);
        model->add(QStringLiteral("SARAL"), start, QTime(0, 0).addSecs(754), 61.5, true);
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->at(0).end(), start.addSecs(754));
        QCOMPARE(
            model->data(model->index(0), PrepassModel::DurationRole).toString(), QStringLiteral("00:12:34"));
        QVERIFY(model->data(model->index(0), PrepassModel::ActiveRole).toBool());
        QVERIFY(!model->data(model->index(1), PrepassModel::SatelliteRole).isValid());
    }
};

QTEST_GUILESS_MAIN(TestPrepass)
#include "tst_prepass.moc"
