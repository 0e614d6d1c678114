#include "tx/PayloadModel.h"

#include <QSignalSpy>
#include <QTest>

class TestPayload : public QObject {
    Q_OBJECT

private slots:
    // What the row and tavcli say: the reason names the size, the
    // modulation and what it carries, with and without the options' bytes.
    void sizeRule_data()
    {
        QTest::addColumn<int>("characters");
        QTest::addColumn<bool>("options");
        QTest::addColumn<QList<uint>>("allowed");
        QTest::addColumn<QString>("reason");
        const QList<uint> only24 {24};
        const QString lda2 = "LDA2 carries 24 bytes, 22 with Ack or downlink";
        QTest::newRow("48 digits fit 24") << 48 << false << only24 << "";
        QTest::newRow("48 digits with ack exceed 24") << 48 << true << only24 << "24 bytes: " + lda2;
        QTest::newRow("44 digits with ack fit 24") << 44 << true << only24 << "";
        QTest::newRow("44 digits alone do not") << 44 << false << only24 << "22 bytes: " + lda2;
        QTest::newRow("50 digits") << 50 << false << only24 << "25 bytes: " + lda2;
        QTest::newRow("one byte") << 2 << false << only24 << "1 byte: " + lda2;
        QTest::newRow("odd length refused") << 47 << false << QList<uint> {23, 24} << "odd number of hex digits (47)";
        QTest::newRow("odd length refused with options")
            << 45 << true << QList<uint> {24, 25} << "odd number of hex digits (45)";
        // No modulation known (a module without radio configuration): any
        // size, but still whole bytes.
        QTest::newRow("empty list refuses odd") << 3 << false << QList<uint> {} << "odd number of hex digits (3)";
        QTest::newRow("empty list takes any even") << 62 << false << QList<uint> {} << "";
        QTest::newRow("one of several sizes") << 96 << false << QList<uint> {24, 48, 96} << "";
        QTest::newRow("several sizes named")
            << 20 << false << QList<uint> {16, 24}
            << "10 bytes: LDA2 carries 16 or 24 bytes, 14 or 22 with Ack or downlink";
    }

    void sizeRule()
    {
        QFETCH(int, characters);
        QFETCH(bool, options);
        QFETCH(QList<uint>, allowed);
        QFETCH(QString, reason);
        PayloadModel model;
        model.setModulation("LDA2", allowed);
        const QString message(characters, QLatin1Char('A'));
        QCOMPARE(model.refusalText(message, options), reason);
        QCOMPARE(model.checkPayload(message, options), reason.isEmpty());
        QVERIFY(model.add(message, 4));
        model.setData(model.index(0), options, PayloadModel::OptionAckRole);
        QCOMPARE(model.data(model.index(0), PayloadModel::RefusalRole).toString(), reason);
    }

    void hexRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reason");
        QTest::newRow("upper") << QStringLiteral("0123456789ABCDEF") << "";
        QTest::newRow("lower") << QStringLiteral("abcdef") << "";
        QTest::newRow("letter beyond F") << QStringLiteral("0102G3") << "not hexadecimal: 'G' at position 5";
        QTest::newRow("CR LF") << QStringLiteral("AB\r\n") << "not hexadecimal: U+000D at position 3";
        QTest::newRow("NUL") << QString(QStringLiteral("AB") + QChar(0) + QStringLiteral("C"))
                             << "not hexadecimal: U+0000 at position 3";
        QTest::newRow("comma") << QStringLiteral("AB,CD") << "not hexadecimal: ',' at position 3";
        QTest::newRow("non-latin digit") << QString(QStringLiteral("A") + QChar(0x0663))
                                         << "not hexadecimal: '\u0663' at position 2";
    }

    void hexRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, reason);
        PayloadModel model;
        QCOMPARE(model.checkPayload(message, false), reason.isEmpty());
        QVERIFY(model.add(message, 4));
        QCOMPARE(model.getStatus(0), reason.isEmpty() ? Payload::NONE : Payload::ERROR);
        QCOMPARE(model.refusal(0), reason);
    }

    void emptyMessagesAreNumbered()
    {
        PayloadModel model;
        for (int i = 0; i < 3; ++i)
            QVERIFY(model.add(QString(), 4));
        QCOMPARE(model.getMessage(0), QStringLiteral("00000000"));
        QCOMPARE(model.getMessage(1), QStringLiteral("00000001"));
        QCOMPARE(model.getMessage(2), QStringLiteral("00000002"));
        QCOMPARE(model.getOptions(2).ack, false);
        QCOMPARE(model.getRedundancy(2), quint8(4));
    }

    void addingBeyond255IsRefused()
    {
        PayloadModel model;
        for (int i = 0; i < PayloadModel::TAV_PAYLOAD_MAX_COUNT; ++i)
            QVERIFY(model.add(QStringLiteral("AA"), 4));
        QVERIFY(model.isFull());
        QVERIFY(!model.add(QStringLiteral("BB"), 4));
        QCOMPARE(model.rowCount(), 255);
        QCOMPARE(model.getMessage(0), QStringLiteral("AA"));
    }

    void rolesReadAndWrite()
    {
        PayloadModel model;
        model.add(QStringLiteral("0102"), 4);
        const QHash<int, QByteArray> names = model.roleNames();
        QCOMPARE(names.value(257), QByteArray("message"));
        QCOMPARE(names.value(263), QByteArray("status"));
        const QModelIndex row = model.index(0);

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.setData(row, QStringLiteral("a1b2"), PayloadModel::MessageRole));
        QCOMPARE(model.data(row, PayloadModel::MessageRole).toString(), QStringLiteral("A1B2"));
        QVERIFY(model.setData(row, 7, PayloadModel::RedundancyRole));
        QCOMPARE(model.data(row, PayloadModel::RedundancyRole).toUInt(), 7u);
        QVERIFY(model.setData(row, 2, PayloadModel::TxCountRole));
        QCOMPARE(model.getTxCount(0), quint8(2));
        QVERIFY(model.setData(row, Payload::ACTIVE, PayloadModel::StatusRole));
        QCOMPARE(model.getStatus(0), Payload::ACTIVE);
        QVERIFY(!changed.isEmpty());

        QVERIFY(!model.setData(model.index(3), 1, PayloadModel::RedundancyRole));
        QVERIFY(!model.setData(row, 1, Qt::UserRole + 50));
        QVERIFY(!model.data(model.index(3), PayloadModel::MessageRole).isValid());
        QVERIFY(!model.data(row, Qt::UserRole + 50).isValid());
    }

    void importantOptionSetsRedundancy()
    {
        PayloadModel model;
        model.add(QStringLiteral("0102"), 3);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.setData(model.index(0), true, PayloadModel::OptionImportantRole));
        QCOMPARE(model.getRedundancy(0), quint8(10));
        QVERIFY(model.getOptions(0).important);
        const auto roles = changed.last().at(2).value<QList<int>>();
        QVERIFY(roles.contains(PayloadModel::RedundancyRole));
        QVERIFY(model.setData(model.index(0), false, PayloadModel::OptionImportantRole));
        QCOMPARE(model.getRedundancy(0), quint8(4));
    }

    void optionWritesRevalidate()
    {
        PayloadModel model;
        model.setAllowedSize({24});
        model.add(QString(44, QLatin1Char('F')), 4);
        QCOMPARE(model.getStatus(0), Payload::ERROR);
        QSignalSpy checked(&model, &PayloadModel::payloadChecked);
        QVERIFY(model.setData(model.index(0), true, PayloadModel::OptionAckRole));
        QCOMPARE(model.getStatus(0), Payload::NONE);
        QCOMPARE(checked.size(), 1);
        QCOMPARE(checked.at(0).at(1).toBool(), true);
        QVERIFY(model.checkPayload(quint8(0)));
        QVERIFY(model.setData(model.index(0), false, PayloadModel::OptionAckRole));
        QVERIFY(model.setData(model.index(0), true, PayloadModel::OptionMailRole));
        QCOMPARE(model.getStatus(0), Payload::NONE);
        QVERIFY(model.setData(model.index(0), QStringLiteral("0102"), PayloadModel::MessageRole));
        QCOMPARE(model.getStatus(0), Payload::ERROR);
        QCOMPARE(checked.last().at(1).toBool(), false);
        // An index beyond the list is no reason to refuse.
        QVERIFY(model.checkPayload(quint8(9)));
    }

    void newAllowedSizesRecheckEveryRow()
    {
        PayloadModel model;
        model.add(QString(48, QLatin1Char('0')), 4);
        model.add(QStringLiteral("0102"), 4);
        model.add(QString(6, QLatin1Char('1')), 4);
        QSignalSpy checked(&model, &PayloadModel::payloadChecked);
        model.setAllowedSize({24, 3});
        QCOMPARE(checked.size(), 3);
        QCOMPARE(model.getStatus(0), Payload::NONE);
        QCOMPARE(model.getStatus(1), Payload::ERROR);
        QCOMPARE(model.getStatus(2), Payload::NONE);
        QCOMPARE(checked.at(1).at(0).value<quint8>(), quint8(1));
        QCOMPARE(checked.at(1).at(1).toBool(), false);
        QCOMPARE(model.allowedSize(), (QList<uint> {24, 3}));
    }

    void removeTakesTheRow()
    {
        PayloadModel model;
        model.add(QStringLiteral("01"), 4);
        model.add(QStringLiteral("02"), 4);
        model.remove(0);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.getMessage(0), QStringLiteral("02"));
        model.remove(5);
        QCOMPARE(model.rowCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestPayload)
#include "tst_payload.moc"
