#pragma once

#include "LoRaConnectivity.h"
#include "ModulationModel.h"
#include "Payload.h"
#include "PayloadModel.h"
#include "PeriodicProfile.h"
#include "PrepassProfile.h"
#include "TxClock.h"
#include "TxLink.h"
#include "TxRecordModel.h"
#include "TxTypes.h"
#include "orbit/PassPredictor.h"
#include "orbit/PrepassModel.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringListModel>

class Logger;
class PassSchedule;
class PredictionTask;
class TxSequenceEngine;
class UtcClock;

// What the window sees of transmission: the payloads, the transmission
// profiles, the pass list and the clock the user sees. The sequence engine
// runs Tx sequences through the module link and advances on the module's Tx
// answers (handleTxResponse); the pass schedule holds the passes; the
// settings store keeps the rest between runs. Times are UTC plus a user-set
// offset.
class TxManager : public QObject, public TxTypes {
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
    // True while the planner's prediction runs on its worker thread.
    Q_PROPERTY(bool predicting READ predicting NOTIFY predictingChanged)
    Q_PROPERTY(QStringListModel* modulationList READ modulationList CONSTANT)
    Q_PROPERTY(ModulationModel* modulationModel READ modulationModel CONSTANT)
    // One record per transmission of the sequence, newest first.
    Q_PROPERTY(TxRecordModel* txRecords READ txRecords CONSTANT)
    // The records as the Transmissions view filters them.
    Q_PROPERTY(TxRecordFilter* txRecordFilter READ txRecordFilter CONSTANT)

public:
    // The profiles (Profile, PERIODIC...) and the sequence's times are TxTypes'.

    // `clock` is the workstation clock and QTimer when null; a given clock,
    // and the link, must outlive the manager.
    TxManager(QObject* parent, Logger& logger, TxLink& link, TxClock* clock = nullptr);

    QString utcTime() const;
    QDateTime getUtcTime() const;
    qint64 utcTimeOffset() const;
    Profile selectedProfile() const { return m_selectedProfile; }
    PeriodicProfile* periodicProfile() const { return m_periodicProfile; }
    PrepassProfile* prepassProfile() const { return m_prepassProfile; }
    bool loraEnabled() const { return m_loraEnabled; }
    LoRaConnectivity* loraConfig() const { return m_loraConfig; }
    PrepassModel* prepassListModel() const { return m_prepassListModel; }
    QString csvFilePath() const;
    QString prepassSource() const;
    QStringList prepassWarnings() const;
    quint64 nextPassIdx() const;
    quint64 activePassCount() const;
    PayloadModel* payloadListModel() const { return m_payloadListModel; }
    quint8 currentIndex() const;
    quint8 txCounter() const;
    quint8 currentSequenceRepeatCount() const;
    bool ackPending() const;
    bool sequenceRunning() const;
    bool sequenceCompletedFlag() const;
    int timeUntilNextTx() const;
    bool computingSatelliteNextPass() const { return m_computingSatelliteNextPass; }
    bool predicting() const;
    QStringListModel* modulationList() const { return m_modulationList; }
    ModulationModel* modulationModel() const { return m_modulationModel; }
    TxRecordModel* txRecords() const;
    TxRecordFilter* txRecordFilter() const { return m_recordFilter; }

    // Appends a payload; refused with txErrorOccured once 255 are listed.
    Q_INVOKABLE bool addPayloadItem(QString message);
    // Imports the pass list from a CSV file (a path or a file URL); a
    // malformed file leaves the current list as it is.
    Q_INVOKABLE bool importPrepassData(QString filePath);
    Q_INVOKABLE void clearPrepassData(bool eraseFilePath = true);
    // Fills the pass list from the orbit data in hand, over the beacon
    // position, for the prediction duration of the prepass configuration.
    Q_INVOKABLE bool predictPrepassData();
    // The planner's "Predict passes": downloads the orbit data when there are
    // none, then predicts on a worker thread; the list and
    // loadPrepassDataCompleted follow when it ends. False, said at once as
    // predictPrepassData says it, when there still are no orbit data. A call
    // while one runs predicts once more after it; an import or a clear of the
    // list meanwhile wins over the prediction under way.
    Q_INVOKABLE bool predictPasses();
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
    // The module answered the pending Tx with a non-zero status: its code
    // and text go into the Tx's record.
    void handleTxFailure(quint16 code = 0, const QString& text = QString());
    // "2 of 4 transmissions failed"; empty when none failed.
    Q_INVOKABLE QString failureText(int failed, int total) const;
    // Transmissions of the running (or last) sequence, and how many failed.
    int txTotal() const;
    int txFailed() const;
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
    void predictingChanged();
    void setRadioConfRequest(QByteArray radioConf);
    void profileSwitchFailed();
    void loadPrepassDataCompleted(QString error = QString());
    void prepassSourceChanged();
    // A Tx of the running sequence ended: sent, or not (UTC ms since 1970).
    void txResult(qint64 utcMs, bool sent);
    void txErrorOccured(QString error);
    void currentIndexUpdated(quint8 index);
    // The last round is over: `failed` of `total` transmissions failed.
    // sequenceCompleted follows only when none did.
    void sequenceEnded(int failed, int total);
    void sequenceCompleted();
    void sequenceStopped();

private:
    void log(const QString& text);
    void followPredictionInputs();
    void forwardEngineSignals();
    bool sendRadioConf(const QString& path);
    PassQuery passQuery() const;
    QList<SatelliteInView> satellitesInView(qint64 utcMs) const;
    // The orbit data as they would be uploaded, to tell new data from old.
    QStringList orbitFingerprint() const;
    void startPrediction();
    void onPredictionFinished(const PassPrediction& prediction);
    bool showPrediction(
        const PassPrediction& prediction, const QList<OrbitRecord>& records, const QStringList& orbit);

    Logger& m_logger;
    TxClock* m_clock;
    UtcClock* m_utc;
    Profile m_selectedProfile = PERIODIC;
    PeriodicProfile* m_periodicProfile;
    PrepassProfile* m_prepassProfile;
    bool m_loraEnabled = false;
    LoRaConnectivity* m_loraConfig;
    PrepassModel* m_prepassListModel;
    PassSchedule* m_passes;
    ModulationModel* m_modulationModel;
    PayloadModel* m_payloadListModel;
    TxSequenceEngine* m_engine;
    // The profile last refused while the sequence runs, -1 for none.
    int m_refusedProfile = -1;
    bool m_computingSatelliteNextPass = false;
    PredictionTask* m_prediction;
    // Counts the changes of the pass list by import, clear or prediction; a
    // background prediction started before one is dropped.
    quint64 m_passListRevision = 0;
    quint64 m_predictionRevision = 0;
    // The orbit data the prediction under way was started from.
    QList<OrbitRecord> m_predictionRecords;
    QStringList m_predictingOrbit;
    bool m_predictAgain = false;
    // What the shown predicted passes were computed from.
    QStringList m_predictedOrbit;
    bool m_orbitCheckQueued = false;
    QStringListModel* m_modulationList;
    TxRecordFilter* m_recordFilter;
};
