#include "../common/TxHarness.h"
#include "log/Helper.h"
#include "tx/LoRaConnectivity.h"
#include "tx/ModulationModel.h"
#include "tx/RadioConf.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestModulation : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_previousDir;

    QString writeFile(const QString& relative, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        return path;
    }

    static QByteArray sixteenBytes() { return QByteArray::fromHex("00112233445566778899AABBCCDDEEFF"); }

private slots:
    void initTestCase()
    {
        TxHarness::useTestSettings(QStringLiteral("tst_modulation"));
        QVERIFY(m_dir.isValid());
        m_previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QSettings config(m_dir.filePath(QStringLiteral("config.ini")), QSettings::IniFormat);
        config.setValue(QStringLiteral("rconf/dir"), m_dir.filePath(QStringLiteral("rconf")));
        config.sync();
        writeFile(QStringLiteral("rconf/radio_conf_401620000_401680000_350_LDA2.bin"), sixteenBytes());
        writeFile(QStringLiteral("rconf/radio_conf_401630000_401650000_500_VLDA4.bin"), sixteenBytes());
        writeFile(QStringLiteral("rconf/radio_conf_1_2_3_SHORT.bin"), QByteArray(15, '\x01'));
        writeFile(QStringLiteral("rconf/radio_conf_1_2_3_LONG.bin"), QByteArray(17, '\x01'));
        writeFile(QStringLiteral("rconf/notes.txt"), "not a configuration");
    }

    void cleanupTestCase() { QDir::setCurrent(m_previousDir); }

    void modulationNamesAreTheModuleWords_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<uint>>("sizes");
        QTest::addColumn<QString>("text");
        QTest::newRow("LDA2") << "LDA2" << int(ModulationModel::LDA2) << QList<uint> {24} << "24";
        QTest::newRow("LDA2L") << "LDA2L" << int(ModulationModel::LDA2L) << QList<uint> {31} << "31";
        QTest::newRow("VLDA4") << "VLDA4" << int(ModulationModel::VLDA4) << QList<uint> {3} << "3";
        QTest::newRow("LDK") << "LDK" << int(ModulationModel::LDK) << QList<uint> {16, 24} << "16 or 24";
        QTest::newRow("HDA4") << "HDA4" << int(ModulationModel::HDA4) << QList<uint> {24, 48, 96}
                              << "24, 48 or 96";
        QTest::newRow("unknown") << "QPSK" << -1 << QList<uint> {} << "any number of";
        QTest::newRow("wrong case") << "lda2" << -1 << QList<uint> {} << "any number of";
    }

    void modulationNamesAreTheModuleWords()
    {
        QFETCH(QString, name);
        QFETCH(int, value);
        QFETCH(QList<uint>, sizes);
        QFETCH(QString, text);
        const int parsed = Helper::strToEnum<ModulationModel::Modulation>(name);
        QCOMPARE(parsed, value);
        ModulationModel model;
        QSignalSpy sizeSpy(&model, &ModulationModel::allowedSizeChanged);
        model.setModulation(parsed);
        QCOMPARE(sizeSpy.size(), 1);
        QCOMPARE(sizeSpy.at(0).at(0).value<QList<uint>>(), sizes);
        QCOMPARE(model.allowedSize(), sizes);
        QCOMPARE(model.allowedSizeText(), text);
        QCOMPARE(model.modulationName(), value < 0 ? QStringLiteral("NA") : name);
    }

    void rconfAnswerAndReset()
    {
        ModulationModel model;
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(model.data(model.index(4), ModulationModel::NameRole).toString(), QStringLiteral("HDA4"));
        model.setFrequencyMin(401620000);
        model.setFrequencyMax(401680000);
        model.setPower(350);
        model.setModulation(ModulationModel::LDK);
        QVERIFY(model.data(model.index(3), ModulationModel::SelectedRole).toBool());
        QCOMPARE(model.data(model.index(3), ModulationModel::AllowedSizeRole).toString(),
            QStringLiteral("16 or 24"));
        QCOMPARE(model.frequencyMin(), 401620000u);
        QCOMPARE(model.power(), 350u);
        QSignalSpy sizeSpy(&model, &ModulationModel::allowedSizeChanged);
        model.reset();
        QCOMPARE(model.modulation(), int(ModulationModel::NA));
        QCOMPARE(model.frequencyMax(), 0u);
        QCOMPARE(sizeSpy.size(), 1);
        QVERIFY(sizeSpy.at(0).at(0).value<QList<uint>>().isEmpty());
        QVERIFY(!model.data(model.index(3), ModulationModel::SelectedRole).toBool());
    }

    void modulationChecksThePayloads()
    {
        TxHarness h;
        h.tx->addPayloadItem(QString(48, QLatin1Char('A')));
        h.tx->addPayloadItem(QStringLiteral("ABCDEF"));
        QSignalSpy checked(h.tx->payloadListModel(), &PayloadModel::payloadChecked);
        h.tx->modulationModel()->setModulation(ModulationModel::VLDA4);
        QCOMPARE(checked.size(), 2);
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::ERROR);
        QCOMPARE(h.tx->payloadListModel()->getStatus(1), Payload::NONE);
        h.tx->modulationModel()->reset();
        QCOMPARE(h.tx->payloadListModel()->getStatus(0), Payload::NONE);
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("full") << "radio_conf_401620000_401680000_350_LDA2.bin" << true;
        QTest::newRow("empty fields") << "radio_conf____.bin" << true;
        QTest::newRow("letters in frequency") << "radio_conf_40A_401680000_350_LDA2.bin" << false;
        QTest::newRow("missing field") << "radio_conf_401620000_350_LDA2.bin" << false;
        QTest::newRow("other extension") << "radio_conf_1_2_3_LDA2.txt" << false;
        QTest::newRow("dot is a dot") << "radio_conf_1_2_3_LDA2xbin" << false;
        QTest::newRow("prefix") << "my_radio_conf_1_2_3_LDA2.bin" << false;
        QTest::newRow("path") << "../radio_conf_1_2_3_LDA2.bin" << false;
        QTest::newRow("symbol in modulation") << "radio_conf_1_2_3_LDA-2.bin" << false;
    }

    void fileNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(RadioConf::isValidFileName(name), valid);
    }

    void directoryListsValidFilesOnly()
    {
        QCOMPARE(RadioConf::configuredDirectory(), m_dir.filePath(QStringLiteral("rconf")));
        TxHarness h;
        QCOMPARE(h.tx->modulationList()->stringList(),
            (QStringList {"radio_conf_401620000_401680000_350_LDA2.bin",
                "radio_conf_401630000_401650000_500_VLDA4.bin"}));
    }

    void choosingAFileSendsItsBytes()
    {
        TxHarness h;
        QSignalSpy request(h.tx.get(), &TxManager::setRadioConfRequest);
        QVERIFY(h.tx->changeModulationRadioConfiguration(
            QStringLiteral("radio_conf_401620000_401680000_350_LDA2.bin")));
        QCOMPARE(request.size(), 1);
        QCOMPARE(request.at(0).at(0).toByteArray().toUpper(), QByteArray("00112233445566778899AABBCCDDEEFF"));

        const QString elsewhere
            = writeFile(QStringLiteral("picked/radio_conf_1_2_3_HDA4.bin"), sixteenBytes());
        QVERIFY(h.tx->importRadioConfFile(QUrl::fromLocalFile(elsewhere).toString()));
        QCOMPARE(request.size(), 2);
    }

    void wrongFilesAreRefused_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("reason");
        QTest::newRow("15 bytes") << "rconf/radio_conf_1_2_3_SHORT.bin"
                                  << "16 bytes expected";
        QTest::newRow("17 bytes") << "rconf/radio_conf_1_2_3_LONG.bin"
                                  << "16 bytes expected";
        QTest::newRow("name") << "rconf/notes.txt"
                              << "Invalid radio configuration file name";
        QTest::newRow("missing") << "rconf/radio_conf_9_9_9_GONE.bin"
                                 << "Unable to open";
    }

    void wrongFilesAreRefused()
    {
        QFETCH(QString, relative);
        QFETCH(QString, reason);
        TxHarness h;
        QSignalSpy request(h.tx.get(), &TxManager::setRadioConfRequest);
        QSignalSpy error(h.tx.get(), &TxManager::txErrorOccured);
        QVERIFY(!h.tx->importRadioConfFile(m_dir.filePath(relative)));
        QCOMPARE(request.size(), 0);
        QCOMPARE(error.size(), 1);
        QVERIFY2(error.at(0).at(0).toString().contains(reason), qPrintable(error.at(0).at(0).toString()));
        QVERIFY(h.logs.contains(error.at(0).at(0).toString()));
    }

    void choosingOutsideTheDirectoryIsRefused()
    {
        TxHarness h;
        QSignalSpy request(h.tx.get(), &TxManager::setRadioConfRequest);
        writeFile(QStringLiteral("radio_conf_1_2_3_UP.bin"), sixteenBytes());
        QVERIFY(!h.tx->changeModulationRadioConfiguration(QStringLiteral("../radio_conf_1_2_3_UP.bin")));
        QCOMPARE(request.size(), 0);
    }

    void euiValidation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("eui");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << "70b3d57ed0010203" << true << "70B3D57ED0010203";
        QTest::newRow("module list") << "70,B3,D5,7E,D0,01,02,03" << true << "70B3D57ED0010203";
        QTest::newRow("colons") << "70:B3:D5:7E:D0:01:02:03" << true << "70B3D57ED0010203";
        QTest::newRow("7 bytes") << "70B3D57ED00102" << false << "";
        QTest::newRow("9 bytes") << "70B3D57ED001020304" << false << "";
        QTest::newRow("not hex") << "70B3D57ED00102GG" << false << "";
        QTest::newRow("empty") << "" << false << "";
    }

    void euiValidation()
    {
        QFETCH(QString, text);
        QFETCH(bool, eui);
        QFETCH(QString, stored);
        QCOMPARE(LoRaConnectivity::isValidEui(text), eui);
        LoRaConnectivity lora;
        QVERIFY(lora.setDevEui(QStringLiteral("0000000000000001")));
        QSignalSpy changed(&lora, &LoRaConnectivity::devEuiChanged);
        QCOMPARE(lora.setDevEui(text), eui);
        QCOMPARE(changed.size(), eui ? 1 : 0);
        QCOMPARE(lora.devEui(), eui ? stored : QStringLiteral("0000000000000001"));
        QCOMPARE(lora.setAppEui(text), eui);
        QVERIFY(!lora.setAppKey(text));
    }

    void keyAndFormatting()
    {
        LoRaConnectivity lora;
        const QString key = QStringLiteral("2b7e151628aed2a6abf7158809cf4f3c");
        QVERIFY(LoRaConnectivity::isValidKey(key));
        QVERIFY(lora.setAppKey(key));
        QCOMPARE(lora.appKey(), key.toUpper());
        QVERIFY(!lora.setAppKey(key.left(30)));
        QCOMPARE(LoRaConnectivity::formatEui(QStringLiteral("70B3D57ED0010203")),
            QStringLiteral("70,B3,D5,7E,D0,01,02,03"));
        QCOMPARE(LoRaConnectivity::formatEui(lora.appKey()),
            QStringLiteral("2B,7E,15,16,28,AE,D2,A6,AB,F7,15,88,09,CF,4F,3C"));
        QCOMPARE(LoRaConnectivity::formatEui(QString()), QString());
    }

    void loraResetThroughTheManager()
    {
        TxHarness h;
        LoRaConnectivity* lora = h.tx->loraConfig();
        QVERIFY(lora->setDevEui(QStringLiteral("70B3D57ED0010203")));
        QVERIFY(lora->setAppEui(QStringLiteral("70B3D57ED0010204")));
        lora->setRedundancy(3);
        lora->setAckEnabled(true);
        QSignalSpy ack(lora, &LoRaConnectivity::ackEnabledChanged);
        h.tx->clearLoraData();
        QCOMPARE(lora->devEui(), QString());
        QCOMPARE(lora->appEui(), QString());
        QCOMPARE(lora->redundancy(), LoRaConnectivity::DEFAULT_REDUNDANCY);
        QVERIFY(!lora->ackEnabled());
        QCOMPARE(ack.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestModulation)
#include "tst_modulation.moc"
