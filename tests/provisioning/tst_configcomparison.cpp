// The comparison of a module's configuration with a file, over a file the
// tool exported from a development kit and the answers such a kit gives.
#include "provisioning/ConfigComparison.h"

#include <QFile>
#include <QtTest>

namespace {

QStringList exportedFile()
{
    QFile file(TAV_TEST_DATA_DIR "/trekon.conf");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// What the kit answers to the gets, had it taken every line of the file.
QMap<QString, QString> answersFromFile(const QStringList& lines)
{
    QMap<QString, QString> answers;
    for (const QString& line : lines) {
        const QString text = line.trimmed();
        answers.insert(text.section('=', 0, 0).mid(3), "+" + text.mid(3));
    }
    return answers;
}

} // namespace

class TestConfigComparison : public QObject {
    Q_OBJECT

private slots:
    void comparesTheModuleWithTheFile_data()
    {
        QTest::addColumn<QStringList>("answers"); // "WORD" removes, "+WORD=..." replaces
        QTest::addColumn<QStringList>("expected");
        const QString key = "Application key: not readable";
        QTest::newRow("holds the file") << QStringList {} << QStringList {key};
        QTest::newRow("other position")
            << QStringList {"+POS=12.5,-3.25"}
            << QStringList {"Beacon latitude: module 12.5, file 43.5", "Beacon longitude: module -3.25, file 1.4",
                   key};
        QTest::newRow("the module's own number and date forms")
            << QStringList {"+PREPASS_CFG=43.50,1.40,2026-1-5T8:0:0Z,2026-1-12T8:0:0Z,15.0,90,5.0,1000,5,30",
                   "+LORA_AEUI=70,b3,d5,7e,d0,00,00,01", "+PACQ=60.0"}
            << QStringList {key};
        QTest::newRow("the module's digits beyond the file's precision")
            << QStringList {"+POS=43.5000004,1.39999996", "+PREPASS_CFG=43.5,1.4,2026-12-09T00:23:15Z,"
                                                          "2026-12-16T00:23:15Z,15.0000001,90,5,1000,5,30"}
            << QStringList {key};
        QTest::newRow("a digit within the file's precision")
            << QStringList {"+POS=43.5001,1.40001"}
            << QStringList {"Beacon latitude: module 43.5001, file 43.5", "Beacon longitude: module 1.40001, file 1.4",
                   key};
        QTest::newRow("a day less of prediction")
            << QStringList {"+PREPASS_CFG=43.5,1.4,2026-1-5T8:0:0Z,2026-1-11T20:0:0Z,15,90,5,1000,5,30"}
            << QStringList {"Prediction duration: module 6, file 7", key};
        QTest::newRow("sensor flags and thresholds")
            << QStringList {"+PACQ_SENS=1,1,0,1,1,1,1", "+ALRT_LIGHT=1,400,2500"}
            << QStringList {"Light alert: module 1, file 0", "Light high threshold: module 2500, file 3000",
                   "Humidity enabled: module 0, file 1", key};
        QTest::newRow("no answer for the EUI")
            << QStringList {"LORA_AEUI"} << QStringList {"Application EUI: not readable", key};
        QTest::newRow("an answer cut short")
            << QStringList {"+POS=43.5"} << QStringList {"Beacon longitude: not readable", key};
    }

    void comparesTheModuleWithTheFile()
    {
        QFETCH(QStringList, answers);
        QFETCH(QStringList, expected);
        const QStringList file = exportedFile();
        QVERIFY2(file.size() > 10, "the exported configuration in tests/data is missing");
        QString error;
        const QList<ConfigField> wanted = ConfigComparison::fieldsOfRequests(file, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        QMap<QString, QString> byWord = answersFromFile(file);
        for (const QString& answer : answers) {
            if (answer.startsWith('+'))
                byWord.insert(answer.mid(1).section('=', 0, 0), answer);
            else
                byWord.remove(answer);
        }
        QList<ConfigField> module;
        for (const QString& command : ConfigComparison::commandsToRead(wanted))
            module += ConfigComparison::fieldsOfAnswer(byWord.value(command));

        QStringList texts;
        for (const ConfigDifference& difference : ConfigComparison::compare(module, wanted))
            texts << difference.text();
        QCOMPARE(texts, expected);
    }

    void onlyWhatTheModuleKeepsIsCompared()
    {
        QString error;
        const QList<ConfigField> fields = ConfigComparison::fieldsOfRequests(
            {"AT+UDATE=2026-01-05T08:00:00Z", "AT+AOP=A,2026-1-1T10:0:0Z,7100.5,98.5,10,-25.5,100.25,-0.25",
                "AT+RST=", "AT+TAV_REDUN=?", "", "AT+LORA_AKEY=00,11", "AT+TAV_REDUN=4"},
            &error);
        QVERIFY(error.isEmpty());
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields.at(0).name, QString("Application key"));
        QVERIFY(!fields.at(0).readable);
        // The key is never asked for: the module does not give it back.
        QCOMPARE(ConfigComparison::commandsToRead(fields), QStringList {"TAV_REDUN"});

        ConfigComparison::fieldsOfRequests({"AT+PACQ=30", "PACQ 30"}, &error);
        QCOMPARE(error, QString("not a configuration command: PACQ 30"));
    }

    void uploadFailureNamesTheFields()
    {
        const QList<ConfigDifference> left {{ConfigDifference::DIFFERENT, "Beacon latitude", "1", "2"},
            {ConfigDifference::NOT_READABLE, "Application key", {}, "00"},
            {ConfigDifference::DIFFERENT, "LoRa", "0", "1"}};
        QCOMPARE(ConfigComparison::uploadFailure(left),
            QString("Configuration uploaded, but 2 fields differ: Beacon latitude, LoRa"));
        QCOMPARE(ConfigComparison::uploadFailure(left.mid(0, 1)),
            QString("Configuration uploaded, but 1 field differs: Beacon latitude"));
    }
};

QTEST_GUILESS_MAIN(TestConfigComparison)
#include "tst_configcomparison.moc"
