#include "boards.h"
#include "log/Helper.h"

#include <QSignalSpy>
#include <QTest>

using Id = SensorModel::Id;

class TestSensorModel : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TavBoard> m_board;
    SensorModel* m_model = nullptr;

    QVariant at(int row, int role) const { return m_model->data(m_model->index(row), role); }

private slots:
    void init()
    {
        m_board = makeBoard(TavBoard::TREKON);
        m_model = m_board->sensorListModel();
        QVERIFY(m_model != nullptr);
    }

    void namesItsRoles()
    {
        const QHash<int, QByteArray> expected = {{Qt::UserRole + 1, "id"}, {Qt::UserRole + 2, "name"},
            {Qt::UserRole + 3, "enable"}, {Qt::UserRole + 4, "alert"}, {Qt::UserRole + 5, "hasAlertCmd"},
            {Qt::UserRole + 6, "thresholdTitle"}, {Qt::UserRole + 7, "thresholdValues"},
            {Qt::UserRole + 8, "alertEnable"}};
        QCOMPARE(m_model->roleNames(), expected);
    }

    void listsTrekonSensorsInIdOrder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("hasAlertCmd");
        QTest::addColumn<QString>("thresholdTitle");
        QTest::addColumn<QString>("thresholdValues");
        QTest::newRow("GNSS") << "GNSS" << false << ""
                              << "NA";
        QTest::newRow("TEMPERATURE") << "Temperature" << false << ""
                                     << "NA";
        QTest::newRow("HUMIDITY") << "Humidity" << false << ""
                                  << "NA";
        QTest::newRow("PRESSURE") << "Pressure" << false << ""
                                  << "NA";
        QTest::newRow("LIGHT") << "Light" << true << "Low,High"
                               << "400,3000";
        QTest::newRow("ACCELEROMETER") << "Accelerometer" << true << "Bound"
                                       << "4000";
        QTest::newRow("DRY_CONTACT") << "Dry contact" << true << "Active level"
                                     << "1";
        QTest::newRow("PUSH_BUTTON") << "Push button" << true << ""
                                     << "NA";
    }

    void listsTrekonSensorsInIdOrder()
    {
        const int row = Helper::strToEnum<Id>(QTest::currentDataTag());
        QCOMPARE(m_model->rowCount(), 8);
        QCOMPARE(at(row, SensorModel::IdRole), QVariant(uint(row)));
        QTEST(at(row, SensorModel::NameRole).toString(), "name");
        QCOMPARE(at(row, SensorModel::EnableRole), QVariant(true));
        QCOMPARE(at(row, SensorModel::AlertRole), QVariant(false));
        QCOMPARE(at(row, SensorModel::AlertEnableRole), QVariant(false));
        QTEST(at(row, SensorModel::HasAlertCmdRole).toBool(), "hasAlertCmd");
        QTEST(at(row, SensorModel::ThresholdTitleRole).toString(), "thresholdTitle");
        QTEST(at(row, SensorModel::ThresholdValuesRole).toString(), "thresholdValues");
        QCOMPARE(m_model->getSensorIndex(static_cast<Id>(row)), row);
    }

    void answersNothingOutsideItsRowsAndRoles()
    {
        QVERIFY(!at(8, SensorModel::NameRole).isValid());
        QVERIFY(!m_model->data(QModelIndex(), SensorModel::NameRole).isValid());
        QVERIFY(!at(0, Qt::DisplayRole).isValid());
        QVERIFY(!at(0, Qt::UserRole + 9).isValid());
    }

    void editsOnlyEnableAlertAndThresholds_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("enable") << int(SensorModel::EnableRole) << QVariant(false) << true;
        QTest::newRow("alert") << int(SensorModel::AlertRole) << QVariant(true) << true;
        QTest::newRow("alertEnable") << int(SensorModel::AlertEnableRole) << QVariant(true) << true;
        QTest::newRow("thresholdValues")
            << int(SensorModel::ThresholdValuesRole) << QVariant("500,2500") << true;
        QTest::newRow("id") << int(SensorModel::IdRole) << QVariant(7u) << false;
        QTest::newRow("name") << int(SensorModel::NameRole) << QVariant("Lux") << false;
        QTest::newRow("hasAlertCmd") << int(SensorModel::HasAlertCmdRole) << QVariant(false) << false;
        QTest::newRow("thresholdTitle") << int(SensorModel::ThresholdTitleRole) << QVariant("Lux") << false;
        QTest::newRow("display") << int(Qt::DisplayRole) << QVariant("Lux") << false;
    }

    void editsOnlyEnableAlertAndThresholds()
    {
        QFETCH(int, role);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        QSignalSpy changed(m_model, &QAbstractItemModel::dataChanged);
        const QVariant before = at(4, role);
        QCOMPARE(m_model->setData(m_model->index(4), value, role), accepted);
        QCOMPARE(at(4, role), accepted ? value : before);
        QCOMPARE(changed.count(), accepted ? 1 : 0);
        if (accepted) {
            QCOMPARE(changed.at(0).at(0).toModelIndex(), m_model->index(4));
            QCOMPARE(changed.at(0).at(1).toModelIndex(), m_model->index(4));
            QCOMPARE(changed.at(0).at(2).value<QList<int>>(), QList<int>({role}));
        }
        QVERIFY(!m_model->setData(m_model->index(8), value, role));
    }

    void settersGoThroughSetData()
    {
        QSignalSpy changed(m_model, &QAbstractItemModel::dataChanged);
        m_model->setThresholdValues(SensorModel::LIGHT, "500,2500");
        m_model->setAlert(SensorModel::DRY_CONTACT, true);
        m_model->setAlert(uchar(5), true);
        m_model->setEnable(uchar(0), false);

        const QList<QPair<int, int>> expected = {{4, SensorModel::ThresholdValuesRole},
            {6, SensorModel::AlertRole}, {5, SensorModel::AlertRole}, {0, SensorModel::EnableRole}};
        QList<QPair<int, int>> signalled;
        for (const QList<QVariant>& args : changed) {
            const QList<int> roles = args.at(2).value<QList<int>>();
            QCOMPARE(roles.size(), 1);
            signalled.append({args.at(0).toModelIndex().row(), roles.first()});
        }
        QCOMPARE(signalled, expected);
        QCOMPARE(at(4, SensorModel::ThresholdValuesRole), QVariant("500,2500"));
        QCOMPARE(at(6, SensorModel::AlertRole), QVariant(true));
        QCOMPARE(at(5, SensorModel::AlertRole), QVariant(true));
        QCOMPARE(at(0, SensorModel::EnableRole), QVariant(false));
    }

    void countsRowsOfSparseMapInIdOrder()
    {
        QObject owner;
        SensorModel model(&owner,
            {{SensorModel::PUSH_BUTTON, new Sensor(&owner, "Push button", true, false, true, "", "7")},
                {SensorModel::LIGHT, new Sensor(&owner, "Light", false, false, true, "Low,High", "1,2")}});
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.getSensorIndex(SensorModel::LIGHT), 0);
        QCOMPARE(model.getSensorIndex(SensorModel::PUSH_BUTTON), 1);
        QCOMPARE(model.getSensorIndex(SensorModel::GNSS), 2);
        QCOMPARE(model.data(model.index(1), SensorModel::IdRole), QVariant(uint(SensorModel::PUSH_BUTTON)));
        QCOMPARE(model.data(model.index(1), SensorModel::ThresholdValuesRole), QVariant("NA"));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setAlert(SensorModel::GNSS, true);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model.getSensorMap().keys(), QList<Id>({SensorModel::LIGHT, SensorModel::PUSH_BUTTON}));
    }

    void signalsAcquisitionPeriodOnEveryCall()
    {
        QCOMPARE(m_model->acquisitionPeriod(), ushort(3600));
        QSignalSpy changed(m_model, &SensorModel::acquisitionPeriodChanged);
        m_model->setAcquisitionPeriod(600);
        m_model->setAcquisitionPeriod(600);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(m_model->property("acquisitionPeriod"), QVariant::fromValue(ushort(600)));
    }

    void mapsAlertingSensorsToTheirCommands()
    {
        const QMap<Id, AtCmdHandler::CmdId> expected = {{SensorModel::LIGHT, AtCmdHandler::ALRT_LIGHT},
            {SensorModel::ACCELEROMETER, AtCmdHandler::ALRT_ACC},
            {SensorModel::DRY_CONTACT, AtCmdHandler::ALRT_DRYC},
            {SensorModel::PUSH_BUTTON, AtCmdHandler::ALRT_PB}};
        QCOMPARE(SensorModel::sensorAlertAtCmdMap(), expected);
    }
};

QTEST_GUILESS_MAIN(TestSensorModel)
#include "tst_sensormodel.moc"
