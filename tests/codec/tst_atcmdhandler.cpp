#include "log/Helper.h"
#include "protocol/AtCmdHandler.h"

#include <QtTest>

using Cmd = AtCmdHandler::CmdId;

class TestAtCmdHandler : public QObject {
    Q_OBJECT

private:
    static QMap<Cmd, QString> grammar()
    {
        const QString hex2 = QStringLiteral("[0-9a-fA-F]{2}");
        return {
            {AtCmdHandler::OK, AtCmdHandler::OK_REGEX},
            {AtCmdHandler::ERROR, AtCmdHandler::ERROR_REGEX},
            {AtCmdHandler::ID, AtCmdHandler::ID_REGEX},
            {AtCmdHandler::ADDR, AtCmdHandler::ADDR_REGEX},
            {AtCmdHandler::FW, "^(?<FW>.*)$"},
            {AtCmdHandler::TX, "^(([-0-9]+),(?<TX>[0-9a-fA-F]+)?)$"},
            {AtCmdHandler::PREPASS_EN, AtCmdHandler::PREPASS_EN_REGEX},
            {AtCmdHandler::PREPASS_CFG, AtCmdHandler::PREPASS_CFG_REGEX},
            {AtCmdHandler::POS, AtCmdHandler::POS_REGEX},
            {AtCmdHandler::AOP, AtCmdHandler::AOP_REGEX},
            {AtCmdHandler::SAT, AtCmdHandler::SAT_REGEX},
            {AtCmdHandler::UDATE, AtCmdHandler::UDATE_REGEX},
            {AtCmdHandler::NEXTPASS, AtCmdHandler::NEXTPASS_REGEX},
            {AtCmdHandler::RCONF, AtCmdHandler::RCONF_REGEX},
            {AtCmdHandler::TXFIFO, "^(?<TXFIFO>(0|1),([0-9a-fA-F]+),0x([0-9a-fA-F]+)|end)$"},
            {AtCmdHandler::LORA_DEUI, "^(?<LORA_DEUI>" + AtCmdHandler::repeatRegex(8, hex2) + ")$"},
            {AtCmdHandler::PACQ_SENS, "^(?<PACQ_SENS>" + AtCmdHandler::repeatRegex(7, "[0|1]") + ")$"},
        };
    }

private slots:
    void assembledPatternsMatchTheProtocolText_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ISO_DATE") << AtCmdHandler::ISO_DATE_REGEX
                                  << "[-0-9]+-[0-9]{1,2}-[0-9]{1,2}T[0-9]{1,2}:[0-9]{1,2}:[0-9]{1,2}Z";
        QTest::newRow("ID") << AtCmdHandler::ID_REGEX << "^(?<ID>[0-9a-fA-F]+)$";
        QTest::newRow("ADDR") << AtCmdHandler::ADDR_REGEX << "^(?<ADDR>[0-9a-fA-F]+)$";
        QTest::newRow("POS") << AtCmdHandler::POS_REGEX << "^(?<POS>([-0-9.]+),([-0-9.]+))$";
        QTest::newRow("SAT") << AtCmdHandler::SAT_REGEX
                             << "^(?<SAT>([0-9a-fA-F]+),([-0-9]+),([-0-9]+)(,blacklisted)?|end)$";
        QTest::newRow("RCONF") << AtCmdHandler::RCONF_REGEX
                               << "^(?<RCONF>([-0-9]++),([-0-9]+),([-0-9]+),(.*))$";
        const QString d = "[-0-9]+-[0-9]{1,2}-[0-9]{1,2}T[0-9]{1,2}:[0-9]{1,2}:[0-9]{1,2}Z";
        const QString f = "[-0-9.]+";
        QTest::newRow("UDATE") << AtCmdHandler::UDATE_REGEX << "^(?<UDATE>" + d + ")$";
        QTest::newRow("NEXTPASS") << AtCmdHandler::NEXTPASS_REGEX
                                  << "^(?<NEXTPASS>([0-9a-fA-F]+),(" + d + "),(" + d + "),(" + f
                + "),([-0-9]+))$";
        QTest::newRow("PREPASS_CFG") << AtCmdHandler::PREPASS_CFG_REGEX
                                     << "^(?<PREPASS_CFG>(" + f + "),(" + f + "),(" + d + "),(" + d + "),("
                + f + "),(" + f + "),(" + f + "),([-0-9]+),(" + f + "),([-0-9]+))$";
        QTest::newRow("AOP") << AtCmdHandler::AOP_REGEX
                             << "^(?<AOP>([0-9a-fA-F]+),(" + d + "),(" + f + "),(" + f + "),(" + f + "),(" + f
                + "),(" + f + "),(" + f + ")(,blacklisted)?|end)$";
        QTest::newRow("PREPASS_EN") << AtCmdHandler::PREPASS_EN_REGEX << "^(?<PREPASS_EN>[0-2]{1})$";
        QTest::newRow("ERROR") << AtCmdHandler::ERROR_REGEX << "^(?<ERROR>[0-9]+)$";
        QTest::newRow("OK") << AtCmdHandler::OK_REGEX << "$^";
        QTest::newRow("BOOL") << AtCmdHandler::BOOL_REGEX << "[0|1]";
        QTest::newRow("repeat") << AtCmdHandler::repeatRegex(3, "[0|1]") << "([0|1]),([0|1]),([0|1])";
        QTest::newRow("response frame")
            << AtCmdHandler::RESPONSE_FRAME_REGEX << R"(^\+(?<CMD>[A-Z_]+)(=|:)?(?<DATA>.+)?$)";
        QTest::newRow("request frame")
            << AtCmdHandler::REQUEST_FRAME_REGEX << R"(^AT\+(?<CMD>[A-Z_]+)=(?<DATA>.+)?$)";
    }

    void assembledPatternsMatchTheProtocolText()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(pattern, expected);
        QVERIFY2(QRegularExpression(pattern).isValid(), qPrintable(pattern));
    }

    void buildsRequestFrames_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("query") << int(AtCmdHandler::PING) << QStringList() << QByteArray("AT+PING=?\r\n");
        QTest::newRow("id query") << int(AtCmdHandler::ID) << QStringList() << QByteArray("AT+ID=?\r\n");
        QTest::newRow("one param") << int(AtCmdHandler::PWR) << QStringList {"500"}
                                   << QByteArray("AT+PWR=500\r\n");
        QTest::newRow("two params") << int(AtCmdHandler::POS) << QStringList {"43.5", "1.4"}
                                    << QByteArray("AT+POS=43.5,1.4\r\n");
        QTest::newRow("empty param") << int(AtCmdHandler::RST) << QStringList {""}
                                     << QByteArray("AT+RST=\r\n");
        QTest::newRow("underscored word")
            << int(AtCmdHandler::TAV_REDUN) << QStringList {"3"} << QByteArray("AT+TAV_REDUN=3\r\n");
    }

    void buildsRequestFrames()
    {
        QFETCH(int, id);
        QFETCH(QStringList, params);
        QFETCH(QByteArray, frame);
        AtCmdHandler codec(nullptr, {});
        QCOMPARE(codec.build(static_cast<Cmd>(id), params), frame);
    }

    void parsesResponsesIntoFieldsInGroupOrder_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("data");
        QTest::newRow("ok") << "+OK" << int(AtCmdHandler::OK) << QStringList {""};
        QTest::newRow("position") << "+POS=43.5,1.4" << int(AtCmdHandler::POS)
                                  << QStringList {"43.5,1.4", "43.5", "1.4"};
        QTest::newRow("colon separator") << "+ID:a1b2" << int(AtCmdHandler::ID) << QStringList {"a1b2"};
        QTest::newRow("firmware") << "+FW=1234,SW1.4.0" << int(AtCmdHandler::FW)
                                  << QStringList {"1234,SW1.4.0"};
        QTest::newRow("aop end") << "+AOP=end" << int(AtCmdHandler::AOP) << QStringList {"end"};
        QTest::newRow("sat end") << "+SAT=end" << int(AtCmdHandler::SAT) << QStringList {"end"};
        QTest::newRow("sat blacklisted") << "+SAT=A,3,0,blacklisted" << int(AtCmdHandler::SAT)
                                         << QStringList {"A,3,0,blacklisted", "A", "3", "0", ",blacklisted"};
        QTest::newRow("aop") << "+AOP=A,2026-12-8T10:0:0Z,7180.5,98.5,-60.2,-25.3,100.6,-0.1"
                             << int(AtCmdHandler::AOP)
                             << QStringList {"A,2026-12-8T10:0:0Z,7180.5,98.5,-60.2,-25.3,100.6,-0.1", "A",
                                    "2026-12-8T10:0:0Z", "7180.5", "98.5", "-60.2", "-25.3", "100.6", "-0.1"};
        QTest::newRow("nextpass") << "+NEXTPASS=B,2026-12-8T10:5:0Z,2026-12-8T10:15:0Z,600.5,45"
                                  << int(AtCmdHandler::NEXTPASS)
                                  << QStringList {"B,2026-12-8T10:5:0Z,2026-12-8T10:15:0Z,600.5,45", "B",
                                         "2026-12-8T10:5:0Z", "2026-12-8T10:15:0Z", "600.5", "45"};
        QTest::newRow("rconf") << "+RCONF=399910000,401580000,350,LDA2" << int(AtCmdHandler::RCONF)
                               << QStringList {"399910000,401580000,350,LDA2", "399910000", "401580000",
                                      "350", "LDA2"};
        QTest::newRow("tx result") << "+TX=0,CAFE" << int(AtCmdHandler::TX)
                                   << QStringList {"CAFE", "0", "CAFE"};
        QTest::newRow("tx without data") << "+TX=5," << int(AtCmdHandler::TX) << QStringList {"", "5"};
        QTest::newRow("txfifo entry") << "+TXFIFO=1,CAFE,0x4" << int(AtCmdHandler::TXFIFO)
                                      << QStringList {"1,CAFE,0x4", "1", "CAFE", "4"};
        QTest::newRow("eui") << "+LORA_DEUI=70,B3,D5,7E,D0,01,02,03" << int(AtCmdHandler::LORA_DEUI)
                             << QStringList {"70,B3,D5,7E,D0,01,02,03", "70", "B3", "D5", "7E", "D0", "01",
                                    "02", "03"};
        QTest::newRow("sensor flags") << "+PACQ_SENS=1,0,1,1,0,1,1" << int(AtCmdHandler::PACQ_SENS)
                                      << QStringList {"1,0,1,1,0,1,1", "1", "0", "1", "1", "0", "1", "1"};
        QTest::newRow("command not in grammar") << "+PWR=500" << int(AtCmdHandler::PWR) << QStringList {""};
        QTest::newRow("no data on unlisted command")
            << "+SATDET" << int(AtCmdHandler::SATDET) << QStringList {""};
        // How the frame is read: separator, missing separator, and lines
        // outside printable ASCII.
        QTest::newRow("colon separator") << "+ID:A1B2" << int(AtCmdHandler::ID) << QStringList {"A1B2"};
        QTest::newRow("separator without data") << "+OK=" << int(AtCmdHandler::OK) << QStringList {""};
        QTest::newRow("data right after the word")
            << "+FW1.2" << int(AtCmdHandler::FW) << QStringList {"1.2"};
        QTest::newRow("second separator is data") << "+FW==1" << int(AtCmdHandler::FW) << QStringList {"=1"};
        QTest::newRow("non-ASCII data") << QString::fromUtf8("+FW=v1 \u00e9") << int(AtCmdHandler::FW)
                                        << QStringList {QString::fromUtf8("v1 \u00e9")};
        QTest::newRow("tab in data") << "+FW=a\tb" << int(AtCmdHandler::FW) << QStringList {"a\tb"};
    }

    void parsesResponsesIntoFieldsInGroupOrder()
    {
        QFETCH(QString, line);
        QFETCH(int, id);
        QFETCH(QStringList, data);
        AtCmdHandler codec(nullptr, grammar());
        QVERIFY2(codec.parse(line), qPrintable(line));
        QCOMPARE(int(codec.getId()), id);
        QCOMPARE(codec.getDataLength(), quint8(data.size()));
        for (int i = 0; i < data.size(); ++i)
            QCOMPARE(codec.getData<QString>(quint8(i)), data.at(i));
    }

    void rejectsLinesThatDoNotParse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("data");
        // The id after the failure: the word when it is known, else OK (as new).
        QTest::addColumn<int>("id");
        const int asNew = AtCmdHandler::OK;
        const int error = AtCmdHandler::ERROR;
        QTest::newRow("unknown word") << "+FOO=1" << QStringList() << asNew;
        QTest::newRow("no frame") << "hello" << QStringList() << error;
        QTest::newRow("lower-case word") << "+ok" << QStringList() << error;
        QTest::newRow("request on response grammar") << "AT+ID=?" << QStringList() << error;
        QTest::newRow("data does not fit")
            << "+POS=north,1.4" << QStringList {"NA"} << int(AtCmdHandler::POS);
        QTest::newRow("ok with data") << "+OK=1" << QStringList {"NA"} << int(AtCmdHandler::OK);
        QTest::newRow("prepass mode out of range")
            << "+PREPASS_EN=3" << QStringList {"NA"} << int(AtCmdHandler::PREPASS_EN);
        QTest::newRow("eui too short")
            << "+LORA_DEUI=70,B3,D5" << QStringList {"NA"} << int(AtCmdHandler::LORA_DEUI);
        QTest::newRow("tx status not numeric") << "+TX=x,CAFE" << QStringList {"NA"} << int(AtCmdHandler::TX);
        // "+Id=1" reads as the unknown word "I" followed by data.
        QTest::newRow("word cut by a lower-case letter") << "+Id=1" << QStringList() << asNew;
        QTest::newRow("no word") << "+=1" << QStringList() << error;
        QTest::newRow("plus alone") << "+" << QStringList() << error;
        QTest::newRow("non-ASCII in hexadecimal data")
            << QString::fromUtf8("+ID=\u00e91") << QStringList {"NA"} << int(AtCmdHandler::ID);
        QTest::newRow("line break inside") << "+ID=A1\nB2" << QStringList() << error;
    }

    void rejectsLinesThatDoNotParse()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, data);
        QFETCH(int, id);
        AtCmdHandler codec(nullptr, grammar());
        QVERIFY(codec.parse("+ERROR=3"));
        QVERIFY(!codec.parse(line));
        // Always one of the identifiers: an unknown word must not leave -1 behind.
        QCOMPARE(int(codec.getId()), id);
        QVERIFY(!codec.getIdAsStr().isEmpty());
        QCOMPARE(codec.getDataLength(), quint8(data.size()));
        if (!data.isEmpty())
            QCOMPARE(codec.getData<QString>(0), data.first());
        // A failed parse leaves the previous error code in place.
        QCOMPARE(codec.getErrorAsStr(), QString("Parameters are missing"));
    }

    void parsesRequestLinesOfAConfigurationFile()
    {
        AtCmdHandler codec(nullptr, grammar());
        QVERIFY(codec.parse("AT+POS=43.5,1.4", true));
        QCOMPARE(codec.getId(), AtCmdHandler::POS);
        QCOMPARE(codec.getData<double>(1), 43.5);
        QCOMPARE(codec.getData<double>(2), 1.4);

        QVERIFY(codec.parse("AT+RST=", true));
        QCOMPARE(codec.getId(), AtCmdHandler::RST);
        QCOMPARE(codec.getDataLength(), quint8(1));

        // The query form carries "?" as its data, which does not fit a position.
        QVERIFY(!codec.parse("AT+POS=?", true));
        QVERIFY(codec.parse("AT+ID=?", true) == false);
        QVERIFY(!codec.parse("+POS=43.5,1.4", true));
        QVERIFY(!codec.parse("AT+POS", true));
    }

    void reportsErrorCodes_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        QTest::addColumn<uint>("code");
        QTest::newRow("2") << "+ERROR=2"
                           << "Format of parameter is incorrect" << 2u;
        QTest::newRow("3") << "+ERROR=3"
                           << "Parameters are missing" << 3u;
        QTest::newRow("4") << "+ERROR=4"
                           << "Too many parameters" << 4u;
        QTest::newRow("5") << "+ERROR=5"
                           << "The value of the parameter is incompatible" << 5u;
        QTest::newRow("6") << "+ERROR=6"
                           << "The AT command is unknown" << 6u;
        QTest::newRow("7") << "+ERROR=7"
                           << "The AT command ID is invalid" << 7u;
        QTest::newRow("8") << "+ERROR=8"
                           << "The AT command ID is unknown" << 8u;
        QTest::newRow("20") << "+ERROR=20"
                            << "Invalid message data length" << 20u;
        QTest::newRow("21") << "+ERROR=21"
                            << "The message queue is already full" << 21u;
        QTest::newRow("22") << "+ERROR=22"
                            << "The message queue is empty" << 22u;
        QTest::newRow("40") << "+ERROR=40"
                            << "Transceiver error (driver)" << 40u;
        QTest::newRow("41") << "+ERROR=41"
                            << "Transceiver error (auto ranging)" << 41u;
        QTest::newRow("42") << "+ERROR=42"
                            << "Transceiver error (PLL)" << 42u;
        QTest::newRow("43") << "+ERROR=43"
                            << "Transceiver error (crystal timeout)" << 43u;
        QTest::newRow("44") << "+ERROR=44"
                            << "Transceiver error (reset)" << 44u;
        QTest::newRow("0") << "+ERROR=0"
                           << "Unknown error" << 0u;
        QTest::newRow("1") << "+ERROR=1"
                           << "Unknown error" << 1u;
        QTest::newRow("9") << "+ERROR=9"
                           << "Unknown error" << 9u;
        QTest::newRow("23") << "+ERROR=23"
                            << "Unknown error" << 23u;
        QTest::newRow("39") << "+ERROR=39"
                            << "Unknown error" << 39u;
        QTest::newRow("99") << "+ERROR=99"
                            << "Unknown error" << 99u;
        QTest::newRow("overflow") << "+ERROR=4294967298"
                                  << "Unknown error" << 0u;
    }

    void reportsErrorCodes()
    {
        QFETCH(QString, line);
        QFETCH(QString, message);
        QFETCH(uint, code);
        AtCmdHandler codec(nullptr, grammar());
        QVERIFY(codec.parse(line));
        QCOMPARE(codec.getId(), AtCmdHandler::ERROR);
        QCOMPARE(codec.getErrorAsStr(), message);
        QCOMPARE(uint(codec.getData<AtCmdHandler::Error>(0)), code);
        // Any other answer clears the error code.
        QVERIFY(codec.parse("+OK"));
        QCOMPARE(codec.getErrorAsStr(), QString("Unknown error"));
    }

    void convertsDataFields()
    {
        AtCmdHandler codec(nullptr, grammar());
        QVERIFY(codec.parse("+FW=12"));
        QCOMPARE(codec.getData<uint>(0), 12u);
        QVERIFY(codec.parse("+FW=4294967295"));
        QCOMPARE(codec.getData<uint>(0), 4294967295u);
        QVERIFY(codec.parse("+FW=4294967296"));
        QCOMPARE(codec.getData<uint>(0), 0u);
        QVERIFY(codec.parse("+FW=-1"));
        QCOMPARE(codec.getData<uint>(0), 0u);
        QCOMPARE(codec.getData<double>(0), -1.0);
        QVERIFY(codec.parse("+FW=abc"));
        QCOMPARE(codec.getData<uint>(0), 0u);
        QCOMPARE(codec.getData<double>(0), 0.0);
        QCOMPARE(codec.getData<QChar>(0), QChar('a'));

        // A command without a pattern in the grammar keeps no fields, so field 0 is empty.
        QVERIFY(codec.parse("+SN=12"));
        QCOMPARE(codec.getDataLength(), quint8(1));
        QCOMPARE(codec.getData<QString>(0), QString());
        QCOMPARE(codec.getData<uint>(0), 0u);
    }

    void readingBeyondTheFieldsGivesEmptyValues()
    {
        AtCmdHandler codec(nullptr, grammar());
        QVERIFY(codec.parse("+POS=43.5,1.4"));
        QCOMPARE(codec.getData<QString>(3), QString());
        QCOMPARE(codec.getData<QChar>(200), QChar());
        QCOMPARE(codec.getData<uint>(9), 0u);
        QCOMPARE(codec.getData<double>(255), 0.0);
    }

    void startsWithOneEmptyField()
    {
        AtCmdHandler codec(nullptr, {});
        QCOMPARE(int(codec.getId()), 0);
        QCOMPARE(codec.getDataLength(), quint8(1));
        QCOMPARE(codec.getErrorAsStr(), QString("Unknown error"));
    }

    void namesCommandsAndEnums()
    {
        AtCmdHandler codec(nullptr, grammar());
        QVERIFY(codec.parse("+TAV_REDUN=3"));
        QCOMPARE(codec.getIdAsStr(), QString("TAV_REDUN"));
        QCOMPARE(Helper::strToEnum<AtCmdHandler::CmdId>("LORA_AKEY"), int(AtCmdHandler::LORA_AKEY));
        QCOMPARE(Helper::strToEnum<AtCmdHandler::CmdId>("OK"), 0);
        QCOMPARE(Helper::strToEnum<AtCmdHandler::CmdId>("FOO"), -1);
        QCOMPARE(Helper::strToEnum<AtCmdHandler::CmdId>(""), -1);
        QCOMPARE(QMetaEnum::fromType<AtCmdHandler::CmdId>().keyCount(), 45);
    }

    void detectsControlCharactersInParameters_data()
    {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<bool>("unsafe");
        QTest::newRow("plain") << QStringList {"CAFE", "0x4"} << false;
        QTest::newRow("empty") << QStringList {""} << false;
        QTest::newRow("date") << QStringList {"2026-12-08T10:00:00Z"} << false;
        QTest::newRow("CR") << QStringList {"CAFE\r"} << true;
        QTest::newRow("LF in second") << QStringList {"1", "2\nAT+RST="} << true;
        QTest::newRow("NUL") << QStringList {QString(QChar(0))} << true;
        QTest::newRow("tab") << QStringList {"a\tb"} << true;
        QTest::newRow("DEL") << QStringList {QString(QChar(0x7f))} << true;
        QTest::newRow("C1 next line") << QStringList {QString(QChar(0x85))} << true;
        QTest::newRow("unicode line separator") << QStringList {QString(QChar(0x2028))} << true;
    }

    void detectsControlCharactersInParameters()
    {
        QFETCH(QStringList, params);
        QFETCH(bool, unsafe);
        QCOMPARE(AtCmdHandler::hasControlCharacter(params), unsafe);
    }
};

QTEST_APPLESS_MAIN(TestAtCmdHandler)
#include "tst_atcmdhandler.moc"
