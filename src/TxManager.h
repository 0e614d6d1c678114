#pragma once

#include "LoRaConnectivity.h"
#include "ModulationModel.h"
#include "Payload.h"
#include "PayloadModel.h"
#include "PeriodicProfile.h"
#include "PrepassModel.h"
#include "PrepassProfile.h"
#include "TxClock.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringListModel>

#include <functional>

class Logger;

constexpr int TIME_S_TO_MS(quint8 s)
{
    return s * 1000;
}

constexpr int TIME_MIN_TO_MS(quint8 min)
{
    return TIME_S_TO_MS(min) * 60;
}

// Owns the payloads, the transmission profiles and the clock the user sees,
// and runs Tx sequences: decides when each payload is sent, has the module
// manager send it through `requestTx`, and advances on the module's Tx
// answers (handleTxResponse). Times are UTC plus a user-set offset.
class TxManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString utcTime READ utcTime NOTIFY utcTimeChanged)
    // Seconds the tool's clock is ahead of the workstation's (negative: behind).
    Q_PROPERTY(qint64 utcTimeOffset READ utcTimeOffset NOTIFY utcTimeChanged)
    Q_PROPERTY(
        Profile selectedProfile READ selectedProfile WRITE setSelectedProfile NOTIFY selectedProfileChanged)
    Q_PROPERTY(PeriodicProfile* periodicProfile READ periodicProfile CONSTANT)
    Q_PROPERTY(PrepassProfile* prepassProfile READ prepassProfile CONSTANT)
    Q_PROPERTY(bool loraEnabled READ loraEnabled WRITE setLoraEnabled NOTIFY loraEnabledChanged)
    Q_PROPERTY(LoRaConnectivity* loraConfig READ loraConfig CONSTANT)
    Q_PROPERTY(PrepassModel* prepassListModel READ prepassListModel CONSTANT)
    // Where the pass list came from: a file name, or the orbit data's date.
    Q_PROPERTY(QString prepassSource READ prepassSource NOTIFY prepassSourceChanged)
    // Stale or missing orbit data behind predicted passes, one line each.
    Q_PROPERTY(QStringList prepassWarnings READ prepassWarnings NOTIFY prepassSourceChanged)
    Q_PROPERTY(quint64 nextPassIdx READ nextPassIdx NOTIFY nextPassIdxChanged)
    Q_PROPERTY(PayloadModel* payloadListModel READ payloadListModel CONSTANT)
    Q_PROPERTY(quint8 currentSequenceRepeatCount READ currentSequenceRepeatCount NOTIFY
            currentSequenceRepeatCountChanged)
    Q_PROPERTY(bool ackPending READ ackPending WRITE setAckPending NOTIFY ackPendingChanged)
    Q_PROPERTY(bool sequenceRunning READ sequenceRunning NOTIFY sequenceRunningChanged)
    Q_PROPERTY(int timeUntilNextTx READ timeUntilNextTx NOTIFY timeUntilNextTxChanged)
    Q_PROPERTY(bool computingSatelliteNextPass READ computingSatelliteNextPass WRITE
            setComputingSatelliteNextPass NOTIFY computingSatelliteNextPassChanged)
    Q_PROPERTY(QStringListModel* modulationList READ modulationList CONSTANT)
    Q_PROPERTY(ModulationModel* modulationModel READ modulationModel CONSTANT)

public:
    enum Profile { PERIODIC, PREPASS, PREPASS_ON_MODULE };
    Q_ENUM(Profile)

    using RequestTxCallback = std::function<bool(QString, Payload::Options, bool)>;
    using NextPassCallback = std::function<void(Payload::Options)>;

    static constexpr const char* UI_DATE_FORMAT = "ddd MMM d, hh:mm:ss";
    // One Tx a minute while a pass lasts.
    static constexpr int PREPASS_TX_STEP_MS = TIME_S_TO_MS(60);
    static constexpr int PENDING_RESPONSE_WAIT_MS = 6000;
    static constexpr int PREPASS_ON_MODULE_SCHEDULE_DELAY_MS = 10;
    // Back-off before the next pass is asked for again, when the module gave
    // none (another request was waiting, or it did not answer).
    static constexpr int NEXT_PASS_RETRY_MS = TIME_S_TO_MS(5);
    // How long the result of the last Tx of a round is waited for before that
    // Tx counts as not sent (nothing else would move the sequence on).
    static constexpr int TX_RESULT_WAIT_MS = PENDING_RESPONSE_WAIT_MS;

    // `clock` is the workstation clock and QTimer when null; a given clock
    // must outlive the manager.
    TxManager(QObject* parent, Logger& logger, RequestTxCallback requestTx,
        NextPassCallback getSatelliteNextPass, TxClock* clock = nullptr);

    QString utcTime() const;
    QDateTime getUtcTime() const { return m_utcTime; }
    qint64 utcTimeOffset() const { return m_utcTimeOffset; }
    Profile selectedProfile() const { return m_selectedProfile; }
    PeriodicProfile* periodicProfile() const { return m_periodicProfile; }
    PrepassProfile* prepassProfile() const { return m_prepassProfile; }
    bool loraEnabled() const { return m_loraEnabled; }
    LoRaConnectivity* loraConfig() const { return m_loraConfig; }
    PrepassModel* prepassListModel() const { return m_prepassListModel; }
    QString csvFilePath() const { return m_csvFilePath; }
    QString prepassSource() const { return m_prepassSource; }
    QStringList prepassWarnings() const { return m_prepassWarnings; }
    quint64 nextPassIdx() const { return m_nextPassIdx; }
    quint64 activePassCount() const { return m_activePassCount; }
    PayloadModel* payloadListModel() const { return m_payloadListModel; }
    quint8 currentIndex() const { return m_currentIndex; }
    quint8 txCounter() const { return m_txCounter; }
    quint8 currentSequenceRepeatCount() const { return m_currentSequenceRepeatCount; }
    bool ackPending() const { return m_ackPending; }
    bool sequenceRunning() const { return m_sequenceRunning; }
    bool sequenceCompletedFlag() const { return m_sequenceCompleted; }
    int timeUntilNextTx() const { return m_timeUntilNextTx; }
    bool computingSatelliteNextPass() const { return m_computingSatelliteNextPass; }
    QStringListModel* modulationList() const { return m_modulationList; }
    ModulationModel* modulationModel() const { return m_modulationModel; }

    // Appends a payload; refused with txErrorOccured once 255 are listed.
    Q_INVOKABLE bool addPayloadItem(QString message);
    // Imports the pass list from a CSV file (a path or a file URL); a
    // malformed file leaves the current list as it is.
    Q_INVOKABLE bool importPrepassData(QString filePath);
    Q_INVOKABLE void clearPrepassData(bool eraseFilePath = true);
    // Fills the pass list from the orbit data in hand, over the beacon
    // position, for the prediction duration of the prepass configuration.
    Q_INVOKABLE bool predictPrepassData();
    // Writes the pass list as a CSV file that the import reads back unchanged.
    Q_INVOKABLE bool exportPrepassData(QString filePath);
    Q_INVOKABLE void setCustomUtcTime(QString isoDate);
    Q_INVOKABLE void start(quint8 repeatNum);
    Q_INVOKABLE void stop();
    // Sends the radio configuration file `fileName` of the configured
    // directory (one of modulationList) to the module.
    Q_INVOKABLE bool changeModulationRadioConfiguration(QString fileName);
    // Sends a radio configuration file chosen anywhere (a path or a file URL).
    Q_INVOKABLE bool importRadioConfFile(QString filePath);
    // Lists the radio configuration files of the configured directory again.
    Q_INVOKABLE void refreshRadioConfList();

    void handleTxResponse(QString data);
    void setUtcTimeOffset(qint64 offsetSeconds, bool reloadPrepass);
    void initPrepassData();
    void clearLoraData();
    void saveSettings();
    void restoreSettings();

public slots:
    void setSelectedProfile(int profile);
    void setLoraEnabled(bool enabled);
    void setAckPending(bool pending);
    void setComputingSatelliteNextPass(bool computing);
    void onPeriodicRedundancyChanged();
    void onUtcTimeRefreshOver();
    void onScheduleOver();
    void onCountdownRefreshOver();
    void schedulePrepassOnModuleTx();

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
    void setRadioConfRequest(QByteArray radioConf);
    void profileSwitchFailed();
    void loadPrepassDataCompleted(QString error = QString());
    void prepassSourceChanged();
    // A Tx of the running sequence ended: sent, or not (UTC ms since 1970).
    void txResult(qint64 utcMs, bool sent);
    void txErrorOccured(QString error);
    void currentIndexUpdated(quint8 index);
    void sequenceCompleted();
    void sequenceStopped();

private:
    void log(const QString& text);
    void setSequenceRunning(bool running);
    void setTimeUntilNextTx(int seconds);
    void setCurrentSequenceRepeatCount(quint8 count);
    void setNextPassIdx(quint64 index);
    qint64 msecsTo(const QDateTime& date) const;
    void startScheduleTimer(qint64 msec);

    void scheduleNextTx();
    void schedulePeriodicTx();
    void schedulePrepassTx();
    void prepareTxRequest();
    void triggerTxRequest();
    void flushTxData();
    void completeTx(const QString& data);
    void onTxResultOverdue();
    void requestNextPass();
    bool isFirstTx() const;
    bool isLastTx() const;
    void resetTxSequence();
    bool checkStatusPayload(quint8 index);
    void applyPrepassRedundancy();
    void logAvailableSatellites();
    bool sendRadioConf(const QString& path);
    void setPrepassSource(const QString& source, const QStringList& warnings = {});

    Logger& m_logger;
    RequestTxCallback m_requestTx;
    NextPassCallback m_getSatelliteNextPass;
    TxClock* m_clock;
    QDateTime m_utcTime;
    qint64 m_utcTimeOffset = 0;
    TxTimer* m_utcRefreshTimer;
    Profile m_selectedProfile = PERIODIC;
    PeriodicProfile* m_periodicProfile;
    PrepassProfile* m_prepassProfile;
    bool m_loraEnabled = false;
    LoRaConnectivity* m_loraConfig;
    PrepassModel* m_prepassListModel;
    QString m_csvFilePath;
    QString m_prepassSource;
    QStringList m_prepassWarnings;
    ModulationModel* m_modulationModel;
    quint64 m_nextPassIdx = 0;
    quint64 m_activePassCount = 0;
    PayloadModel* m_payloadListModel;
    quint8 m_currentIndex = 0;
    quint8 m_txCounter = 0;
    quint8 m_repeatTarget = 0;
    quint8 m_currentSequenceRepeatCount = 0;
    bool m_ackPending = false;
    bool m_sequenceRunning = false;
    // The profile last refused while the sequence runs, -1 for none.
    int m_refusedProfile = -1;
    bool m_sequenceCompleted = false;
    bool m_computingSatelliteNextPass = false;
    // The module gave no next pass: said once, asked again on the schedule timer.
    bool m_nextPassRetrying = false;
    bool m_nextPassRetryDue = false;
    TxTimer* m_scheduleTimer;
    TxTimer* m_countdownTimer;
    TxTimer* m_resultTimer;
    int m_timeUntilNextTx = 0;
    QStringListModel* m_modulationList;
};
