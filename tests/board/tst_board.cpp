#include "boards.h"

#include <QMetaMethod>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QSignalSpy>
#include <QTest>

class TestBoard : public QObject {
    Q_OBJECT

private slots:
    void startsWithVariantDefaults_data()
    {
        QTest::addColumn<TavBoard::Module>("module");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Logger::Source>("loggerSrc");
        QTest::addColumn<bool>("awake");
        QTest::addColumn<bool>("loraCompatible");
        QTest::addColumn<QString>("loraMinVersion");
        QTest::addColumn<int>("sensors");
        QTest::newRow("TAV1") << TavBoard::TAV1 << "TAV1" << Logger::TAV << true << false << "" << 0;
        QTest::newRow("TAV2") << TavBoard::TAV2 << "TAV2" << Logger::TAV << true << false << "" << 0;
        QTest::newRow("RIX") << TavBoard::RIX << "RIX" << Logger::TAV << true << false << "" << 0;
        QTest::newRow("TREKON") << TavBoard::TREKON << "TREKON" << Logger::TRK << false << true << "1.4" << 8;
    }

    void startsWithVariantDefaults()
    {
        QFETCH(TavBoard::Module, module);
        QFETCH(int, sensors);
        const auto board = makeBoard(module, QSerialPort::Baud115200);
        QCOMPARE(board->module(), module);
        QTEST(board->name(), "name");
        QTEST(board->loggerSrc(), "loggerSrc");
        QTEST(board->isAwake(), "awake");
        QTEST(board->loraCompatible(), "loraCompatible");
        QTEST(board->loraMinVersion(), "loraMinVersion");
        QCOMPARE(board->sensorListModel() ? board->sensorListModel()->rowCount() : 0, sensors);
        if (sensors > 0)
            QCOMPARE(board->sensorListModel()->parent(), board.get());
        QVERIFY(!board->loraStackIntegrated());

        for (const QString& value :
            {board->firmwareVersion(), board->id(), board->serialNumber(), board->port()})
            QCOMPARE(value, "NA");
        QCOMPARE(board->addr(), "");
        QCOMPARE(board->txFrequency(), 0u);
        QCOMPARE(board->txPower(), ushort(0));

        const TavBoard::PortSettings line = board->getPortSettings();
        QCOMPARE(line.baudRate, QSerialPort::Baud115200);
        QCOMPARE(line.dataBits, QSerialPort::Data8);
        QCOMPARE(line.parity, QSerialPort::NoParity);
        QCOMPARE(line.stopBits, QSerialPort::OneStop);
        QCOMPARE(line.flowControl, QSerialPort::NoFlowControl);
    }

    // Each row sets a value twice: a repeated answer must refresh the views too.
    void signalsOnEveryCallAndReachesQml_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("setModule") << "module" << QVariant::fromValue(TavBoard::RIX)
                                   << QVariant(int(TavBoard::RIX));
        QTest::newRow("setPort") << "port" << QVariant("/dev/ttyUSB0") << QVariant("/dev/ttyUSB0");
        QTest::newRow("setId") << "id" << QVariant("a1b2") << QVariant("A1B2");
        QTest::newRow("setAddr") << "addr" << QVariant("0a1b2c3d") << QVariant("0A1B2C3D");
        QTest::newRow("setSerialNumber")
            << "serialNumber" << QVariant("TAV12345678901") << QVariant("TAV12345678901");
        QTest::newRow("setFirmwareVersion")
            << "firmwareVersion" << QVariant("1234,SW1.4.0") << QVariant("1234,SW1.4.0");
        QTest::newRow("setTxFrequency") << "txFrequency" << QVariant(401650000u) << QVariant(401650000u);
        QTest::newRow("setTxPower") << "txPower" << QVariant::fromValue(ushort(1000)) << QVariant(1000);
        QTest::newRow("setIsAwake") << "isAwake" << QVariant(false) << QVariant(false);
    }

    void signalsOnEveryCallAndReachesQml()
    {
        QFETCH(QString, property);
        QFETCH(QVariant, value);
        QFETCH(QVariant, stored);
        Tav2 board(nullptr, QSerialPort::Baud9600);
        QQmlEngine engine;
        engine.rootContext()->setContextProperty("board", &board);
        QQmlExpression binding(engine.rootContext(), nullptr, "board." + property);
        binding.setNotifyOnValueChanged(true);
        binding.evaluate();
        QSignalSpy qmlUpdates(&binding, &QQmlExpression::valueChanged);

        const QMetaObject* meta = board.metaObject();
        const QMetaProperty metaProperty = meta->property(meta->indexOfProperty(qPrintable(property)));
        QVERIFY(!metaProperty.isWritable());
        QCOMPARE(metaProperty.notifySignal().name(), property.toLatin1() + "Changed");
        QSignalSpy notified(&board, metaProperty.notifySignal());
        QMetaMethod setter;
        for (int i = 0; i < meta->methodCount(); ++i) {
            if (meta->method(i).name() == QTest::currentDataTag())
                setter = meta->method(i);
        }
        QVERIFY(setter.isValid() && setter.methodType() == QMetaMethod::Slot);
        QVERIFY(value.convert(setter.parameterMetaType(0)));

        for (int call = 1; call <= 2; ++call) {
            QVERIFY(setter.invoke(
                &board, Qt::DirectConnection, QGenericArgument(value.typeName(), value.constData())));
            QCOMPARE(notified.count(), call);
            QTRY_COMPARE(qmlUpdates.count(), call);
            QCOMPARE(binding.evaluate(), stored);
        }
    }

    void moduleChangeRenamesBoard()
    {
        Tav1 board(nullptr, QSerialPort::Baud9600);
        QStringList order;
        QObject::connect(&board, &TavBoard::moduleChanged, [&] { order << "module"; });
        QObject::connect(&board, &TavBoard::nameChanged, [&] { order << "name:" + board.name(); });
        board.setModule(TavBoard::TREKON);
        board.setModule(TavBoard::NA);
        QCOMPARE(order, QStringList({"module", "name:TREKON", "module", "name:NA"}));
    }

    void detectsLoRaStackFromFirmware_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("integrated");
        QTest::addColumn<bool>("recognised");
        QTest::newRow("1.4.0") << "1234,SW1.4.0" << true << true;
        QTest::newRow("1.3.9") << "1234,SW1.3.9" << false << true;
        QTest::newRow("2.0.0") << "1234,SW2.0.0" << true << true;
        QTest::newRow("1.0.0") << "1234,SW1.0.0" << false << true;
        QTest::newRow("0.9.9") << "1234,SW0.9.9" << false << true;
        QTest::newRow("no prefix") << "1.4.0" << false << false;
        QTest::newRow("not read") << "NA" << false << false;
    }

    void detectsLoRaStackFromFirmware()
    {
        QFETCH(QString, version);
        QFETCH(bool, integrated);
        QFETCH(bool, recognised);
        Trekon board(nullptr, QSerialPort::Baud115200);
        QStringList order;
        QObject::connect(&board, &TavBoard::firmwareVersionChanged, [&] { order << "fw"; });
        QObject::connect(&board, &TavBoard::loraStackIntegratedChanged, [&] { order << "lora"; });
        for (int call = 0; call < 2; ++call) {
            if (!recognised)
                QTest::ignoreMessage(QtCriticalMsg,
                    "Unable to identify Trekon firmware version and detect LoRa connectivity status");
            board.setFirmwareVersion(version);
        }
        QCOMPARE(board.firmwareVersion(), version);
        QCOMPARE(board.loraStackIntegrated(), integrated);
        QCOMPARE(order, QStringList({"fw", "lora", "fw", "lora"}));
    }
};

QTEST_MAIN(TestBoard)
#include "tst_board.moc"
