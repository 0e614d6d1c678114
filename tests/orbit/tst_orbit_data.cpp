#include "orbit/SatelliteAopModel.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QList<QString> g_messages;

void collect(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_messages.append(message);
}

QByteArray satellite(const QString& name, const QString& ident, const QString& downlink,
    const QString& uplink, double semiMajorAxis = 7195.6)
{
    return QStringLiteral(
        R"({"satellite":"%1","broadcastedStatus":{"allcastIdent":"%2","downlinkStatus":"%3",)"
        R"("operatingStatus":"%4"},"aop":{"date":"2024-04-30_22:10:05","semiMajorAxis":%5,)"
        R"("semiMajorAxisDrift":-0.12,"inclination":98.7,"ascendantNodeLongitude":325.123456,)"
        R"("ascendantNodeDrift":-25.34,"orbitalPeriod":101.36}})")
        .arg(name, ident, downlink, uplink)
        .arg(semiMajorAxis)
        .toUtf8();
}

QByteArray document(const QList<QByteArray>& satellites, const QByteArray& creation = "2024-05-01_08:30:00")
{
    QByteArray list;
    for (const QByteArray& item : satellites)
        list += (list.isEmpty() ? "" : ",") + item;
    return R"({"creationDate":")" + creation + R"(","satellitesInformation":[)" + list + "]}";
}

const QDateTime epoch(QDate(2024, 4, 30), QTime(22, 10, 5), Qt::UTC);

} // namespace

class TestOrbitData : public QObject {
    Q_OBJECT

private slots:
    void init() { g_messages.clear(); }

    void parsesTheDocument()
    {
        SatelliteAopModel model;
        QCOMPARE(model.creationDate(), QStringLiteral(" (UTC)"));
        QSignalSpy dateSpy(&model, &SatelliteAopModel::creationDateChanged);
        QVERIFY(model.parseJsonData(document({satellite("METOP-B", "B", "ARGOS-4 TX ON", "ARGOS-4 payload"),
            satellite("NOAA-19", "k", "Downlink transmitter OFF", "ARGOS-3 payload")})));
        QCOMPARE(dateSpy.size(), 1);
        QCOMPARE(model.creationDate(), QStringLiteral("Wed May 1 08:30:00 2024 GMT (UTC)"));
        QCOMPARE(model.rowCount(), 2);

        const SatelliteAop* metop = model.getSatelliteItem(quint8(0));
        QCOMPARE(metop->satelliteName(), QStringLiteral("METOP-B"));
        QCOMPARE(metop->allcastId(), QChar('B'));
        QCOMPARE(metop->bulletinEpoch(), epoch);
        QCOMPARE(metop->getAopParams(),
            (QStringList {
                "B", "2024-04-30T22:10:05Z", "7195.6", "98.7", "325.123", "-25.34", "101.36", "-0.12"}));
        QCOMPARE(metop->getSatelliteParams(), (QStringList {"B", "1", "2"}));
        QCOMPARE(metop->downlinkStatus(), QStringLiteral("ARGOS-4 "));
        QCOMPARE(metop->uplinkStatus(), QStringLiteral("ARGOS-4 "));
        // A lower-case letter names the upper-case identifier.
        QVERIFY(model.getSatelliteItem(QChar('K')));
        QCOMPARE(model.getSatelliteName(QChar('k')), QStringLiteral("NOAA-19"));

        const QModelIndex row = model.index(1);
        QCOMPARE(model.data(row, SatelliteAopModel::SatelliteNameRole).toString(), QStringLiteral("NOAA-19"));
        QCOMPARE(model.data(row, SatelliteAopModel::DownlinkStatusRole).toString(), QStringLiteral("OFF"));
        QCOMPARE(model.data(row, SatelliteAopModel::UplinkStatusRole).toString(), QStringLiteral("ARGOS-3 "));
        QVERIFY(!model.data(model.index(2), SatelliteAopModel::SatelliteNameRole).isValid());
        QVERIFY(!model.data(row, Qt::UserRole + 9).isValid());
        QCOMPARE(model.roleNames().value(Qt::UserRole + 4), QByteArray("aopData"));
        QCOMPARE(model.data(row, SatelliteAopModel::AllcastIdRole).toString(), QStringLiteral("K"));
        QCOMPARE(model.roleNames().value(SatelliteAopModel::AllcastIdRole), QByteArray("allcastId"));
        // Web records are not the module's.
        QVERIFY(!model.isSatelliteSupported(QChar('B')));
    }

    void aopDataIsRichText()
    {
        SatelliteAop record(nullptr, QStringLiteral("SARAL"), QChar('A'), SatelliteAop::DNLK_OFF,
            SatelliteAop::UPLK_ARGOS_3_ON);
        record.setAopParams(epoch, 7160.2, 98.54, 12.5, -25.1, 100.5, -0.3);
        QCOMPARE(record.aopData(),
            QString::fromUtf8(
                "<b>allcastIdent:</b> A<br><b>date:</b> Tue Apr 30 22:10:05 2024 GMT<br>"
                "<b>semiMajorAxis:</b> 7160.2 km<br><b>semiMajorAxisDrift:</b> -0.3 meter/day<br>"
                "<b>inclination:</b> 98.54°<br><b>ascendantNodeLongitude:</b> 12.5 °<br>"
                "<b>ascendantNodeDrift:</b> -25.1°<br><b>orbitalPeriod:</b> 100.5 min"));
    }

    void statusTexts_data()
    {
        QTest::addColumn<int>("downlink");
        QTest::addColumn<int>("uplink");
        QTest::addColumn<QString>("downlinkText");
        QTest::addColumn<QString>("uplinkText");
        QTest::addColumn<QString>("capability");
        QTest::newRow("argos-4") << int(SatelliteAop::DNLK_ARGOS_4_ON) << int(SatelliteAop::UPLK_ARGOS_4_ON)
                                 << "ARGOS-4 "
                                 << "ARGOS-4 "
                                 << "ON";
        QTest::newRow("off") << int(SatelliteAop::DNLK_OFF) << int(SatelliteAop::UPLK_OUT_OF_SERVICE) << "OFF"
                             << "OFF"
                             << "OFF";
        QTest::newRow("spare") << int(SatelliteAop::DNLK_SPARE_NA)
                               << int(SatelliteAop::UPLK_ARGOS_NEO_ANGELS_ON) << "Spare, N/A"
                               << "ARGOS-Angel "
                               << "ON";
        QTest::newRow("argos-3") << int(SatelliteAop::DNLK_ARGOS_3_ON) << int(SatelliteAop::UPLK_ARGOS_3_ON)
                                 << "ARGOS-3 "
                                 << "ARGOS-3 "
                                 << "ON";
        QTest::newRow("module only") << int(SatelliteAop::DNLK_NA) << int(SatelliteAop::UPLK_NA) << ""
                                     << ""
                                     << "ON";
    }

    void statusTexts()
    {
        QFETCH(int, downlink);
        QFETCH(int, uplink);
        QFETCH(QString, downlinkText);
        QFETCH(QString, uplinkText);
        QFETCH(QString, capability);
        SatelliteAopModel model;
        auto* record = new SatelliteAop(nullptr, QStringLiteral("SAT"), QChar('C'),
            static_cast<SatelliteAop::DownlinkStatus>(downlink),
            static_cast<SatelliteAop::UplinkStatus>(uplink));
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.add(record);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(record->parent(), &model);
        QCOMPARE(record->downlinkStatus(), downlinkText);
        QCOMPARE(record->uplinkStatus(), uplinkText);
        QCOMPARE(model.getDownlinkCapability(QStringLiteral("SAT")), capability);
        QCOMPARE(model.getDownlinkCapability(QStringLiteral("sat")), QStringLiteral("NA"));
    }

    void statusTextsMatchExactly()
    {
        SatelliteAopModel model;
        QVERIFY(model.parseJsonData(document({satellite("SARAL", "A", "argos-4 TX ON", "ARGOS-4 Payload")})));
        const SatelliteAop* record = model.getSatelliteItem(QChar('A'));
        QCOMPARE(record->downlinkStatusValue(), SatelliteAop::DNLK_OFF);
        QCOMPARE(record->uplinkStatusValue(), SatelliteAop::UPLK_ARGOS_3_ON);
    }

    void statusCodesOfTheModule()
    {
        QCOMPARE(SatelliteAop::downlinkStatusFromCode(0), SatelliteAop::DNLK_OFF);
        QCOMPARE(SatelliteAop::downlinkStatusFromCode(3), SatelliteAop::DNLK_ARGOS_3_ON);
        QCOMPARE(SatelliteAop::uplinkStatusFromCode(0), SatelliteAop::UPLK_ARGOS_3_ON);
        QCOMPARE(SatelliteAop::uplinkStatusFromCode(3), SatelliteAop::UPLK_OUT_OF_SERVICE);
        // A number no status has is not available, never an out-of-range value.
        for (uint code : {4u, 9u, 255u, 4294967295u}) {
            QCOMPARE(SatelliteAop::downlinkStatusFromCode(code), SatelliteAop::DNLK_NA);
            QCOMPARE(SatelliteAop::uplinkStatusFromCode(code), SatelliteAop::UPLK_NA);
        }
    }

    void laterElementWinsForOneLetter()
    {
        SatelliteAopModel model;
        QVERIFY(model.parseJsonData(document({satellite("OLD", "D", "ARGOS-3 TX ON", "ARGOS-3 payload", 7000),
            satellite("NEW", "d", "Spare, N/A", "OUT OF SERVICE", 7100)})));
        QCOMPARE(model.rowCount(), 1);
        const SatelliteAop* record = model.getSatelliteItem(quint8(0));
        QCOMPARE(record->satelliteName(), QStringLiteral("NEW"));
        QCOMPARE(record->semiMajorAxis(), 7100.0);
        QCOMPARE(record->uplinkStatus(), QStringLiteral("OFF"));
    }

    void emptyListStillDatesTheModel()
    {
        SatelliteAopModel model;
        QVERIFY(model.parseJsonData(document({}, "2024-06-02T11:00:00")));
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.creationDateTime(), QDateTime(QDate(2024, 6, 2), QTime(11, 0), Qt::UTC));
    }

    void refusedDocumentsLeaveTheModel_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        QTest::newRow("not JSON") << QByteArray("<html>maintenance</html>") << QStringLiteral("Error: ");
        QTest::newRow("truncated") << QByteArray(R"({"creationDate":)") << QStringLiteral("Error: ");
        QTest::newRow("array") << QByteArray("[1,2]")
                               << QStringLiteral("AOP data error (no consistent object)");
        QTest::newRow("errors") << QByteArray(
            R"({"errors":[{"code":401}],"creationDate":"2030-01-01_00:00:00","satellitesInformation":[]})")
                                << QStringLiteral("AOP data error (no consistent object)");
    }

    void refusedDocumentsLeaveTheModel()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        SatelliteAopModel model;
        QVERIFY(model.parseJsonData(document({satellite("SARAL", "A", "ARGOS-4 TX ON", "ARGOS-4 payload")})));
        const QString date = model.creationDate();
        QSignalSpy dateSpy(&model, &SatelliteAopModel::creationDateChanged);
        const QtMessageHandler previous = qInstallMessageHandler(collect);
        const bool parsed = model.parseJsonData(data);
        qInstallMessageHandler(previous);
        QVERIFY(!parsed);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.creationDate(), date);
        QCOMPARE(dateSpy.size(), 0);
        QCOMPARE(g_messages.size(), 1);
        QVERIFY2(g_messages.first().startsWith(message), qPrintable(g_messages.first()));
    }

    void moduleReportsMergeWithWebRecords()
    {
        SatelliteAopModel model;
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.updateAopData(QChar('A'), epoch, 7160.2, 98.5, 12.5, -25.1, 100.5, -0.3, QStringLiteral("NA"),
            SatelliteAop::DNLK_NA, SatelliteAop::UPLK_NA);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(2).value<QList<int>>().size(), 4);
        QVERIFY(model.isSatelliteSupported(QChar('a')));
        QVERIFY(!model.isSatelliteSupported(QChar('B')));
        QCOMPARE(model.getSatelliteName(QChar('A')), QStringLiteral("NA"));
        QCOMPARE(model.getDownlinkCapability(QStringLiteral("NA")), QStringLiteral("ON"));

        QVERIFY(model.parseJsonData(document({satellite("SARAL", "A", "ARGOS-3 TX ON", "ARGOS-3 payload")})));
        const SatelliteAop* record = model.getSatelliteItem(QChar('A'));
        QCOMPARE(record->satelliteName(), QStringLiteral("SARAL"));
        QCOMPARE(record->semiMajorAxis(), 7195.6);

        // A later report refreshes the orbit without erasing name and status.
        const QDateTime later = epoch.addDays(1);
        model.updateAopData(QChar('A'), later, 7161.0, 98.6, 13.0, -25.0, 100.6, -0.2, QStringLiteral("NA"),
            SatelliteAop::DNLK_NA, SatelliteAop::UPLK_NA);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(record->satelliteName(), QStringLiteral("SARAL"));
        QCOMPARE(record->downlinkStatusValue(), SatelliteAop::DNLK_ARGOS_3_ON);
        QCOMPARE(record->bulletinEpoch(), later);
        QCOMPARE(record->semiMajorAxis(), 7161.0);
        QVERIFY(model.getSatelliteItem(QChar('Z')) == nullptr);
        QCOMPARE(model.getSatelliteName(QChar('Z')), QStringLiteral("NA"));
    }

    void elementWithoutIdentIsSkipped()
    {
        SatelliteAopModel model;
        const QtMessageHandler previous = qInstallMessageHandler(collect);
        const bool parsed
            = model.parseJsonData(document({satellite("GHOST", "", "ARGOS-4 TX ON", "ARGOS-4 payload"),
                satellite("SARAL", "A", "ARGOS-4 TX ON", "ARGOS-4 payload")}));
        qInstallMessageHandler(previous);
        QVERIFY(parsed);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.getSatelliteItem(quint8(0))->satelliteName(), QStringLiteral("SARAL"));
    }

    void serviceDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        const QDateTime date(QDate(2024, 5, 1), QTime(8, 30), Qt::UTC);
        QTest::newRow("underscore") << QStringLiteral("2024-05-01_08:30:00") << date;
        QTest::newRow("T") << QStringLiteral("2024-05-01T08:30:00") << date;
        QTest::newRow("already zoned") << QStringLiteral("2024-05-01T08:30:00Z") << date;
        QTest::newRow("missing") << QString() << QDateTime();
    }

    void serviceDates()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        QCOMPARE(SatelliteAopModel::parseServiceDate(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestOrbitData)
#include "tst_orbit_data.moc"
