#pragma once

#include "BusyState.h"
#include "ModuleConstants.h"
#include "ModuleDetector.h"
#include "OperationTracker.h"
#include "board/TavBoard.h"
#include "log/Logger.h"
#include "protocol/AtCmdHandler.h"
#include "protocol/RequestResult.h"
#include "serial/SerialPortManager.h"
#include "tx/Payload.h"
#include "tx/PrepassTypes.h"
#include "tx/TxManager.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

class ConfigurationService;
class ModuleConnection;
class RequestEngine;
class ResponseDispatch;
class TxSequenceOutcome;

// The one object the user interface talks to. Owns the serial link, the log,
// the codec and board of the connected module, and the transmission manager;
// sends one AT request at a time and applies every answer to the models.
class TavManager : public QObject, private TxLink {
    Q_OBJECT
    Q_PROPERTY(SerialPortManager* serialPort READ serialPort CONSTANT)
    Q_PROPERTY(TavBoard* board READ board NOTIFY boardChanged)
    Q_PROPERTY(Logger* logger READ logger CONSTANT)
    Q_PROPERTY(TxManager* tx READ tx NOTIFY txChanged)
    Q_PROPERTY(bool processingData READ processingData NOTIFY processingDataChanged)
    // True while a request or an operation of several runs; busyText says
    // what it is ("Reading the configuration…").
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(QString busyText READ busyText NOTIFY busyTextChanged)
    Q_PROPERTY(bool reconnect READ reconnect WRITE setReconnect NOTIFY reconnectChanged)
    // "<module> lost on <port>, waiting for it to come back…" while a vanished
    // device is waited for; empty otherwise.
    Q_PROPERTY(QString lostDevice READ lostDevice NOTIFY lostDeviceChanged)
    // Successful connections so far: a dialog about one connection leaves a
    // newer one alone.
    Q_PROPERTY(int connectionCount READ connectionCount NOTIFY connected)
    // The file last loaded into the views while they are not yet uploaded:
    // set by an import, cleared by an upload the module took or by a read of
    // the whole configuration (and with the board); empty otherwise.
    Q_PROPERTY(QString notUploadedFile READ notUploadedFile NOTIFY notUploadedFileChanged)
    // While a sleeping kit's button is waited for: seconds waited, and what
    // may be wrong once the wait has lasted a minute ("" before).
    Q_PROPERTY(int wakeWaitSeconds READ wakeWaitSeconds NOTIFY wakeWaitChanged)
    Q_PROPERTY(QString wakeWaitHint READ wakeWaitHint NOTIFY wakeWaitChanged)

public:
    enum Mode { BASIC = 0, EXPERT = 1 };
    Q_ENUM(Mode)

    // The command table's timeouts.
    static constexpr quint16 TAV_REQUEST_TIMEOUT_MS = CommandTable::SHORT_TIMEOUT_MS;
    static constexpr quint16 TAV_REQUEST_MEDIUM_TIMEOUT_MS = CommandTable::MEDIUM_TIMEOUT_MS;
    static constexpr quint16 TAV_REQUEST_LARGE_TIMEOUT_MS = CommandTable::LARGE_TIMEOUT_MS;
    static const QString TAV_UI_DATE_FORMAT;
    static const QString TAV_ISO_DATE_FORMAT;
    static const QString TAV_NOT_AVAILABLE_STR;
    static const QString TAV_BOARD_MARK_RESET_DONE;
    static const QString TAV_BOARD_MARK_ASLEEP;
    static const QString TAV_BOARD_MARK_AWAKE;
    static const QString TAV_BOARD_MARK_TREKON;

    static constexpr double TAV_PREPASS_CFG_DEFAULT_MAX_ELEVATION
        = PrepassConfig::TAV_PREPASS_CFG_DEFAULT_MAX_ELEVATION;
    static constexpr quint16 TAV_PREPASS_CFG_DEFAULT_MAX_PASSES
        = PrepassConfig::TAV_PREPASS_CFG_DEFAULT_MAX_PASSES;
    static constexpr double TAV_PREPASS_CFG_DEFAULT_TIME_MARGIN
        = PrepassConfig::TAV_PREPASS_CFG_DEFAULT_TIME_MARGIN;
    static constexpr quint8 TAV_PREPASS_CFG_DEFAULT_COMPUTATION_STEP
        = PrepassConfig::TAV_PREPASS_CFG_DEFAULT_COMPUTATION_STEP;

    explicit TavManager(QObject* parent = nullptr);
    ~TavManager() override;

    SerialPortManager* serialPort() const { return m_serialPort; }
    TavBoard* board() const;
    Logger* logger() const { return m_logger; }
    TxManager* tx() const { return m_tx; }
    bool processingData() const { return m_processingData; }
    Mode mode() const { return m_mode; }

    // Stretches every request timeout, for slow links and scripted runs.
    void setTimeoutScale(double scale);
    double timeoutScale() const;

    // Off by default. When on, a device that vanishes after a successful
    // connection is waited for and connected again once its port is back; a
    // running Tx sequence goes on meanwhile (its requests fail and are logged).
    void setReconnect(bool enabled);
    bool reconnect() const;
    bool busy() const { return m_busy->busy(); }
    QString busyText() const { return m_busy->text(); }
    QString lostDevice() const;
    int connectionCount() const;
    static constexpr int RECONNECT_POLL_MS = ModuleConstants::RECONNECT_POLL_MS;
    int wakeWaitSeconds() const;
    QString wakeWaitHint() const;
    // How long the button is waited for before the hint shows (60 s).
    void setWakeHintAfterMs(int ms);
    // Why the last connection failed its identity check; empty when it passed.
    QString identityMismatch() const { return m_identityMismatch; }

    // Connection (connection page).
    Q_INVOKABLE void setMode(TavManager::Mode mode);
    Q_INVOKABLE void connect(TavBoard::Module module, QString portName, QString baudrate);
    Q_INVOKABLE void disconnect();
    Q_INVOKABLE void saveSettings();
    Q_INVOKABLE void requestCustomCmd(QString cmd);
    Q_INVOKABLE void cancelModuleRequest();
    // The window is closing: the wait for the wake-up button or for an answer
    // ends at once and no further request is sent.
    Q_INVOKABLE void closeDown();
    // Which variant is on `port`, with reads only, when nothing is connected:
    // "text" (one line), "modules" (the variants found), "baudrate" (the
    // choice to connect with), "found".
    Q_INVOKABLE QVariantMap detect(QString port, QString baudrate);
    ModuleDetector::Result detectModule(const QString& port, const QString& baudrate);
    // The wake-up dialog's Detect: ends the wait, then detects on its port
    // and reports with `detected`.
    Q_INVOKABLE void detectInsteadOfWaiting();

    // Single gets and sets of the module's configuration.
    Q_INVOKABLE void getId();
    Q_INVOKABLE void getAddr();
    Q_INVOKABLE void getSerialNumber();
    Q_INVOKABLE void getFirmwareVersion();
    Q_INVOKABLE void getModuleUtcDate();
    Q_INVOKABLE bool setModuleUtcDate(QString isoDate);
    Q_INVOKABLE void getPrepassEnable();
    Q_INVOKABLE bool setPrepassEnable(bool enable);
    Q_INVOKABLE void getPrepassConfig();
    Q_INVOKABLE bool setPrepassConfig(quint8 predictionDuration, double minElevation, quint8 minPassDuration);
    Q_INVOKABLE bool setPrepassConfig(
        quint8 predictionDuration, double minElevation, quint8 minPassDuration, double maxElevation);
    Q_INVOKABLE bool setPrepassConfig(quint8 predictionDuration, double minElevation, quint8 minPassDuration,
        double maxElevation, quint16 maxPasses);
    Q_INVOKABLE bool setPrepassConfig(quint8 predictionDuration, double minElevation, quint8 minPassDuration,
        double maxElevation, quint16 maxPasses, double timeMargin);
    Q_INVOKABLE bool setPrepassConfig(quint8 predictionDuration, double minElevation, quint8 minPassDuration,
        double maxElevation, quint16 maxPasses, double timeMargin, quint8 computationStep);
    Q_INVOKABLE void getGnssPosition();
    Q_INVOKABLE bool setGnssPosition(double latitude, double longitude);
    Q_INVOKABLE void getAopData();
    Q_INVOKABLE void getTxFrequency();
    Q_INVOKABLE void getTxPower();
    Q_INVOKABLE void setTxPower(ushort power);
    Q_INVOKABLE void getTxRedundancy();
    Q_INVOKABLE bool setTxRedundancy(quint8 redundancy);
    Q_INVOKABLE void getRadioConfig();
    Q_INVOKABLE bool resetModule();
    Q_INVOKABLE bool setLoRaEnable();

    // Composite reads and writes.
    Q_INVOKABLE void getHwInfo();
    Q_INVOKABLE void getLoRaConfig();
    Q_INVOKABLE bool setLoRaInfo();
    Q_INVOKABLE void getSensorsConfig();
    Q_INVOKABLE bool setSensorsConfig();
    Q_INVOKABLE void getConfig();
    Q_INVOKABLE void uploadConfig(bool enableLog = true);

    // Configuration files.
    Q_INVOKABLE void exportConfig(QString filePath);
    Q_INVOKABLE void importConfig(QString filePath);
    // The settings the views hold, as the lines of a configuration file
    // (without the date, the orbit data and the reset).
    QStringList viewConfigLines() const;
    QString notUploadedFile() const { return m_notUploadedFile; }

    // Orbit data, next pass and transmissions.
    Q_INVOKABLE bool setAopDataAndConstellationStatus();
    Q_INVOKABLE void getSatelliteNextPass();
    void getSatelliteNextPass(Payload::Options options) override;
    // The orbit-data operations of the satellite view; each ends with
    // orbitDataOutcome.
    Q_INVOKABLE bool downloadAopData();
    Q_INVOKABLE bool readAopData();
    Q_INVOKABLE bool uploadAopData();
    bool requestTx(QString data, Payload::Options options, bool flush) override;

    // How the last request ended; requestFinished reports each one.
    RequestResult lastRequestResult() const;
    // The lines that answered the last request.
    QStringList lastRequestAnswer() const;
    // How the last operation of several steps ended; operationFinished
    // reports each one under the name of the call that ran it ("getConfig",
    // "uploadConfig", "importConfig", "exportConfig",
    // "setAopDataAndConstellationStatus", "downloadAopData",
    // "getSatelliteNextPass", "importPrepassData"), and a Tx sequence as "txSequence". An upload
    // to a kit that confirms its parameters ends with the confirmation.
    OperationResult lastOperationResult() const { return m_operations->last(); }
    // Starts the Tx sequence; false, with its outcome reported, when it
    // cannot start.
    bool startTxSequence(quint8 repeat);
    // Imports a pass list for the prepass profile, as "importPrepassData".
    bool importPrepassData(const QString& filePath);

    // Request engine.
    bool wakeUpBoard();
    bool sendRequestSync(const QByteArray& request, quint16 timeoutMs);
    bool sendBuiltinAtCmd(AtCmdHandler::CmdId id, const QStringList& args, quint16 timeoutMs);
    // With the command table's timeout for `id`.
    bool sendBuiltinAtCmd(AtCmdHandler::CmdId id, const QStringList& args = {})
    {
        return sendBuiltinAtCmd(id, args, CommandTable::timeoutOf(id));
    }
    bool sendCustomAtCmd(const QString& cmd);
    bool requestPing();
    void initGUI(TavBoard::Module module);

public slots:
    void setProcessingData(bool uploading, QString msg = QString(), bool error = false);
    void onSerialRead(QString data);
    void onRequestTimeout();
    void setRadioConf(QByteArray radioConf);

signals:
    void boardChanged();
    void txChanged();
    void processingDataChanged(QString msg = QString(), bool error = false);
    void connected();
    void disconnected();
    void customCmdCompleted();
    void userActionRequested();
    void reconnectChanged();
    // A serial error the user must acknowledge: not sent while a vanished
    // device is waited for.
    void linkError(QString message);
    void busyChanged();
    void busyTextChanged();
    // "8 satellites downloaded (bulletin of 2021-03-06 13:27:00 UTC)", or what went wrong.
    void orbitDataOutcome(QString text, bool error);
    void lostDeviceChanged();
    void notUploadedFileChanged();
    void requestFinished(const RequestResult& result);
    void operationFinished(const QString& operation, const OperationResult& result);
    void wakeWaitChanged();
    // The connection was refused by its identity check (the link is closed).
    void identityMismatchFound(QString message, QVariantList modules, QString baudrate);
    void detected(QVariantMap result);

private slots:
    void onSerialError(const QString& error);
    void onKitRestored();

private:
    // Logs a failure that is no request's and keeps it as the cause of the
    // operations under way.
    void logFailure(const QString& text);
    bool sendSet(AtCmdHandler::CmdId id, const QStringList& args, quint16 timeoutMs, const QString& failure);
    // A get with the command table's timeout that logs `failure` when it fails.
    void sendGet(AtCmdHandler::CmdId id, const QString& failure);
    // A get that shows `unanswered` when the module does not answer it.
    void sendGetOr(AtCmdHandler::CmdId id, void (*unanswered)(TavBoard& board));
    QString boardName() const;
    void setNotUploadedFile(const QString& fileName);
    // Applies the lines of a configuration file to the views through the
    // dispatch; the cause of the first refused line (named in `entry`), or
    // empty. `applied` tells whether any line took.
    QString applyConfigLines(const QStringList& lines, AtCmdHandler& codec, bool* applied, QString* entry);

    SerialPortManager* m_serialPort;
    Logger* m_logger;
    TxManager* m_tx;
    ResponseDispatch* m_dispatch;
    BusyState* m_busy;
    OperationTracker* m_operations;
    RequestEngine* m_requests;
    ModuleConnection* m_connection;
    ConfigurationService* m_config;
    bool m_processingData;
    Mode m_mode;

    TxSequenceOutcome* m_txOutcome;
    bool m_uploadAwaitsKit = false;
    QString m_notUploadedFile;
    QString m_identityMismatch;
    bool m_detectAfterWait = false;
    bool m_connecting = false;
};
