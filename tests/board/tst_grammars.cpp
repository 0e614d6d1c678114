#include "boards.h"
#include "log/Helper.h"
#include "protocol/CommandTable.h"
#include "protocol/IdentityCheck.h"

#include <QTest>

using CmdId = AtCmdHandler::CmdId;

namespace {

enum Modules { T1 = 1, T2 = 2, RX = 4, TK = 8, T2_RX = T2 | RX, T2_RX_TK = T2 | RX | TK, ALL = T1 | T2_RX_TK };

struct Entry {
    int modules;
    CmdId id;
    QString answer;
    QStringList fields;
};

const QString DATE = "2024-3-5T9:20:30Z";
const QString EUI = "70,B3,D5,7E,D0,01,02,03";
const QString KEY = "00,11,22,33,44,55,66,77,88,99,AA,BB,CC,DD,EE,FF";
const QString CFG = "24.5,15," + DATE + "," + DATE + ",90,5,1.5,20,0.1,60";
const QString AOP = "A1," + DATE + ",7195.6,98.5,-25.3,100.1,0.001,3.2,blacklisted";
const QString PASS = "A1," + DATE + "," + DATE + ",45.2,600";

// Which modules answer each command, and a real answer with the fields it
// yields through the grammar the command table gives the module.
const QList<Entry>& table()
{
    static const QList<Entry> entries = {
        {ALL, AtCmdHandler::OK, "+OK", {""}},
        {ALL, AtCmdHandler::ERROR, "+ERROR=21", {"21"}},
        {ALL, AtCmdHandler::ID, "+ID=01a2b3c4", {"01a2b3c4"}},
        {T2_RX, AtCmdHandler::ADDR, "+ADDR=0A1B2C3D", {"0A1B2C3D"}},
        {ALL, AtCmdHandler::FW, "+FW=1234,SW1.4.0", {"1234,SW1.4.0"}},
        {T1, AtCmdHandler::SN, "+SN=TAV12345678901", {"TAV12345678901"}},
        {T1, AtCmdHandler::ATXFRQ, "+ATXFRQ=401650000,1", {"401650000,1", ",1"}},
        {T1, AtCmdHandler::PWR, "+PWR=1000", {"1000"}},
        {T1, AtCmdHandler::AFMT, "+AFMT=1,16,32", {"1,16,32", "1", "16", "32"}},
        {T1, AtCmdHandler::TX, "+TX=0,HELLO", {"HELLO", "0", "HELLO"}},
        {T2_RX, AtCmdHandler::TX, "+TX=0,00A1", {"00A1", "0", "00A1"}},
        {T2_RX, AtCmdHandler::RCONF, "+RCONF=3,401620000,401640000,LDA2 L",
            {"3,401620000,401640000,LDA2 L", "3", "401620000", "401640000", "LDA2 L"}},
        {T2_RX_TK, AtCmdHandler::PREPASS_EN, "+PREPASS_EN=2", {"2"}},
        {T2_RX_TK, AtCmdHandler::PREPASS_CFG, "+PREPASS_CFG=" + CFG, QStringList {CFG} + CFG.split(',')},
        {T2_RX_TK, AtCmdHandler::POS, "+POS=43.5563,-1.4805", {"43.5563,-1.4805", "43.5563", "-1.4805"}},
        {T2_RX_TK, AtCmdHandler::AOP, "+AOP=" + AOP,
            QStringList {AOP} + AOP.chopped(12).split(',') + QStringList {",blacklisted"}},
        {T2_RX, AtCmdHandler::SAT, "+SAT=A1,3,-1", {"A1,3,-1", "A1", "3", "-1"}},
        {T2_RX_TK, AtCmdHandler::UDATE, "+UDATE=" + DATE, {DATE}},
        {T2_RX_TK, AtCmdHandler::NEXTPASS, "+NEXTPASS=" + PASS, QStringList {PASS} + PASS.split(',')},
        {T2_RX, AtCmdHandler::TXFIFO, "+TXFIFO=1,00A1,0x1F", {"1,00A1,0x1F", "1", "00A1", "1F"}},
        {T2_RX, AtCmdHandler::ATXRP, "+ATXRP=3,60", {"3,60", "3", "60"}},
        {T2, AtCmdHandler::RX, "+RX=DEADBEEF", {"DEADBEEF"}},
        {T2, AtCmdHandler::BC, "+BC=0102", {"0102"}},
        {T2_RX, AtCmdHandler::ASSERT, "+ASSERT=mcu.c:42", {"mcu.c:42"}},
        {TK, AtCmdHandler::LORA_EN, "+LORA_EN=1", {"1"}},
        {TK, AtCmdHandler::LORA_REDUN, "+LORA_REDUN=3", {"3"}},
        {TK, AtCmdHandler::LORA_ACK, "+LORA_ACK=0", {"0"}},
        {TK, AtCmdHandler::LORA_DEUI, "+LORA_DEUI=" + EUI, QStringList {EUI} + EUI.split(',')},
        {TK, AtCmdHandler::LORA_AEUI, "+LORA_AEUI=" + EUI, QStringList {EUI} + EUI.split(',')},
        {TK, AtCmdHandler::LORA_AKEY, "+LORA_AKEY=" + KEY, QStringList {KEY} + KEY.split(',')},
        {TK, AtCmdHandler::PACQ, "+PACQ=3600", {"3600"}},
        {TK, AtCmdHandler::PACQ_SENS, "+PACQ_SENS=1,1,1,1,0,1,0",
            {"1,1,1,1,0,1,0", "1", "1", "1", "1", "0", "1", "0"}},
        {TK, AtCmdHandler::ALRT_SENS, "+ALRT_SENS=0,0,0,0,1,1,1",
            {"0,0,0,0,1,1,1", "0", "0", "0", "0", "1", "1", "1"}},
        {TK, AtCmdHandler::ALRT_LIGHT, "+ALRT_LIGHT=1,400,3000", {"1,400,3000", "1", "400,3000"}},
        {TK, AtCmdHandler::ALRT_ACC, "+ALRT_ACC=0,4000", {"0,4000", "0", "4000"}},
        {TK, AtCmdHandler::ALRT_DRYC, "+ALRT_DRYC=1,0", {"1,0", "1", "0"}},
        {TK, AtCmdHandler::ALRT_PB, "+ALRT_PB=1", {"1"}},
        {TK, AtCmdHandler::TAV_REDUN, "+TAV_REDUN=2", {"2"}},

    };
    return entries;
}

const QMap<TavBoard::Module, int> MODULE_BITS
    = {{TavBoard::TAV1, T1}, {TavBoard::TAV2, T2}, {TavBoard::RIX, RX}, {TavBoard::TREKON, TK}};

QStringList fieldsOf(const AtCmdHandler& codec)
{
    QStringList fields;
    for (quint8 i = 0; i < codec.getDataLength(); ++i)
        fields << codec.getData<QString>(i);
    return fields;
}

} // namespace

class TestGrammars : public QObject {
    Q_OBJECT

private slots:
    void holdsExactlyTheTableEntries_data()
    {
        QTest::addColumn<TavBoard::Module>("module");
        QTest::addColumn<int>("count");
        QTest::newRow("TAV1") << TavBoard::TAV1 << 9;
        QTest::newRow("TAV2") << TavBoard::TAV2 << 19;
        QTest::newRow("RIX") << TavBoard::RIX << 17;
        QTest::newRow("TREKON") << TavBoard::TREKON << 24;
    }

    void holdsExactlyTheTableEntries()
    {
        QFETCH(TavBoard::Module, module);
        QFETCH(int, count);
        QList<CmdId> expected;
        for (const Entry& entry : table()) {
            if (entry.modules & MODULE_BITS.value(module) && !expected.contains(entry.id))
                expected << entry.id;
        }
        std::sort(expected.begin(), expected.end());
        QCOMPARE(expected.size(), count);
        QCOMPARE(makeBoard(module)->getAtCmdRegexMap().keys(), expected);
    }

    void looksCommandsUpInTheTable_data()
    {
        QTest::addColumn<TavBoard::Module>("module");
        QTest::addColumn<CmdId>("id");
        QTest::addColumn<bool>("known");
        QTest::addColumn<bool>("hasPattern");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<bool>("list");
        QTest::newRow("TREKON sends TX, reads its answer itself")
            << TavBoard::TREKON << AtCmdHandler::TX << true << false << 1000 << false;
        QTest::newRow("TAV1 has no pass prediction")
            << TavBoard::TAV1 << AtCmdHandler::NEXTPASS << false << false << 15000 << false;
        QTest::newRow("ping has no answer pattern")
            << TavBoard::RIX << AtCmdHandler::PING << true << false << 1000 << false;
        QTest::newRow("date takes longer")
            << TavBoard::TAV2 << AtCmdHandler::UDATE << true << true << 5000 << false;
        QTest::newRow("orbit data is a list")
            << TavBoard::TREKON << AtCmdHandler::AOP << true << true << 1000 << true;
        QTest::newRow("queue is a list")
            << TavBoard::RIX << AtCmdHandler::TXFIFO << true << true << 15000 << true;
        QTest::newRow("sat is the modules' only")
            << TavBoard::TREKON << AtCmdHandler::SAT << false << false << 1000 << true;
    }

    void looksCommandsUpInTheTable()
    {
        QFETCH(TavBoard::Module, module);
        QFETCH(CmdId, id);
        QFETCH(bool, known);
        QFETCH(bool, hasPattern);
        QFETCH(int, timeout);
        QFETCH(bool, list);
        QCOMPARE(CommandTable::knows(module, id), known);
        QCOMPARE(CommandTable::hasPattern(module, id), hasPattern);
        QCOMPARE(int(CommandTable::timeoutOf(id)), timeout);
        QCOMPARE(CommandTable::isListAnswer(id), list);
    }

    void parsesEveryAnswerOfItsGrammar_data()
    {
        QTest::addColumn<TavBoard::Module>("module");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        for (auto module = MODULE_BITS.cbegin(); module != MODULE_BITS.cend(); ++module) {
            for (const Entry& entry : table()) {
                if (entry.modules & module.value())
                    QTest::addRow(
                        "%s %s", qPrintable(Helper::enumToStr(module.key())), qPrintable(entry.answer))
                        << module.key() << entry.answer << entry.fields;
            }
        }
    }

    void parsesEveryAnswerOfItsGrammar()
    {
        QFETCH(TavBoard::Module, module);
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        AtCmdHandler codec(nullptr, makeBoard(module)->getAtCmdRegexMap());
        QVERIFY(codec.parse(line));
        QCOMPARE(Helper::enumToStr(codec.getId()), line.mid(1).section(QRegularExpression("[=:]"), 0, 0));
        QCOMPARE(fieldsOf(codec), fields);
    }

    void judgesAnswersByTheModuleGrammar_data()
    {
        QTest::addColumn<TavBoard::Module>("module");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("short serial number") << TavBoard::TAV1 << "+SN=TAV123" << false << QStringList {"NA"};
        QTest::newRow("TAV1 tx status other than 0")
            << TavBoard::TAV1 << "+TX=1,HELLO" << false << QStringList {"NA"};
        QTest::newRow("TAV2 tx without payload")
            << TavBoard::TAV2 << "+TX=-5," << true << QStringList {"", "-5"};
        QTest::newRow("three-digit power") << TavBoard::TAV1 << "+PWR=50" << false << QStringList {"NA"};
        QTest::newRow("aop end") << TavBoard::TAV2 << "+AOP=end" << true << QStringList {"end"};
        QTest::newRow("sat end") << TavBoard::RIX << "+SAT=end" << true << QStringList {"end"};
        QTest::newRow("txfifo end") << TavBoard::RIX << "+TXFIFO=end" << true << QStringList {"end"};
        QTest::newRow("prepass mode 3") << TavBoard::TREKON << "+PREPASS_EN=3" << false << QStringList {"NA"};
        QTest::newRow("truncated eui")
            << TavBoard::TREKON << "+LORA_DEUI=70,B3,D5" << false << QStringList {"NA"};
        QTest::newRow("six sensor flags")
            << TavBoard::TREKON << "+PACQ_SENS=1,1,1,1,1,1" << false << QStringList {"NA"};
        QTest::newRow("TAV1 has no downlink") << TavBoard::TAV1 << "+RX=DEADBEEF" << true << QStringList {""};
        QTest::newRow("RIX has no beacon") << TavBoard::RIX << "+BC=0102" << true << QStringList {""};
        QTest::newRow("TREKON has no sat list")
            << TavBoard::TREKON << "+SAT=A1,3,1" << true << QStringList {""};
    }

    void judgesAnswersByTheModuleGrammar()
    {
        QFETCH(TavBoard::Module, module);
        QFETCH(QString, line);
        QFETCH(bool, parsed);
        QFETCH(QStringList, fields);
        AtCmdHandler codec(nullptr, makeBoard(module)->getAtCmdRegexMap());
        QCOMPARE(codec.parse(line), parsed);
        QCOMPARE(fieldsOf(codec), fields);
    }

    // Events: "WORD=data" an answer, "!WORD" refused as unknown, "~" a kit's
    // status line.
    void judgesTheVariantFromTheAnswers_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("candidates");
        QTest::addColumn<TavBoard::Module>("chosen");
        QTest::addColumn<QString>("mismatch");
        QTest::addColumn<QString>("nextRead");
        const QString ids = "ID=1A2B3C,FW=TAV1 FW 2.3.1";
        QTest::newRow("TAV1 as itself") << (ids + ",SN=TAV21040500117,ATXFRQ=401650000,PWR=500").split(',')
                                        << int(T1) << TavBoard::TAV1 << "" << "ID";
        QTest::newRow("TAV1 chosen as TAV2") << (ids + ",!ADDR,!RCONF,!UDATE").split(',') << int(T1)
                                             << TavBoard::TAV2
                                             << "This module answers as a TAV1, not a TAV2: choose TAV1 and "
                                                "connect again"
                                             << "SN";
        QTest::newRow("TAV2 as itself") << (ids + ",ADDR=2A4B7F1,UDATE=" + DATE).split(',') << int(T2_RX)
                                        << TavBoard::TAV2 << "" << "ID";
        QTest::newRow("RIX chosen as TAV1") << (ids + ",!SN,ADDR=3C1D9E2").split(',') << int(T2_RX)
                                            << TavBoard::TAV1
                                            << "This module answers as a TAV2 or RIX, not a TAV1: choose TAV2 "
                                               "or RIX and connect again"
                                            << "ID";
        QTest::newRow("TREKON as itself") << (ids + ",~,PREPASS_EN=1,TAV_REDUN=3,LORA_EN=1").split(',')
                                          << int(TK) << TavBoard::TREKON << "" << "ID";
        QTest::newRow("TREKON chosen as TAV1") << (ids + ",!SN").split(',') << int(T2_RX_TK) << TavBoard::TAV1
                                               << "This module answers as a TAV2 or RIX or TREKON, not a TAV1: "
                                                  "choose TAV2 or RIX or TREKON and connect again"
                                               << "ADDR";
        QTest::newRow("TAV2 chosen as TREKON") << (ids + ",PREPASS_EN=1,!TAV_REDUN,!ALRT_LIGHT").split(',')
                                               << int(T2_RX) << TavBoard::TREKON
                                               << "This module answers as a TAV2 or RIX, not a TREKON: choose "
                                                  "TAV2 or RIX and connect again"
                                               << "ID";
        QTest::newRow("refusals alone confirm nothing") << (ids + ",!ADDR,!SN").split(',') << int(TK)
                                                        << TavBoard::TREKON << "" << "TAV_REDUN";
        QTest::newRow("nothing heard yet") << QStringList() << int(ALL) << TavBoard::TAV1 << "" << "ADDR";
        QTest::newRow("mixed answers") << (ids + ",SN=TAV21040500117,ADDR=2A4B7F1").split(',') << 0
                                       << TavBoard::TAV1
                                       << "This module answers as none of TAV1, TAV2, RIX or TREKON, not as the "
                                          "TAV1 chosen: check the port and its baud rate"
                                       << "ID";
        QTest::newRow("serial number of another form") << (ids + ",SN=12345").split(',') << 0 << TavBoard::TAV1
                                                       << "This module answers as none of TAV1, TAV2, RIX or "
                                                          "TREKON, not as the TAV1 chosen: check the port and "
                                                          "its baud rate"
                                                       << "ID";
    }

    void judgesTheVariantFromTheAnswers()
    {
        QFETCH(QStringList, events);
        QFETCH(int, candidates);
        QFETCH(TavBoard::Module, chosen);
        QFETCH(QString, mismatch);
        QFETCH(QString, nextRead);
        IdentityCheck identity;
        for (const QString& event : events) {
            if (event == "~")
                identity.kitLine();
            else if (event.startsWith('!'))
                identity.refused(static_cast<CmdId>(Helper::strToEnum<CmdId>(event.mid(1))));
            else
                identity.answered(
                    static_cast<CmdId>(Helper::strToEnum<CmdId>(event.section('=', 0, 0))), event.section('=', 1));
        }
        QCOMPARE(int(identity.candidates()), candidates);
        QCOMPARE(identity.mismatch(chosen), mismatch);
        QCOMPARE(Helper::enumToStr(identity.nextRead()), nextRead);
        QCOMPARE(identity.heard(), !events.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGrammars)
#include "tst_grammars.moc"
