#include "PayloadModel.h"

#include <QSignalSpy>
#include <QTest>

class TestPayload : public QObject {
    Q_OBJECT

private slots:
    void sizeRule_data()
    {
        QTest::addColumn<int>("characters");
        QTest::addColumn<bool>("options");
        QTest::addColumn<QList<uint>>("allowed");
        QTest::addColumn<bool>("accepted");
        const QList<uint> only24 {24};
        QTest::newRow("48 digits fit 24") << 48 << false << only24 << true;
        QTest::newRow("48 digits with ack exceed 24") << 48 << true << only24 << false;
        QTest::newRow("44 digits with ack fit 24") << 44 << true << only24 << true;
        QTest::newRow("44 digits alone do not") << 44 << false << only24 << false;
        QTest::newRow("odd length refused") << 47 << false << QList<uint> {23, 24} << false;
        QTest::newRow("odd length refused with options") << 45 << true << QList<uint> {24, 25} << false;
        QTest::newRow("empty list accepts odd") << 47 << false << QList<uint> {} << true;
        QTest::newRow("one of several sizes") << 96 << false << QList<uint> {24, 48, 96} << true;
    }

    void sizeRule()
    {
        QFETCH(int, characters);
        QFETCH(bool, options);
        QFETCH(QList<uint>, allowed);
        QFETCH(bool, accepted);
        PayloadModel model;
        model.setAllowedSize(allowed);
        QCOMPARE(model.checkPayload(QString(characters, QLatin1Char('A')), options), accepted);
    }

    void hexRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("upper") << QStringLiteral("0123456789ABCDEF") << true;
        QTest::newRow("lower") << QStringLiteral("abcdef") << true;
        QTest::newRow("letter beyond F") << QStringLiteral("0G") << false;
        QTest::newRow("CR LF") << QStringLiteral("AB\r\n") << false;
        QTest::newRow("NUL") << QString(QStringLiteral("AB") + QChar(0) + QStringLiteral("C")) << false;
        QTest::newRow("comma") << QStringLiteral("AB,CD") << false;
        QTest::newRow("non-latin digit") << QString(QStringLiteral("A") + QChar(0x0663)) << false;
    }

    void hexRule()
    {
        QFETCH(QString, message);
        QFETCH(bool, accepted);
        PayloadModel model;
        QCOMPARE(model.checkPayload(message, false), accepted);
        QVERIFY(model.add(message, 4));
        QCOMPARE(model.getStatus(0), accepted ? Payload::NONE : Payload::ERROR);
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
