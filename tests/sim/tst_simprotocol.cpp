// The simulator answers as each module variant does, and every answer it
// gives parses with the host's response grammar for that variant.
#include "SimSession.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using A = AtCmdHandler;
Q_DECLARE_METATYPE(AtCmdHandler::CmdId)

namespace {

QDateTime moduleDate(const QString& text)
{
    QDateTime d = QDateTime::fromString(text, QStringLiteral("yyyy-M-d'T'H:m:s'Z'"));
    d.setTimeZone(QTimeZone::utc());
    return d;
}

} // namespace

class TestSimProtocol : public QObject {
    Q_OBJECT

private slots:
    void everyGetParsesWithTheHostGrammar_data();
    void everyGetParsesWithTheHostGrammar();
    void unsupportedCommandsAnswerError6_data();
    void unsupportedCommandsAnswerError6();
    void setThenGetRoundTrip_data();
    void setThenGetRoundTrip();
    void badArgumentsAnswerTheFittingError_data();
    void badArgumentsAnswerTheFittingError();
    void rejectedSetKeepsTheStoredValue();
    void uploadedOrbitDataIsReportedBack();
    void moduleClockIsSettable();
    void nextPassLiesAheadOfTheModuleClock();
    void transmitResultFollowsTheAcknowledgement_data();
    void transmitResultFollowsTheAcknowledgement();
    void frameSizeFollowsTheRadioConfiguration();
    void queuedMessageWaitsForThePredictedPass();
    void txFifoListsQueuedMessagesAndFlushes();
    void unsolicitedLinesParse();
    void trekonResetKeepsTheConfiguration();
    void replayAnswersAsTheLogRecorded();
    void malformedRequests_data();
    void malformedRequests();
};

void TestSimProtocol::everyGetParsesWithTheHostGrammar_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("word");
    QTest::addColumn<A::CmdId>("expected");
    QTest::addColumn<int>("fields"); // data fields of each line, -1 for lists

    const struct {
        const char* module;
        const char* word;
        A::CmdId id;
        int fields;
    } rows[] = {
        {"TAV1", "PING", A::OK, 1},
        {"TAV1", "ID", A::ID, 1},
        {"TAV1", "FW", A::FW, 1},
        {"TAV1", "SN", A::SN, 1},
        {"TAV1", "ATXFRQ", A::ATXFRQ, 1},
        {"TAV1", "PWR", A::PWR, 1},
        {"TAV1", "AFMT", A::AFMT, 4},
        {"TREKON", "PING", A::OK, 1},
        {"TREKON", "ID", A::ID, 1},
        {"TREKON", "FW", A::FW, 1},
        {"TREKON", "PREPASS_EN", A::PREPASS_EN, 1},
        {"TREKON", "PREPASS_CFG", A::PREPASS_CFG, 11},
        {"TREKON", "POS", A::POS, 3},
        {"TREKON", "AOP", A::AOP, -1},
        {"TREKON", "UDATE", A::UDATE, 1},
        {"TREKON", "NEXTPASS", A::NEXTPASS, 6},
        {"TREKON", "LORA_EN", A::LORA_EN, 1},
        {"TREKON", "LORA_REDUN", A::LORA_REDUN, 1},
        {"TREKON", "LORA_ACK", A::LORA_ACK, 1},
        {"TREKON", "LORA_DEUI", A::LORA_DEUI, 9},
        {"TREKON", "LORA_AEUI", A::LORA_AEUI, 9},
        {"TREKON", "LORA_AKEY", A::LORA_AKEY, 17},
        {"TREKON", "PACQ", A::PACQ, 1},
        {"TREKON", "PACQ_SENS", A::PACQ_SENS, 8},
        {"TREKON", "ALRT_SENS", A::ALRT_SENS, 8},
        {"TREKON", "ALRT_LIGHT", A::ALRT_LIGHT, 3},
        {"TREKON", "ALRT_ACC", A::ALRT_ACC, 3},
        {"TREKON", "ALRT_DRYC", A::ALRT_DRYC, 3},
        {"TREKON", "ALRT_PB", A::ALRT_PB, 1},
        {"TREKON", "TAV_REDUN", A::TAV_REDUN, 1},
    };
    for (const auto& r : rows)
        QTest::addRow("%s %s", r.module, r.word) << r.module << r.word << r.id << r.fields;

    // The two Argos kits share their command set.
    for (const char* module : {"TAV2", "RIX"}) {
        const struct {
            const char* word;
            A::CmdId id;
            int fields;
        } kit[] = {
            {"PING", A::OK, 1},
            {"ID", A::ID, 1},
            {"ADDR", A::ADDR, 1},
            {"FW", A::FW, 1},
            {"RCONF", A::RCONF, 5},
            {"PREPASS_EN", A::PREPASS_EN, 1},
            {"PREPASS_CFG", A::PREPASS_CFG, 11},
            {"POS", A::POS, 3},
            {"AOP", A::AOP, -1},
            {"SAT", A::SAT, -1},
            {"UDATE", A::UDATE, 1},
            {"NEXTPASS", A::NEXTPASS, 6},
            {"TXFIFO", A::TXFIFO, -1},
            {"ATXRP", A::ATXRP, 3},
        };
        for (const auto& r : kit)
            QTest::addRow("%s %s", module, r.word) << module << r.word << r.id << r.fields;
    }
}

void TestSimProtocol::everyGetParsesWithTheHostGrammar()
{
    QFETCH(QString, module);
    QFETCH(QString, word);
    QFETCH(A::CmdId, expected);
    QFETCH(int, fields);

    SimSession s({"--module", module});
    QVERIFY2(s.open(), qPrintable(s.error));
    A handler(nullptr, hostGrammar(module));

    const QStringList answer = s.link.request("AT+" + word.toLatin1() + "=?");
    QVERIFY2(!answer.isEmpty(), "no answer");
    for (const QString& line : answer) {
        QVERIFY2(handler.parse(line), qPrintable("does not parse: " + line));
        QCOMPARE(handler.getId(), expected);
        if (fields >= 0)
            QCOMPARE(int(handler.getDataLength()), fields);
    }
    if (fields < 0) {
        QCOMPARE(answer.constLast(), "+" + word + "=end");
        if (expected != A::TXFIFO)
            QVERIFY2(answer.size() >= 4, "a realistic constellation has several satellites");
    }
}

void TestSimProtocol::unsupportedCommandsAnswerError6_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("TAV1 has no position") << "TAV1" << QByteArray("AT+POS=?");
    QTest::newRow("TAV1 has no clock") << "TAV1" << QByteArray("AT+UDATE=?");
    QTest::newRow("TAV1 has no queue") << "TAV1" << QByteArray("AT+TXDATA=0102");
    QTest::newRow("TAV2 has no serial number") << "TAV2" << QByteArray("AT+SN=?");
    QTest::newRow("TAV2 has no LoRa") << "TAV2" << QByteArray("AT+LORA_EN=?");
    QTest::newRow("RIX has no power setting") << "RIX" << QByteArray("AT+PWR=500");
    QTest::newRow("TREKON has no constellation status") << "TREKON" << QByteArray("AT+SAT=?");
    QTest::newRow("TREKON has no address") << "TREKON" << QByteArray("AT+ADDR=?");
    QTest::newRow("TREKON has no repetition") << "TREKON" << QByteArray("AT+ATXRP=0");
    QTest::newRow("downlink lines are not requests") << "TAV2" << QByteArray("AT+RX=?");
    QTest::newRow("unknown word") << "RIX" << QByteArray("AT+FOO=?");
}

void TestSimProtocol::unsupportedCommandsAnswerError6()
{
    QFETCH(QString, module);
    QFETCH(QByteArray, request);
    SimSession s({"--module", module});
    QVERIFY2(s.open(), qPrintable(s.error));
    QCOMPARE(s.link.request(request), QStringList {"+ERROR=6"});
}

void TestSimProtocol::setThenGetRoundTrip_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<QString>("answer");

    QTest::newRow("TAV1 power") << "TAV1" << QByteArray("AT+PWR=1000") << "+PWR=1000";
    QTest::newRow("TAV1 frequency with hopping")
        << "TAV1" << QByteArray("AT+ATXFRQ=401630000,1") << "+ATXFRQ=401630000,1";
    QTest::newRow("TAV1 raw format") << "TAV1" << QByteArray("AT+AFMT=0,0,0") << "+AFMT=0,0,0";
    QTest::newRow("TAV2 position") << "TAV2" << QByteArray("AT+POS=-12.5,130.25") << "+POS=-12.5,130.25";
    QTest::newRow("TAV2 prepass enable") << "TAV2" << QByteArray("AT+PREPASS_EN=2") << "+PREPASS_EN=2";
    QTest::newRow("TAV2 prepass config in the host's ISO dates")
        << "TAV2"
        << QByteArray("AT+PREPASS_CFG=43.5,1.4,2024-05-01T10:00:00Z,2024-05-08T10:00:00Z,15,85,5,1000,5,30")
        << "+PREPASS_CFG=43.5,1.4,2024-5-1T10:0:0Z,2024-5-8T10:0:0Z,15,85,5,1000,5,30";
    QTest::newRow("RIX repetition") << "RIX" << QByteArray("AT+ATXRP=10,60000") << "+ATXRP=10,60000";
    QTest::newRow("RIX repetition count alone keeps the period")
        << "RIX" << QByteArray("AT+ATXRP=4") << "+ATXRP=4,60000";
    QTest::newRow("RIX radio configuration")
        << "RIX" << QByteArray("AT+RCONF=17F0633017F12680015E020000000000")
        << "+RCONF=401630000,401680000,350,VLDA4";
    QTest::newRow("TREKON app EUI as bytes") << "TREKON" << QByteArray("AT+LORA_AEUI=01,02,03,04,05,06,07,0a")
                                             << "+LORA_AEUI=01,02,03,04,05,06,07,0A";
    QTest::newRow("TREKON app EUI as one run")
        << "TREKON" << QByteArray("AT+LORA_AEUI=A1B2C3D4E5F60718") << "+LORA_AEUI=A1,B2,C3,D4,E5,F6,07,18";
    QTest::newRow("TREKON app key") << "TREKON"
                                    << QByteArray(
                                           "AT+LORA_AKEY=00,11,22,33,44,55,66,77,88,99,AA,BB,CC,DD,EE,FF")
                                    << "+LORA_AKEY=00,11,22,33,44,55,66,77,88,99,AA,BB,CC,DD,EE,FF";
    QTest::newRow("TREKON LoRa enable") << "TREKON" << QByteArray("AT+LORA_EN=1") << "+LORA_EN=1";
    QTest::newRow("TREKON LoRa redundancy") << "TREKON" << QByteArray("AT+LORA_REDUN=2") << "+LORA_REDUN=2";
    QTest::newRow("TREKON acquisition period") << "TREKON" << QByteArray("AT+PACQ=300") << "+PACQ=300";
    QTest::newRow("TREKON sensor enables")
        << "TREKON" << QByteArray("AT+PACQ_SENS=1,0,1,0,1,0,1") << "+PACQ_SENS=1,0,1,0,1,0,1";
    QTest::newRow("TREKON alert enables")
        << "TREKON" << QByteArray("AT+ALRT_SENS=0,0,0,0,1,1,1") << "+ALRT_SENS=0,0,0,0,1,1,1";
    QTest::newRow("TREKON light alert with thresholds")
        << "TREKON" << QByteArray("AT+ALRT_LIGHT=1,500,2000") << "+ALRT_LIGHT=1,500,2000";
    QTest::newRow("TREKON light alert flag alone keeps the thresholds")
        << "TREKON" << QByteArray("AT+ALRT_LIGHT=1") << "+ALRT_LIGHT=1,400,3000";
    QTest::newRow("TREKON accelerometer alert")
        << "TREKON" << QByteArray("AT+ALRT_ACC=1,2500") << "+ALRT_ACC=1,2500";
    QTest::newRow("TREKON dry contact alert")
        << "TREKON" << QByteArray("AT+ALRT_DRYC=1,0") << "+ALRT_DRYC=1,0";
    QTest::newRow("TREKON push button alert") << "TREKON" << QByteArray("AT+ALRT_PB=1") << "+ALRT_PB=1";
    QTest::newRow("TREKON redundancy") << "TREKON" << QByteArray("AT+TAV_REDUN=5") << "+TAV_REDUN=5";
}

void TestSimProtocol::setThenGetRoundTrip()
{
    QFETCH(QString, module);
    QFETCH(QByteArray, set);
    QFETCH(QString, answer);

    SimSession s({"--module", module});
    QVERIFY2(s.open(), qPrintable(s.error));
    QCOMPARE(s.link.request(set), QStringList {"+OK"});
    const QByteArray get = set.left(set.indexOf('=')) + "=?";
    const QStringList got = s.link.request(get);
    QCOMPARE(got, QStringList {answer});

    A handler(nullptr, hostGrammar(module));
    QVERIFY2(handler.parse(got.constFirst()), qPrintable(got.constFirst()));
}

void TestSimProtocol::badArgumentsAnswerTheFittingError_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("code");

    QTest::newRow("missing longitude") << "TAV2" << QByteArray("AT+POS=43.5") << 3;
    QTest::newRow("empty latitude") << "TAV2" << QByteArray("AT+POS=,1.4") << 3;
    QTest::newRow("extra position field") << "TAV2" << QByteArray("AT+POS=43.5,1.4,7") << 4;
    QTest::newRow("latitude not a number") << "TAV2" << QByteArray("AT+POS=north,1.4") << 2;
    QTest::newRow("latitude beyond the pole") << "TAV2" << QByteArray("AT+POS=95,1.4") << 5;
    QTest::newRow("prepass mode 3") << "TAV2" << QByteArray("AT+PREPASS_EN=3") << 5;
    QTest::newRow("identifier is read-only") << "TAV2" << QByteArray("AT+ID=12") << 4;
    QTest::newRow("transmit needs a message") << "TAV2" << QByteArray("AT+TX=?") << 3;
    QTest::newRow("half a byte") << "TAV2" << QByteArray("AT+TX=ABC") << 20;
    QTest::newRow("message too long") << "TAV2"
                                      << "AT+TX=" + QByteArray(66, 'A') << 20;
    QTest::newRow("attribute takes two bytes of the LDA2 frame")
        << "TAV2"
        << "AT+TX=" + QByteArray(48, 'A') + ",0x4" << 20;
    QTest::newRow("message not hexadecimal") << "TAV2" << QByteArray("AT+TX=ZZ") << 2;
    QTest::newRow("attribute without 0x") << "RIX" << QByteArray("AT+TXDATA=0102,4") << 2;
    QTest::newRow("status of an unknown satellite") << "TAV2" << QByteArray("AT+SAT=E,1,1") << 5;
    QTest::newRow("uplink status out of range") << "TAV2" << QByteArray("AT+SAT=B,1,7") << 5;
    QTest::newRow("flush takes an empty argument") << "TAV2" << QByteArray("AT+TXFIFO=1") << 5;
    QTest::newRow("date not a date") << "RIX" << QByteArray("AT+UDATE=yesterday") << 2;
    QTest::newRow("prediction ends before it starts")
        << "RIX"
        << QByteArray("AT+PREPASS_CFG=43.5,1.4,2024-05-08T10:00:00Z,2024-05-01T10:00:00Z,15,85,5,1000,5,30")
        << 5;
    QTest::newRow("prediction config short by one")
        << "RIX"
        << QByteArray("AT+PREPASS_CFG=43.5,1.4,2024-05-01T10:00:00Z,"
                      "2024-05-08T10:00:00Z,15,85,5,1000,5")
        << 3;
    QTest::newRow("orbit of an impossible satellite")
        << "TREKON" << QByteArray("AT+AOP=E,2024-05-01T10:12:00Z,100,98.7,326.17,-25.34,101.36,-0.05") << 5;
    QTest::newRow("power level the amplifier lacks") << "TAV1" << QByteArray("AT+PWR=123") << 5;
    QTest::newRow("frequency out of band") << "TAV1" << QByteArray("AT+ATXFRQ=433920000") << 5;
    QTest::newRow("format length 8") << "TAV1" << QByteArray("AT+AFMT=1,8,32") << 5;
    QTest::newRow("TAV1 takes no attribute") << "TAV1" << QByteArray("AT+TX=0102,0x4") << 4;
    QTest::newRow("device EUI is burnt in")
        << "TREKON" << QByteArray("AT+LORA_DEUI=00,11,22,33,44,55,66,77") << 4;
    QTest::newRow("EUI short of bytes") << "TREKON" << QByteArray("AT+LORA_AEUI=01,02,03") << 3;
    QTest::newRow("three sensor flags") << "TREKON" << QByteArray("AT+PACQ_SENS=1,1,1") << 3;
    QTest::newRow("flag 2") << "TREKON" << QByteArray("AT+ALRT_PB=2") << 5;
    QTest::newRow("light thresholds reversed") << "TREKON" << QByteArray("AT+ALRT_LIGHT=1,3000,400") << 5;
    QTest::newRow("light threshold alone") << "TREKON" << QByteArray("AT+ALRT_LIGHT=1,400") << 3;
    QTest::newRow("reset takes no value") << "TREKON" << QByteArray("AT+RST=1") << 4;
}

void TestSimProtocol::badArgumentsAnswerTheFittingError()
{
    QFETCH(QString, module);
    QFETCH(QByteArray, request);
    QFETCH(int, code);
    SimSession s({"--module", module});
    QVERIFY2(s.open(), qPrintable(s.error));
    QCOMPARE(s.link.request(request), QStringList {"+ERROR=" + QString::number(code)});
}

void TestSimProtocol::rejectedSetKeepsTheStoredValue()
{
    SimSession s({"--module", "TAV2"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QCOMPARE(s.link.request("AT+POS=10.25,20.5"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+POS=10.25,999"), QStringList {"+ERROR=5"});
    QCOMPARE(s.link.request("AT+POS=?"), QStringList {"+POS=10.25,20.5"});
}

void TestSimProtocol::uploadedOrbitDataIsReportedBack()
{
    SimSession s({"--module", "RIX"});
    QVERIFY2(s.open(), qPrintable(s.error));
    A handler(nullptr, hostGrammar(QStringLiteral("RIX")));

    // A new satellite, and new parameters for a known one, as the host writes them.
    QCOMPARE(s.link.request("AT+AOP=e,2024-05-01T10:12:00Z,7195.6,98.7,326.17,-25.34,101.36,-0.05"),
        QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+AOP=B,2024-05-02T08:00:30Z,7195.62,98.7052,12.5,-25.3414,101.3604,-0.09"),
        QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+SAT=E,1,2"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+SAT=B,0,3"), QStringList {"+OK"});

    const QStringList aop = s.link.request("AT+AOP=?");
    QVERIFY(aop.contains("+AOP=E,2024-5-1T10:12:0Z,7195.6,98.7,326.17,-25.34,101.36,-0.05"));
    // Out of service now: the module blacklists it.
    QVERIFY(aop.contains("+AOP=B,2024-5-2T8:0:30Z,7195.62,98.7052,12.5,-25.3414,101.3604,-0.09,blacklisted"));
    QCOMPARE(aop.count(QStringLiteral("+AOP=end")), 1);
    QVERIFY(handler.parse(aop.filter("+AOP=B").constFirst()));
    QCOMPARE(handler.getDataLength(), 10);
    QCOMPARE(handler.getData<QString>(9), ",blacklisted");

    const QStringList sat = s.link.request("AT+SAT=?");
    QVERIFY(sat.contains("+SAT=E,1,2"));
    QVERIFY(sat.contains("+SAT=B,0,3,blacklisted"));
}

void TestSimProtocol::moduleClockIsSettable()
{
    SimSession s({"--module", "TAV2"});
    QVERIFY2(s.open(), qPrintable(s.error));
    const QDateTime set(QDate(2030, 1, 2), QTime(3, 4, 5), QTimeZone::utc());
    QCOMPARE(s.link.request("AT+UDATE=" + set.toString(Qt::ISODate).toLatin1()), QStringList {"+OK"});

    const QStringList got = s.link.request("AT+UDATE=?");
    QCOMPARE(got.size(), 1);
    QVERIFY2(got.constFirst().startsWith("+UDATE="), qPrintable(got.constFirst()));
    const QDateTime reported = moduleDate(got.constFirst().mid(7));
    QVERIFY2(reported.isValid(), qPrintable(got.constFirst()));
    QVERIFY2(reported >= set && reported <= set.addSecs(5), qPrintable(got.constFirst()));
}

void TestSimProtocol::nextPassLiesAheadOfTheModuleClock()
{
    SimSession s({"--module", "TAV2", "--pass-in", "30", "--pass-duration", "100.5"});
    QVERIFY2(s.open(), qPrintable(s.error));
    A handler(nullptr, hostGrammar(QStringLiteral("TAV2")));
    const QDateTime set(QDate(2031, 6, 1), QTime(12, 0, 0), QTimeZone::utc());
    QCOMPARE(s.link.request("AT+UDATE=" + set.toString(Qt::ISODate).toLatin1()), QStringList {"+OK"});

    const QStringList pass = s.link.request("AT+NEXTPASS=?");
    QCOMPARE(pass.size(), 1);
    QVERIFY2(handler.parse(pass.constFirst()), qPrintable(pass.constFirst()));
    const QDateTime start = moduleDate(handler.getData<QString>(2));
    const QDateTime end = moduleDate(handler.getData<QString>(3));
    QVERIFY2(start >= set.addSecs(29) && start <= set.addSecs(40), qPrintable(pass.constFirst()));
    QVERIFY(qAbs(start.secsTo(end) - 100) <= 1);
    QCOMPARE(handler.getData<QString>(4), "100.5");
    // The satellite out of service is never predicted.
    QVERIFY(handler.getData<QString>(1) != "A");
    // Asked again before it ends, the prediction stays the same.
    QCOMPARE(s.link.request("AT+NEXTPASS=?"), pass);

    // With a downlink needed, only a satellite that transmits qualifies.
    const QStringList withDownlink = s.link.request("AT+NEXTPASS=3,3");
    QVERIFY2(handler.parse(withDownlink.value(0)), qPrintable(withDownlink.value(0)));
    const QString id = handler.getData<QString>(1);
    const QStringList sat = s.link.request("AT+SAT=?");
    const QStringList satLine = sat.filter(QRegularExpression("^\\+SAT=" + id + ","));
    QCOMPARE(satLine.size(), 1);
    const QString downlink = satLine.constFirst().section(',', 1, 1);
    QVERIFY2(downlink == "1" || downlink == "3", qPrintable(satLine.constFirst()));
}

void TestSimProtocol::transmitResultFollowsTheAcknowledgement_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QByteArrayList>("requests");
    QTest::addColumn<QString>("message");
    QTest::newRow("TAV1") << "TAV1" << QByteArrayList {"AT+TX=0102a0"} << "0102A0";
    QTest::newRow("TAV2 periodic with acknowledgement")
        << "TAV2" << QByteArrayList {"AT+ATXRP=0", "AT+TX=CAFE,0x4"} << "CAFE";
    QTest::newRow("RIX prepass on module")
        << "RIX" << QByteArrayList {"AT+ATXRP=10,60000", "AT+TXDATA=BEEF0102,0x1"} << "BEEF0102";
    QTest::newRow("TREKON") << "TREKON" << QByteArrayList {"AT+TX=00FF"} << "00FF";
    QTest::newRow("RIX full high data rate frame")
        << "RIX" << QByteArrayList {"AT+ATXRP=0", "AT+TX=" + QByteArray(192, 'C')} << QString(192, 'C');
    QTest::newRow("TAV2 full LDA2 frame with acknowledgement")
        << "TAV2" << QByteArrayList {"AT+ATXRP=0", "AT+TX=" + QByteArray(44, '9') + ",0x4"}
        << QString(44, '9');
}

void TestSimProtocol::transmitResultFollowsTheAcknowledgement()
{
    QFETCH(QString, module);
    QFETCH(QByteArrayList, requests);
    QFETCH(QString, message);
    SimSession s({"--module", module, "--tx-delay", "200"});
    QVERIFY2(s.open(), qPrintable(s.error));

    for (const QByteArray& r : requests)
        QCOMPARE(s.link.request(r), QStringList {"+OK"});
    const QString result = s.link.readLine(5000);
    QCOMPARE(result, "+TX=0," + message);
    if (module != QLatin1String("TREKON")) {
        A handler(nullptr, hostGrammar(module));
        QVERIFY(handler.parse(result));
        QCOMPARE(handler.getId(), A::TX);
        QCOMPARE(handler.getData<QString>(0), message);
        QCOMPARE(handler.getData<uint>(1), 0u);
    }
}

void TestSimProtocol::frameSizeFollowsTheRadioConfiguration()
{
    SimSession s({"--module", "RIX", "--tx-delay", "5000"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QCOMPARE(s.link.request("AT+TX=" + QByteArray(96, 'A')), QStringList {"+OK"});
    // Switched to VLDA4, the radio carries three bytes, one with an attribute.
    QCOMPARE(s.link.request("AT+RCONF=17F0633017F12680015E020000000000"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+TX=" + QByteArray(96, 'A')), QStringList {"+ERROR=20"});
    QCOMPARE(s.link.request("AT+TX=A1A2A3"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+TX=A1A2,0x4"), QStringList {"+ERROR=20"});
    QCOMPARE(s.link.request("AT+TX=A1,0x4"), QStringList {"+OK"});
}

void TestSimProtocol::queuedMessageWaitsForThePredictedPass()
{
    SimSession s({"--module", "TAV2", "--pass-in", "30", "--tx-delay", "50"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QVERIFY(s.link.request("AT+NEXTPASS=?").value(0).startsWith("+NEXTPASS="));
    QCOMPARE(s.link.request("AT+ATXRP=4,60000"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+TXDATA=0A0B"), QStringList {"+OK"});
    // Nothing goes on the air before the pass starts, thirty seconds away.
    QVERIFY(s.link.staysQuiet(500));
    QCOMPARE(s.link.request("AT+TXFIFO=?"), (QStringList {"+TXFIFO=0,0A0B,0x0", "+TXFIFO=end"}));
}

void TestSimProtocol::txFifoListsQueuedMessagesAndFlushes()
{
    SimSession s({"--module", "RIX", "--tx-delay", "100"});
    QVERIFY2(s.open(), qPrintable(s.error));
    A handler(nullptr, hostGrammar(QStringLiteral("RIX")));
    QCOMPARE(s.link.request("AT+TXDATA=1122,0x4"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+TXDATA=3344"), QStringList {"+OK"});
    QCOMPARE(s.link.readLine(), "+TX=0,1122");
    QCOMPARE(s.link.readLine(), "+TX=0,3344");

    const QStringList fifo = s.link.request("AT+TXFIFO=?");
    QCOMPARE(fifo, (QStringList {"+TXFIFO=1,1122,0x4", "+TXFIFO=1,3344,0x0", "+TXFIFO=end"}));
    for (const QString& line : fifo)
        QVERIFY2(handler.parse(line), qPrintable(line));

    QCOMPARE(s.link.request("AT+TXFIFO="), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+TXFIFO=?"), QStringList {"+TXFIFO=end"});
}

void TestSimProtocol::unsolicitedLinesParse()
{
    SimSession s({"--module", "TAV2"});
    QVERIFY2(s.open(), qPrintable(s.error));
    A handler(nullptr, hostGrammar(QStringLiteral("TAV2")));
    const struct {
        const char* control;
        const char* line;
        A::CmdId id;
    } rows[] = {
        {"rx 0123abcd", "+RX=0123ABCD", A::RX},
        {"bc 55AA", "+BC=55AA", A::BC},
        {"assert hardfault at 0x0800f1c2", "+ASSERT=hardfault at 0x0800f1c2", A::ASSERT},
    };
    for (const auto& r : rows) {
        QVERIFY(s.sim.sendControl(r.control));
        const QString line = s.link.readLine();
        QCOMPARE(line, QString::fromLatin1(r.line));
        QVERIFY(handler.parse(line));
        QCOMPARE(handler.getId(), r.id);
    }
}

void TestSimProtocol::trekonResetKeepsTheConfiguration()
{
    SimSession s({"--module", "TREKON"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QCOMPARE(s.link.request("AT+PACQ=120"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+RST="), QStringList {"+OK"});

    // Maybe a banner (no "+": the host only logs it), then the status line.
    QString line = s.link.readLine();
    if (!line.isNull() && !line.startsWith("TREKON --"))
        line = s.link.readLine();
    QCOMPARE(line, "TREKON -- PARAMETERS RESTORED");
    QCOMPARE(s.link.request("AT+PACQ=?"), QStringList {"+PACQ=120"});
}

void TestSimProtocol::malformedRequests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QStringList>("answer");
    QTest::newRow("no equals sign") << QByteArray("AT+PING\r\n") << QStringList {"+ERROR=2"};
    QTest::newRow("lower case") << QByteArray("at+ping=?\r\n") << QStringList {"+ERROR=6"};
    QTest::newRow("carriage return alone, as terminals send")
        << QByteArray("AT+PING=?\r") << QStringList {"+OK"};
    QTest::newRow("line feed alone") << QByteArray("AT+PING=?\n") << QStringList {"+OK"};
    QTest::newRow("over-long request") << "AT+TX=" + QByteArray(3000, 'A') + "\r\n"
                                       << QStringList {"+ERROR=2"};
}

void TestSimProtocol::malformedRequests()
{
    QFETCH(QByteArray, request);
    QFETCH(QStringList, answer);
    SimSession s({"--module", "TAV2"});
    QVERIFY2(s.open(), qPrintable(s.error));
    QCOMPARE(s.link.request(request), answer);
    // Whatever came before, the next request is understood.
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});
}

// A session read back from a device log: the wake-up line once the device is
// opened, each request's recorded answers, a date set anew answered as the
// recorded one, a downlink in its place, and a request the log never saw.
void TestSimProtocol::replayAnswersAsTheLogRecorded()
{
    QTemporaryDir dir;
    const QString log = dir.filePath("device.log");
    QFile file(log);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[10:00:00:000] [APP] TREKON connected on port /dev/pts/9\n"
               "[10:00:00:100] [TRK] TREKON -- BUTTON PUSHED\n"
               "[10:00:00:200] [APP] AT+PING=?\n"
               "[10:00:00:210] [TRK] +OK\n"
               "[10:00:00:300] [APP] AT+UDATE=2026-12-08T10:00:00Z\n"
               "[10:00:00:310] [TRK] +OK\n"
               "[10:00:00:400] [APP] AT+ID=?\n"
               "[10:00:00:410] [TRK] +ID=1234\n"
               "[10:00:00:700] [TRK] +RX=4869\n"
               "not a log line\n"
               "[10:00:01:000] [APP] AT+ID=?\n"
               "[10:00:01:010] [TRK] +ID=5678\n");
    file.close();
    SimSession s({"--replay", log});
    QVERIFY2(s.open(), qPrintable(s.error));
    QCOMPARE(s.link.readLine(), QString("TREKON -- BUTTON PUSHED"));
    QCOMPARE(s.link.request("AT+PING=?"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+UDATE=2031-05-01T08:00:00Z"), QStringList {"+OK"});
    QCOMPARE(s.link.request("AT+ID=?"), QStringList {"+ID=1234"});
    QCOMPARE(s.link.readLine(), QString("+RX=4869"));
    QCOMPARE(s.link.request("AT+ID=?"), QStringList {"+ID=5678"});
    QCOMPARE(s.link.request("AT+FOO=?"), QStringList {"+ERROR=6"});
    QVERIFY(s.sim.transcriptEntries().contains("! not in the replayed log: AT+FOO=?"));

    SimulatorProcess missing({"--replay", dir.filePath("none.log")});
    QVERIFY(!missing.start());
}

QTEST_GUILESS_MAIN(TestSimProtocol)
#include "tst_simprotocol.moc"
