#include "../common/TxHarness.h"

#include <QSignalSpy>
#include <QTest>

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TxHarness::useTestSettings(QStringLiteral("tst_settings")); }
    void init() { QSettings().clear(); }

    void storeIsTheTestOne()
    {
        QVERIFY(QSettings().fileName().contains(QStringLiteral("NorvaneTests")));
        QVERIFY(QSettings().fileName().contains(QStringLiteral(".qttest")));
    }

    void firstRunGivesDefaults()
    {
        TxHarness h;
        QCOMPARE(h.tx->selectedProfile(), TxManager::PERIODIC);
        QCOMPARE(h.tx->periodicProfile()->period(), quint8(5));
        QCOMPARE(h.tx->periodicProfile()->redundancy(), quint8(4));
        QCOMPARE(h.tx->periodicProfile()->delay(), quint8(60));
        QCOMPARE(h.tx->payloadListModel()->rowCount(), 0);
        QCOMPARE(h.tx->prepassProfile()->redundancy(), quint8(4));
        QCOMPARE(h.tx->prepassProfile()->config(), PrepassConfig {});
        QCOMPARE(h.tx->prepassProfile()->position(), Position {});
        QCOMPARE(h.tx->csvFilePath(), QString());
    }

    void saveAndRestoreEverything()
    {
        {
            TxHarness h;
            h.tx->periodicProfile()->setPeriod(12);
            h.tx->periodicProfile()->setRedundancy(6);
            h.tx->periodicProfile()->setDelay(45);
            Position position;
            position.latitude = 43.5;
            position.longitude = -1.25;
            h.tx->prepassProfile()->setPosition(position);
            h.tx->prepassProfile()->setConfigPredictionDuration(3);
            h.tx->prepassProfile()->setConfigMinElevation(12.5);
            h.tx->prepassProfile()->setConfigMinPassDuration(8);
            h.tx->prepassProfile()->setRedundancy(7);
            h.tx->addPayloadItem(QStringLiteral("0102"));
            h.tx->addPayloadItem(QStringLiteral("0304"));
            h.tx->setSelectedProfile(TxManager::PREPASS_ON_MODULE);
            h.tx->saveSettings();
        }
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("Tx/profile")).toInt(), 2);
        QCOMPARE(settings.value(QStringLiteral("Tx/Periodic/period")).toUInt(), 12u);
        QCOMPARE(settings.value(QStringLiteral("Tx/Prepass/minElevation")).toDouble(), 12.5);
        QCOMPARE(settings.value(QStringLiteral("Payloads/msg1")).toString(), QStringLiteral("0304"));

        TxHarness h;
        QCOMPARE(h.tx->selectedProfile(), TxManager::PREPASS_ON_MODULE);
        QCOMPARE(h.tx->periodicProfile()->period(), quint8(12));
        QCOMPARE(h.tx->periodicProfile()->redundancy(), quint8(6));
        QCOMPARE(h.tx->periodicProfile()->delay(), quint8(45));
        QCOMPARE(h.tx->prepassProfile()->position().latitude, 43.5);
        QCOMPARE(h.tx->prepassProfile()->position().longitude, -1.25);
        const PrepassConfig config = h.tx->prepassProfile()->config();
        QCOMPARE(config.predictionDuration, quint8(3));
        QCOMPARE(config.minElevation, 12.5);
        QCOMPARE(config.minPassDuration, quint8(8));
        QCOMPARE(config.maxElevation, PrepassConfig::TAV_PREPASS_CFG_DEFAULT_MAX_ELEVATION);
        QCOMPARE(config.maxPasses, PrepassConfig::TAV_PREPASS_CFG_DEFAULT_MAX_PASSES);
        QCOMPARE(h.tx->prepassProfile()->redundancy(), quint8(7));
        QCOMPARE(h.tx->payloadListModel()->rowCount(), 2);
        QCOMPARE(h.tx->payloadListModel()->getMessage(0), QStringLiteral("0102"));
        // Restored payloads follow the restored profile's redundancy.
        QCOMPARE(h.tx->payloadListModel()->getRedundancy(0), quint8(4));
    }

    void profileValuesBuildFromTheirFields()
    {
        // The module manager builds them from a PREPASS_CFG or POS answer.
        const PrepassConfig config {3, 12.5, 8, 80.0, 500, 2.5, 10};
        QCOMPARE(config.predictionDuration, quint8(3));
        QCOMPARE(config.maxPasses, quint16(500));
        QCOMPARE(config.computationStep, quint8(10));
        const Position position {43.5, -1.25};
        TxHarness h;
        QSignalSpy configSpy(h.tx->prepassProfile(), &PrepassProfile::configChanged);
        h.tx->prepassProfile()->setConfig(config);
        h.tx->prepassProfile()->setConfig(config);
        h.tx->prepassProfile()->setPosition(position);
        QCOMPARE(configSpy.size(), 2);
        QCOMPARE(h.tx->prepassProfile()->config(), config);
        QCOMPARE(h.tx->prepassProfile()->position(), position);
        // Only the user's fields are saved; the fixed ones come back as defaults.
        h.tx->saveSettings();
        TxHarness restored;
        QCOMPARE(restored.tx->prepassProfile()->config().minElevation, 12.5);
        QCOMPARE(restored.tx->prepassProfile()->config().maxPasses,
            PrepassConfig::TAV_PREPASS_CFG_DEFAULT_MAX_PASSES);
    }

    void removedPayloadLeavesNoKey()
    {
        {
            TxHarness h;
            h.tx->addPayloadItem(QStringLiteral("01"));
            h.tx->addPayloadItem(QStringLiteral("02"));
            h.tx->addPayloadItem(QStringLiteral("03"));
            h.tx->saveSettings();
            h.tx->payloadListModel()->remove(1);
            h.tx->saveSettings();
        }
        QSettings settings;
        settings.beginGroup(QStringLiteral("Payloads"));
        QCOMPARE(settings.childKeys().size(), 2);
        QCOMPARE(settings.value(QStringLiteral("msg0")).toString(), QStringLiteral("01"));
        QCOMPARE(settings.value(QStringLiteral("msg1")).toString(), QStringLiteral("03"));
        settings.endGroup();

        TxHarness h;
        QCOMPARE(h.tx->payloadListModel()->rowCount(), 2);
        QCOMPARE(h.tx->payloadListModel()->getMessage(1), QStringLiteral("03"));
        QCOMPARE(h.tx->payloadListModel()->getRedundancy(1), quint8(4));
    }

    void restoreReadsPayloadsInIndexOrder()
    {
        QSettings settings;
        settings.setValue(QStringLiteral("Payloads/msg10"), QStringLiteral("0A"));
        settings.setValue(QStringLiteral("Payloads/msg2"), QStringLiteral("02"));
        settings.setValue(QStringLiteral("Payloads/msg0"), QStringLiteral("00"));
        settings.sync();
        TxHarness h;
        QCOMPARE(h.tx->payloadListModel()->rowCount(), 3);
        QCOMPARE(h.tx->payloadListModel()->getMessage(0), QStringLiteral("00"));
        QCOMPARE(h.tx->payloadListModel()->getMessage(1), QStringLiteral("02"));
        QCOMPARE(h.tx->payloadListModel()->getMessage(2), QStringLiteral("0A"));
    }

    void storedValuesOutOfRange_data()
    {
        QTest::addColumn<int>("profile");
        QTest::addColumn<uint>("period");
        QTest::addColumn<int>("expectedProfile");
        QTest::addColumn<int>("expectedPeriod");
        QTest::newRow("profile 3 ignored") << 3 << 5u << 0 << 5;
        QTest::newRow("negative profile ignored") << -1 << 5u << 0 << 5;
        QTest::newRow("prepass kept") << 1 << 5u << 1 << 5;
        QTest::newRow("period cut to 8 bits") << 0 << 261u << 0 << 5;
    }

    void storedValuesOutOfRange()
    {
        QFETCH(int, profile);
        QFETCH(uint, period);
        QFETCH(int, expectedProfile);
        QFETCH(int, expectedPeriod);
        QSettings settings;
        settings.setValue(QStringLiteral("Tx/profile"), profile);
        settings.setValue(QStringLiteral("Tx/Periodic/period"), period);
        settings.sync();
        TxHarness h;
        QCOMPARE(static_cast<int>(h.tx->selectedProfile()), expectedProfile);
        QCOMPARE(static_cast<int>(h.tx->periodicProfile()->period()), expectedPeriod);
    }

    void csvPathIsKept()
    {
        QSettings settings;
        settings.setValue(QStringLiteral("Tx/csvFilePath"), QStringLiteral("/nowhere/passes.csv"));
        settings.sync();
        TxHarness h;
        QCOMPARE(h.tx->csvFilePath(), QStringLiteral("/nowhere/passes.csv"));
        // A file gone since leaves an error and an empty list, not a crash.
        QSignalSpy loaded(h.tx.get(), &TxManager::loadPrepassDataCompleted);
        h.tx->initPrepassData();
        QCOMPARE(loaded.size(), 1);
        QVERIFY(!loaded.at(0).at(0).toString().isEmpty());
        QCOMPARE(h.tx->prepassListModel()->rowCount(), 0);
        h.tx->clearPrepassData();
        h.tx->saveSettings();
        QCOMPARE(QSettings().value(QStringLiteral("Tx/csvFilePath")).toString(), QString());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
