#pragma once

#include "TxRecord.h"
#include "TxTypes.h"
#include "log/Logger.h"

#include <QObject>
#include <QString>

#include <functional>

class ModulationModel;
class PassSchedule;
class PayloadModel;
class PeriodicProfile;
class PrepassModel;
class TxLink;
class TxRecordModel;
class TxTimer;
class UtcClock;

// Runs a Tx sequence: decides when each payload is sent in the selected
// profile (periodic, in the imported or predicted passes, or in the passes
// the module computes), sends it through the link, and advances on the
// module's Tx answers or on their absence. Its timers come from the clock,
// so that it runs on virtual time in tests.
class TxSequenceEngine : public QObject {
    Q_OBJECT

public:
    struct Models {
        PayloadModel* payloads;
        PeriodicProfile* periodic;
        // The module's next pass, for the prepass-on-module profile.
        PrepassModel* modulePass;
        ModulationModel* modulation;
    };

    TxSequenceEngine(
        TxLink& link, Logger& logger, UtcClock& utc, PassSchedule& passes, const Models& models, QObject* parent);

    void setProfile(TxTypes::Profile profile) { m_profile = profile; }
    quint8 currentIndex() const { return m_currentIndex; }
    quint8 txCounter() const { return m_txCounter; }
    quint8 repeatCount() const { return m_repeatCount; }
    bool ackPending() const { return m_ackPending; }
    void setAckPending(bool pending);
    bool running() const { return m_running; }
    bool completed() const { return m_completed; }
    int timeUntilNextTx() const { return m_timeUntilNextTx; }

    // One record per transmission, added as it ends.
    TxRecordModel* records() const { return m_records; }
    // The satellites in view at a time (UTC ms), for the records; none when
    // unset.
    using InViewSource = std::function<QList<SatelliteInView>(qint64 utcMs)>;
    void setInViewSource(InViewSource source) { m_inView = std::move(source); }

    void start(quint8 repeatNum);
    void stop();
    // The module's answer to a Tx: the message sent, or anything else.
    void handleTxResponse(const QString& data);
    // The module answered the Tx with a non-zero status: it was not sent.
    // `code` and `text` go into its record.
    void handleTxFailure(quint16 code = 0, const QString& text = QString());
    // Transmissions of the sequence so far, and how many of them failed.
    int txTotal() const { return m_txTotal; }
    int txFailed() const { return m_txFailed; }
    // "2 of 4 transmissions failed"
    static QString failureText(int failed, int total);
    void onScheduleOver();
    void schedulePrepassOnModuleTx();
    void refreshCountdown();
    // The redundancy each payload is sent with: the periodic profile's, or
    // 4 (10 when important) in the prepass profiles.
    void applyPeriodicRedundancy();
    void applyPrepassRedundancy();

signals:
    void ackPendingChanged();
    void sequenceRunningChanged();
    void timeUntilNextTxChanged();
    void currentSequenceRepeatCountChanged();
    void txResult(qint64 utcMs, bool sent);
    void txErrorOccured(QString error);
    void currentIndexUpdated(quint8 index);
    // The last round is over; complete only when no transmission failed.
    void sequenceEnded(int failed, int total);
    void sequenceCompleted();
    void sequenceStopped();

private:
    enum class TxOutcome { SENT, FAILED, NO_ANSWER };

    void log(const QString& text, Logger::Event event = Logger::NO_EVENT);
    void setRunning(bool running);
    void setTimeUntilNextTx(int seconds);
    void setRepeatCount(quint8 count);
    void startScheduleTimer(qint64 msec);

    void scheduleNextTx();
    void schedulePeriodicTx();
    void schedulePrepassTx();
    void onModulePassEvent();
    void prepareTxRequest();
    void triggerTxRequest();
    void flushTxData();
    qint64 nowMs() const;
    void beginRecord();
    void recordTx(TxOutcome outcome, quint16 errorCode, const QString& errorText);
    void completeTx(TxOutcome outcome, quint16 errorCode = 0, const QString& errorText = QString());
    bool finishPayload();
    void countRound();
    void onTxResultOverdue();
    void requestNextPass();
    bool isFirstTx() const;
    bool isLastTx() const;
    void resetTxSequence();
    bool checkStatusPayload(quint8 index);

    TxLink& m_link;
    Logger& m_logger;
    UtcClock& m_utc;
    PassSchedule& m_passes;
    Models m_models;
    TxTypes::Profile m_profile = TxTypes::PERIODIC;
    quint8 m_currentIndex = 0;
    quint8 m_txCounter = 0;
    quint8 m_repeatTarget = 0;
    quint8 m_repeatCount = 0;
    bool m_ackPending = false;
    bool m_running = false;
    bool m_completed = false;
    // The module gave no next pass: said once, asked again on the schedule timer.
    bool m_nextPassRetrying = false;
    bool m_nextPassRetryDue = false;
    // The module refused the payload it held for the pass: it goes again in
    // the next one.
    bool m_resendInNextPass = false;
    // A Tx fell due while the previous one's result was still awaited.
    bool m_txDue = false;
    int m_roundTotal = 0;
    int m_roundFailed = 0;
    int m_txTotal = 0;
    int m_txFailed = 0;
    TxRecordModel* m_records;
    InViewSource m_inView;
    // The record of the Tx requested, completed by its outcome.
    TxRecord m_record;
    TxTimer* m_scheduleTimer;
    TxTimer* m_countdownTimer;
    TxTimer* m_resultTimer;
    int m_timeUntilNextTx = 0;
};
