#pragma once

#include "MockTx.h"

#include <QQmlEngine>

class MockTxManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString utcTime READ utcTime NOTIFY utcTimeChanged)
    Q_PROPERTY(qint64 utcTimeOffset READ utcTimeOffset NOTIFY utcTimeChanged)
    Q_PROPERTY(
        int selectedProfile READ selectedProfile WRITE setSelectedProfile NOTIFY selectedProfileChanged)
    Q_PROPERTY(MockPeriodicProfile* periodicProfile READ periodicProfile CONSTANT)
    Q_PROPERTY(MockPrepassProfile* prepassProfile READ prepassProfile CONSTANT)
    Q_PROPERTY(bool loraEnabled READ loraEnabled WRITE setLoraEnabled NOTIFY loraEnabledChanged)
    Q_PROPERTY(MockLoRa* loraConfig READ loraConfig CONSTANT)
    Q_PROPERTY(MockPrepassModel* prepassListModel READ prepassListModel CONSTANT)
    Q_PROPERTY(int nextPassIdx MEMBER m_nextPassIdx NOTIFY nextPassIdxChanged)
    Q_PROPERTY(MockPayloadModel* payloadListModel READ payloadListModel CONSTANT)
    Q_PROPERTY(int currentSequenceRepeatCount MEMBER m_repeatCount NOTIFY currentSequenceRepeatCountChanged)
    Q_PROPERTY(bool ackPending READ ackPending WRITE setAckPending NOTIFY ackPendingChanged)
    Q_PROPERTY(
        bool sequenceRunning READ sequenceRunning WRITE setSequenceRunning NOTIFY sequenceRunningChanged)
    Q_PROPERTY(int timeUntilNextTx MEMBER m_timeUntilNextTx NOTIFY timeUntilNextTxChanged)
    Q_PROPERTY(bool computingSatelliteNextPass MEMBER m_computing NOTIFY computingSatelliteNextPassChanged)
    Q_PROPERTY(QStringListModel* modulationList READ modulationList CONSTANT)
    Q_PROPERTY(MockModulation* modulationModel READ modulationModel CONSTANT)

public:
    enum Profile { PERIODIC, PREPASS, PREPASS_ON_MODULE };
    Q_ENUM(Profile)

    explicit MockTxManager(CallLog* calls, QObject* parent = nullptr)
        : QObject(parent)
        , m_calls(calls)
        , m_periodic(new MockPeriodicProfile(this))
        , m_prepass(new MockPrepassProfile(calls, this))
        , m_lora(new MockLoRa(this))
        , m_passes(new MockPrepassModel(this))
        , m_payloads(new MockPayloadModel(this))
        , m_modulationList(new QStringListModel(
              {"radio_conf_401620000_401680000_500_LDA2.bin", "radio_conf_401620000_401680000_500_VLDA4.bin"},
              this))
        , m_modulation(new MockModulation(this))
    {
        connect(&m_clock, &QTimer::timeout, this, &MockTxManager::utcTimeChanged);
        m_clock.start(1000);
    }

    qint64 utcTimeOffset() const { return m_offset; }
    QString utcTime() const
    {
        return QDateTime::currentDateTimeUtc().addSecs(m_offset).toString("ddd MMM d, hh:mm:ss");
    }
    int selectedProfile() const { return m_profile; }
    MockPeriodicProfile* periodicProfile() const { return m_periodic; }
    MockPrepassProfile* prepassProfile() const { return m_prepass; }
    bool loraEnabled() const { return m_loraEnabled; }
    MockLoRa* loraConfig() const { return m_lora; }
    MockPrepassModel* prepassListModel() const { return m_passes; }
    MockPayloadModel* payloadListModel() const { return m_payloads; }
    bool ackPending() const { return m_ackPending; }
    bool sequenceRunning() const { return m_running; }
    QStringListModel* modulationList() const { return m_modulationList; }
    MockModulation* modulationModel() const { return m_modulation; }

    Q_INVOKABLE bool addPayloadItem(const QString& message)
    {
        m_calls->record("addPayloadItem(" + message + ")");
        m_payloads->add(message, m_profile == PERIODIC ? m_periodic->property("redundancy").toInt() : 4);
        return true;
    }
    Q_INVOKABLE bool importPrepassData(const QString& url)
    {
        m_calls->record("importPrepassData(" + url + ")");
        if (url.contains("bad")) {
            emit loadPrepassDataCompleted("Line 3: unreadable start date");
            return false;
        }
        m_passes->clear();
        const QDateTime now = QDateTime::currentDateTimeUtc().addSecs(m_offset);
        m_passes->add("METOP-B", now.addSecs(-120), 600, 42.5, true);
        m_passes->add("SARAL", now.addSecs(1800), 540, 18.0, false);
        m_passes->add("METOP-C", now.addSecs(5400), 720, 71.3, false);
        m_passes->add("NOAA-18", now.addSecs(9000), 480, 9.6, false);
        m_nextPassIdx = 1;
        emit nextPassIdxChanged();
        emit loadPrepassDataCompleted(QString());
        return true;
    }
    Q_INVOKABLE void clearPrepassData(bool eraseFilePath = true)
    {
        m_calls->record(QString("clearPrepassData(%1)").arg(eraseFilePath));
        m_passes->clear();
        m_nextPassIdx = 0;
        emit nextPassIdxChanged();
    }
    Q_INVOKABLE void setCustomUtcTime(const QString& isoDate)
    {
        m_calls->record("setCustomUtcTime(" + isoDate + ")");
        const QDateTime t = QDateTime::fromString(isoDate, Qt::ISODate);
        m_offset = QDateTime::currentDateTimeUtc().secsTo(t);
        if (qAbs(m_offset) <= 1)
            m_offset = 0;
        emit utcTimeChanged();
    }
    Q_INVOKABLE void start(int repeatNum)
    {
        m_calls->record(QString("start(%1)").arg(repeatNum));
        setSequenceRunning(true);
    }
    Q_INVOKABLE void stop()
    {
        m_calls->record("stop()");
        if (!m_running)
            return;
        m_repeatCount = 0;
        emit currentSequenceRepeatCountChanged();
        setSequenceRunning(false);
    }
    Q_INVOKABLE bool changeModulationRadioConfiguration(const QString& fileName)
    {
        m_calls->record("changeModulationRadioConfiguration(" + fileName + ")");
        return true;
    }
    Q_INVOKABLE bool importRadioConfFile(const QString& url)
    {
        m_calls->record("importRadioConfFile(" + url + ")");
        return url.endsWith(".bin");
    }
    Q_INVOKABLE void refreshRadioConfList() { m_calls->record("refreshRadioConfList()"); }

    // Test helpers
    Q_INVOKABLE void emitTxError(const QString& error) { emit txErrorOccured(error); }
    Q_INVOKABLE void emitCompleted() { emit sequenceCompleted(); }
    Q_INVOKABLE void emitCurrentIndex(int index) { emit currentIndexUpdated(index); }
    Q_INVOKABLE void failProfileSwitch() { emit profileSwitchFailed(); }

public slots:
    void setSelectedProfile(int profile)
    {
        m_calls->record(QString("setSelectedProfile(%1)").arg(profile));
        if (profile < PERIODIC || profile > PREPASS_ON_MODULE)
            return;
        m_profile = profile;
        emit selectedProfileChanged();
    }
    void setLoraEnabled(bool v)
    {
        m_loraEnabled = v;
        emit loraEnabledChanged();
    }
    void setAckPending(bool v)
    {
        m_ackPending = v;
        emit ackPendingChanged();
    }
    void setSequenceRunning(bool v)
    {
        m_running = v;
        emit sequenceRunningChanged();
    }

signals:
    void utcTimeChanged();
    void selectedProfileChanged();
    void loraEnabledChanged();
    void nextPassIdxChanged();
    void currentSequenceRepeatCountChanged();
    void ackPendingChanged();
    void sequenceRunningChanged();
    void timeUntilNextTxChanged();
    void computingSatelliteNextPassChanged();
    void setRadioConfRequest(QByteArray conf);
    void profileSwitchFailed();
    void loadPrepassDataCompleted(QString error);
    void txErrorOccured(QString error);
    void currentIndexUpdated(int index);
    void sequenceCompleted();
    void sequenceStopped();

private:
    CallLog* m_calls;
    QTimer m_clock;
    qint64 m_offset = 0;
    int m_profile = PERIODIC;
    MockPeriodicProfile* m_periodic;
    MockPrepassProfile* m_prepass;
    bool m_loraEnabled = false;
    MockLoRa* m_lora;
    MockPrepassModel* m_passes;
    int m_nextPassIdx = 0;
    MockPayloadModel* m_payloads;
    int m_repeatCount = 0;
    bool m_ackPending = false;
    bool m_running = false;
    int m_timeUntilNextTx = 0;
    bool m_computing = false;
    QStringListModel* m_modulationList;
    MockModulation* m_modulation;
};

class MockTavManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(MockSerialPort* serialPort READ serialPort CONSTANT)
    Q_PROPERTY(MockBoard* board READ board NOTIFY boardChanged)
    Q_PROPERTY(MockLogger* logger READ logger CONSTANT)
    Q_PROPERTY(MockTxManager* tx READ tx NOTIFY txChanged)
    Q_PROPERTY(bool processingData READ processingData NOTIFY processingDataChanged)
    Q_PROPERTY(CallLog* calls READ calls CONSTANT)
    Q_PROPERTY(int mode READ mode NOTIFY modeChanged)
    // What the module-side calls answer; tests switch it to check error paths.
    Q_PROPERTY(bool succeed MEMBER m_succeed)

public:
    enum Mode { BASIC, EXPERT };
    Q_ENUM(Mode)

    MockTavManager()
        : m_calls(new CallLog(this))
        , m_serialPort(new MockSerialPort(this))
        , m_logger(new MockLogger(this))
        , m_tx(new MockTxManager(m_calls, this))
    {
    }

    MockSerialPort* serialPort() const { return m_serialPort; }
    MockBoard* board() const { return m_board; }
    MockLogger* logger() const { return m_logger; }
    MockTxManager* tx() const { return m_tx; }
    bool processingData() const { return m_processing; }
    CallLog* calls() const { return m_calls; }
    int mode() const { return m_mode; }

    Q_INVOKABLE void setMode(int mode)
    {
        m_calls->record(QString("setMode(%1)").arg(mode));
        m_mode = mode;
        emit modeChanged();
    }
    // A port named "/dev/missing" cannot be opened; on "/dev/silent" the
    // module does not answer the ping.
    Q_INVOKABLE void connect(int module, const QString& portName, const QString& baudrate)
    {
        m_calls->record(QString("connect(%1,%2,%3)").arg(module).arg(portName, baudrate));
        if (module < MockBoard::TAV1 || module > MockBoard::TREKON)
            return;
        delete m_board;
        m_board = new MockBoard(MockBoard::Module(module), portName, this);
        emit boardChanged();
        if (portName == "/dev/missing") {
            emit m_serialPort->serialError("Unable to open port " + portName);
            return;
        }
        if (!m_board->isAwake())
            emit userActionRequested();
        if (portName == "/dev/silent") {
            emit m_serialPort->serialError("Unable to contact " + m_board->name());
            return;
        }
        m_board->setIsAwake(true);
        m_board->setId("1a2b3c");
        m_board->setFirmwareVersion(module == MockBoard::TREKON ? "1234,SW1.4.2" : "V2.1.0");
        m_board->setSerialNumber("TAV12345678901");
        m_board->setAddr("0a1b2c3d");
        emit connected();
        m_logger->emitLine("APP", m_board->name() + " connected on port " + portName);
    }
    Q_INVOKABLE void disconnect()
    {
        m_calls->record("disconnect()");
        m_tx->stop();
        delete m_board;
        m_board = nullptr;
        emit disconnected();
    }
    Q_INVOKABLE void saveSettings() { m_calls->record("saveSettings()"); }
    Q_INVOKABLE void requestCustomCmd(const QString& cmd)
    {
        m_calls->record("requestCustomCmd(" + cmd + ")");
        emit customCmdCompleted();
    }
    Q_INVOKABLE void cancelModuleRequest() { m_calls->record("cancelModuleRequest()"); }
    Q_INVOKABLE void getHwInfo() { m_calls->record("getHwInfo()"); }
    Q_INVOKABLE void getConfig() { m_calls->record("getConfig()"); }
    Q_INVOKABLE void uploadConfig() { m_calls->record("uploadConfig()"); }
    Q_INVOKABLE void exportConfig(const QString& path) { m_calls->record("exportConfig(" + path + ")"); }
    Q_INVOKABLE void importConfig(const QString& path) { m_calls->record("importConfig(" + path + ")"); }
    Q_INVOKABLE void getTxFrequency() { m_calls->record("getTxFrequency()"); }
    Q_INVOKABLE void getTxPower() { m_calls->record("getTxPower()"); }
    Q_INVOKABLE void setTxPower(int power) { m_calls->record(QString("setTxPower(%1)").arg(power)); }
    Q_INVOKABLE void getTxRedundancy() { m_calls->record("getTxRedundancy()"); }
    Q_INVOKABLE bool setTxRedundancy(int redundancy)
    {
        return answer(QString("setTxRedundancy(%1)").arg(redundancy));
    }
    Q_INVOKABLE void getPrepassConfig() { m_calls->record("getPrepassConfig()"); }
    Q_INVOKABLE bool setPrepassConfig(int duration, double minElevation, int minPassDuration)
    {
        return answer(
            QString("setPrepassConfig(%1,%2,%3)").arg(duration).arg(minElevation).arg(minPassDuration));
    }
    Q_INVOKABLE void getGnssPosition() { m_calls->record("getGnssPosition()"); }
    Q_INVOKABLE bool setGnssPosition(double latitude, double longitude)
    {
        return answer(QString("setGnssPosition(%1,%2)").arg(latitude).arg(longitude));
    }
    Q_INVOKABLE void getAopData() { m_calls->record("getAopData()"); }
    Q_INVOKABLE bool setAopDataAndConstellationStatus()
    {
        return answer("setAopDataAndConstellationStatus()");
    }
    Q_INVOKABLE void getSatelliteNextPass() { m_calls->record("getSatelliteNextPass()"); }
    Q_INVOKABLE void getModuleUtcDate() { m_calls->record("getModuleUtcDate()"); }
    Q_INVOKABLE bool setModuleUtcDate(const QString& isoDate)
    {
        return answer("setModuleUtcDate(" + isoDate + ")");
    }
    Q_INVOKABLE void getRadioConfig() { m_calls->record("getRadioConfig()"); }
    Q_INVOKABLE bool resetModule() { return answer("resetModule()"); }
    Q_INVOKABLE void getLoRaConfig() { m_calls->record("getLoRaConfig()"); }
    Q_INVOKABLE bool setLoRaEnable() { return answer("setLoRaEnable()"); }
    Q_INVOKABLE bool setLoRaInfo() { return answer("setLoRaInfo()"); }
    Q_INVOKABLE void getSensorsConfig() { m_calls->record("getSensorsConfig()"); }
    Q_INVOKABLE bool setSensorsConfig() { return answer("setSensorsConfig()"); }

    // Test helpers
    Q_INVOKABLE void setProcessingData(bool uploading, const QString& msg = QString(), bool error = false)
    {
        m_processing = uploading;
        emit processingDataChanged(msg, error);
    }
    Q_INVOKABLE void emitSerialError(const QString& error) { emit m_serialPort->serialError(error); }

signals:
    void boardChanged();
    void txChanged();
    void processingDataChanged(QString msg = QString(), bool error = false);
    void connected();
    void disconnected();
    void customCmdCompleted();
    void userActionRequested();
    void modeChanged();

private:
    bool answer(const QString& call)
    {
        m_calls->record(call);
        return m_succeed;
    }

    CallLog* m_calls;
    MockSerialPort* m_serialPort;
    MockBoard* m_board = nullptr;
    MockLogger* m_logger;
    MockTxManager* m_tx;
    bool m_processing = false;
    int m_mode = BASIC;
    bool m_succeed = true;
};

// Registers the stand-ins under the QML names of the core, as start-up does.
inline void registerMockCore()
{
    qmlRegisterSingletonType<MockTavManager>("com.norvane.qml", 1, 0, "TavManager",
        [](QQmlEngine*, QJSEngine*) -> QObject* { return new MockTavManager(); });
    qmlRegisterUncreatableMetaObject(MockBoard::staticMetaObject, "TavBoard", 1, 0, "Module", "");
    qmlRegisterUncreatableMetaObject(MockPayload::staticMetaObject, "Payload", 1, 0, "Status", "");
    qmlRegisterUncreatableMetaObject(MockTxManager::staticMetaObject, "TxManager", 1, 0, "Profile", "");
    qmlRegisterUncreatableMetaObject(MockSensorModel::staticMetaObject, "Sensor", 1, 0, "Id", "");
}

inline void registerUiSingletons()
{
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Settings.qml"), "Settings", 1, 0, "Settings");
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Strings.qml"), "Strings", 1, 0, "Strings");
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Style.qml"), "Style", 1, 0, "Style");
}
