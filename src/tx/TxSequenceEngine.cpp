#include "TxSequenceEngine.h"

#include "ModulationModel.h"
#include "PassSchedule.h"
#include "PayloadModel.h"
#include "PeriodicProfile.h"
#include "TxClock.h"
#include "TxLink.h"
#include "TxRecordModel.h"
#include "UtcClock.h"
#include "log/Logger.h"
#include "orbit/PrepassModel.h"

#include <limits>

TxSequenceEngine::TxSequenceEngine(
    TxLink& link, Logger& logger, UtcClock& utc, PassSchedule& passes, const Models& models, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_logger(logger)
    , m_utc(utc)
    , m_passes(passes)
    , m_models(models)
    , m_records(new TxRecordModel(this))
    , m_scheduleTimer(utc.clock().createTimer(this))
    , m_countdownTimer(utc.clock().createTimer(this))
    , m_resultTimer(utc.clock().createTimer(this))
{
    connect(m_scheduleTimer, &TxTimer::timeout, this, &TxSequenceEngine::onScheduleOver);
    connect(m_countdownTimer, &TxTimer::timeout, this, &TxSequenceEngine::refreshCountdown);
    connect(m_resultTimer, &TxTimer::timeout, this, &TxSequenceEngine::onTxResultOverdue);
    m_resultTimer->setSingleShot(true);
    m_scheduleTimer->setSingleShot(true);
}

void TxSequenceEngine::log(const QString& text, Logger::Event event)
{
    m_logger.log(Logger::APP, text, event);
}

void TxSequenceEngine::startScheduleTimer(qint64 msec)
{
    m_scheduleTimer->start(
        static_cast<int>(qBound<qint64>(0, msec, qint64(std::numeric_limits<int>::max()))));
}

// --- state ---------------------------------------------------------------------

void TxSequenceEngine::setAckPending(bool pending)
{
    if (m_ackPending == pending)
        return;
    m_ackPending = pending;
    emit ackPendingChanged();
}

void TxSequenceEngine::setRunning(bool running)
{
    if (m_running == running)
        return;
    m_running = running;
    emit sequenceRunningChanged();
}

void TxSequenceEngine::setTimeUntilNextTx(int seconds)
{
    m_timeUntilNextTx = seconds;
    emit timeUntilNextTxChanged();
}

void TxSequenceEngine::setRepeatCount(quint8 count)
{
    m_repeatCount = count;
    emit currentSequenceRepeatCountChanged();
}

void TxSequenceEngine::refreshCountdown()
{
    setTimeUntilNextTx(m_scheduleTimer->remainingTime() / 1000 + 1);
}

void TxSequenceEngine::applyPeriodicRedundancy()
{
    PayloadModel* payloads = m_models.payloads;
    for (int i = 0; i < payloads->rowCount(); ++i)
        payloads->setRedundancy(static_cast<quint8>(i), m_models.periodic->redundancy());
}

void TxSequenceEngine::applyPrepassRedundancy()
{
    PayloadModel* payloads = m_models.payloads;
    for (int i = 0; i < payloads->rowCount(); ++i) {
        const auto index = static_cast<quint8>(i);
        payloads->setRedundancy(index,
            payloads->getOptions(index).important ? Payload::TAV_PAYLOAD_IMPORTANT_REDUNDANCY
                                                  : Payload::TAV_PAYLOAD_DEFAULT_REDUNDANCY);
    }
}

// --- start and stop ------------------------------------------------------------

void TxSequenceEngine::start(quint8 repeatNum)
{
    if (m_running)
        return;
    if (m_profile == TxTypes::PREPASS && m_passes.count() == 0) {
        emit txErrorOccured(QStringLiteral(
            "Error: No prepass data imported.\nPlease import data as a CSV file retrieved from ArgosWeb."));
        return;
    }
    // With no payload the engine would walk indices that do not exist.
    if (m_models.payloads->rowCount() == 0) {
        emit txErrorOccured(
            QStringLiteral("Error: No payload to transmit.\nPlease add at least one payload."));
        return;
    }
    setRunning(true);
    m_repeatTarget = repeatNum;
    m_roundTotal = m_roundFailed = m_txTotal = m_txFailed = 0;
    m_resendInNextPass = false;
    m_models.payloads->clearResults();
    // A sequence is a campaign of its own.
    m_records->clear();
    log(QStringLiteral("--- Tx SEQUENCE START (x") + QString::number(repeatNum) + QStringLiteral(") ---"),
        Logger::TX_SEQUENCE);
    // A payload the module cannot carry stops the sequence before anything is
    // sent, wherever it stands in the list.
    for (int i = 0; i < m_models.payloads->rowCount(); ++i) {
        if (!checkStatusPayload(static_cast<quint8>(i)))
            return;
    }
    if (m_profile == TxTypes::PREPASS_ON_MODULE) {
        m_passes.setActiveCount(0);
        flushTxData();
        setAckPending(true);
        m_link.getSatelliteNextPass(m_models.payloads->getOptions(m_currentIndex));
    }
    scheduleNextTx();
    m_countdownTimer->start(1000);
}

void TxSequenceEngine::stop()
{
    if (!m_running)
        return;
    m_countdownTimer->stop();
    m_scheduleTimer->stop();
    m_resultTimer->stop();
    m_nextPassRetrying = false;
    m_nextPassRetryDue = false;
    m_resendInNextPass = false;
    m_txDue = false;
    setTimeUntilNextTx(0);
    setRepeatCount(0);
    m_completed = false;
    resetTxSequence();
    setRunning(false);
    if (m_profile == TxTypes::PERIODIC)
        applyPeriodicRedundancy();
    flushTxData();
    log(QStringLiteral("--- Tx SEQUENCE STOP/RESET ---"), Logger::TX_SEQUENCE);
}

// --- scheduling ----------------------------------------------------------------

void TxSequenceEngine::scheduleNextTx()
{
    switch (m_profile) {
    case TxTypes::PERIODIC: schedulePeriodicTx(); break;
    case TxTypes::PREPASS: schedulePrepassTx(); break;
    case TxTypes::PREPASS_ON_MODULE:
        m_utc.clock().singleShot(TxTypes::PREPASS_ON_MODULE_SCHEDULE_DELAY_MS, this, [this]() {
            if (m_running)
                schedulePrepassOnModuleTx();
        });
        break;
    }
}

void TxSequenceEngine::schedulePeriodicTx()
{
    if (isFirstTx()) {
        onScheduleOver();
        return;
    }
    // The payload's burst is done: wait for the period, else for the delay.
    if (m_txCounter == m_models.payloads->getRedundancy(m_currentIndex))
        startScheduleTimer(TIME_MIN_TO_MS(m_models.periodic->period()));
    else
        startScheduleTimer(TIME_S_TO_MS(m_models.periodic->delay()));
    refreshCountdown();
}

void TxSequenceEngine::schedulePrepassTx()
{
    constexpr int step = TxTypes::PREPASS_TX_STEP_MS;
    const auto passCount = static_cast<quint64>(m_passes.count());
    const Prepass* upcoming = m_passes.next();
    const qint64 ms = upcoming ? m_utc.msecsTo(upcoming->start()) : step;
    if (ms > std::numeric_limits<int>::max()) {
        stop();
        emit txErrorOccured(QStringLiteral("Error: Next satellite pass date is too far from today!"));
        return;
    }
    if (isFirstTx()) {
        if (!checkStatusPayload(m_currentIndex))
            return;
        if (m_passes.activeCount() != 0) {
            onScheduleOver();
            return;
        }
        m_models.payloads->setStatus(m_currentIndex, Payload::PENDING);
        startScheduleTimer(ms);
        refreshCountdown();
        return;
    }
    // One Tx a step while a pass lasts, and until the next one starts.
    const Prepass* current = m_passes.current();
    const bool inPass = current && m_utc.msecsTo(current->start()) + current->durationMs() > step;
    if (inPass || ms < step) {
        startScheduleTimer(step);
        refreshCountdown();
        return;
    }
    if (m_passes.nextIndex() < passCount) {
        startScheduleTimer(ms);
        refreshCountdown();
        return;
    }
    if (m_ackPending)
        m_utc.clock().waitWhile(TxTypes::PENDING_RESPONSE_WAIT_MS, [this]() { return m_ackPending; });
    if (!m_running)
        return;
    stop();
    emit txErrorOccured(
        QStringLiteral("Error: No more prepass data to continue Tx scheduling.\nPlease import new "
                       "data from ArgosWeb.\nStopping sequence..."));
}

void TxSequenceEngine::schedulePrepassOnModuleTx()
{
    PrepassModel* nextPass = m_models.modulePass;
    // The placeholder row "NA" has no date: it is no pass.
    if (nextPass->rowCount() > 0 && nextPass->at(0).start().isValid()) {
        prepareTxRequest();
        startScheduleTimer(qMax<qint64>(0, m_utc.msecsTo(nextPass->at(0).start())));
        refreshCountdown();
        return;
    }
    stop();
    emit txErrorOccured(QStringLiteral("Error: No satellite pass was computed/predicted!"));
}

void TxSequenceEngine::onScheduleOver()
{
    if (m_profile == TxTypes::PREPASS_ON_MODULE && !m_completed) {
        onModulePassEvent();
        return;
    }
    // The previous Tx's result has not come yet (a short delay, a slow
    // radio): the next one waits for it, or for the end of its wait, so that
    // each answer is counted for its own Tx.
    if (m_ackPending) {
        m_txDue = true;
        return;
    }
    if (m_txCounter < m_models.payloads->getRedundancy(m_currentIndex)) {
        ++m_txCounter;
    } else {
        ++m_currentIndex;
        m_txCounter = 1;
    }
    // A Tx that fails at once is counted at once, which may end the round.
    const bool last = isLastTx();
    triggerTxRequest();
    if (!last && m_running)
        scheduleNextTx();
}

// The module's pass starts or ends (or the next one is due to be asked again).
void TxSequenceEngine::onModulePassEvent()
{
    if (m_nextPassRetryDue) {
        requestNextPass();
        return;
    }
    Q_ASSERT(m_passes.activeCount() <= 1);
    PrepassModel* nextPass = m_models.modulePass;
    if (m_passes.activeCount() == 0) {
        // The pass starts: the module sends the prepared payload during it.
        m_passes.setActiveCount(1);
        nextPass->setActive(0, true);
        m_models.payloads->setStatus(m_currentIndex, Payload::ACTIVE);
        m_txCounter = m_models.payloads->getRedundancy(m_currentIndex);
        if (nextPass->rowCount() > 0) {
            const Prepass& pass = nextPass->at(0);
            startScheduleTimer(m_utc.msecsTo(pass.start()) + pass.durationMs());
        }
        return;
    }
    // The pass has ended: ask the module for the next one.
    m_passes.setActiveCount(0);
    if (!checkStatusPayload(m_currentIndex))
        return;
    m_models.payloads->setStatus(m_currentIndex, Payload::PENDING);
    requestNextPass();
}

void TxSequenceEngine::requestNextPass()
{
    m_nextPassRetryDue = false;
    m_link.getSatelliteNextPass(m_models.payloads->getOptions(m_currentIndex));
    if (!m_running)
        return;
    PrepassModel* nextPass = m_models.modulePass;
    if (nextPass->rowCount() == 0 || !nextPass->at(0).start().isValid()) {
        stop();
        emit txErrorOccured(QStringLiteral("Error: No satellite pass was computed/predicted!"));
        return;
    }
    // A refused or failed request leaves the pass that has just ended: taking
    // it again would end it at once and ask again, round and round.
    const Prepass& pass = nextPass->at(0);
    if (m_utc.msecsTo(pass.start()) + pass.durationMs() <= 0) {
        if (!m_nextPassRetrying)
            log(QStringLiteral("No next satellite pass from the module, asking again every ")
                + QString::number(TxTypes::NEXT_PASS_RETRY_MS / 1000) + QStringLiteral(" s"));
        m_nextPassRetrying = true;
        m_nextPassRetryDue = true;
        startScheduleTimer(TxTypes::NEXT_PASS_RETRY_MS);
        refreshCountdown();
        return;
    }
    m_nextPassRetrying = false;
    startScheduleTimer(qMax<qint64>(0, m_utc.msecsTo(pass.start())));
    if (m_resendInNextPass) {
        m_resendInNextPass = false;
        prepareTxRequest();
        setAckPending(true);
    }
}

// --- Tx requests and their results ---------------------------------------------

// The tool's UTC time to the millisecond (the shown clock moves by seconds).
qint64 TxSequenceEngine::nowMs() const
{
    return m_utc.clock().currentUtc().toMSecsSinceEpoch() + m_utc.offset() * 1000;
}

// The request's time, the pass it is meant for and who could hear it.
void TxSequenceEngine::beginRecord()
{
    m_record = TxRecord();
    m_record.timeMs = nowMs();
    m_record.profile = static_cast<quint8>(m_profile);
    const Prepass* pass = nullptr;
    if (m_profile == TxTypes::PREPASS) {
        pass = m_passes.current();
        if (!pass)
            pass = m_passes.next();
    } else if (m_profile == TxTypes::PREPASS_ON_MODULE && m_models.modulePass->rowCount() > 0
        && m_models.modulePass->at(0).start().isValid()) {
        pass = &m_models.modulePass->at(0);
    }
    if (pass) {
        m_record.passSatellite = pass->satellite();
        m_record.passStartMs = pass->start().toMSecsSinceEpoch();
        m_record.passEndMs = m_record.passStartMs + pass->durationMs();
    }
    if (m_inView)
        m_record.inView = m_inView(m_record.timeMs);
}

void TxSequenceEngine::prepareTxRequest()
{
    PayloadModel* payloads = m_models.payloads;
    beginRecord();
    if (m_link.requestTx(payloads->getMessage(m_currentIndex), payloads->getOptions(m_currentIndex), false))
        payloads->setStatus(m_currentIndex, Payload::PENDING);
    else
        log(QStringLiteral("Unable to write Tx command"));
}

void TxSequenceEngine::triggerTxRequest()
{
    PayloadModel* payloads = m_models.payloads;
    beginRecord();
    if (m_link.requestTx(payloads->getMessage(m_currentIndex), payloads->getOptions(m_currentIndex), false)) {
        setAckPending(true);
        payloads->setStatus(m_currentIndex, Payload::ACTIVE);
        m_resultTimer->start(TxTypes::TX_RESULT_WAIT_MS);
    } else {
        log(QStringLiteral("Unable to write Tx command"));
        // Counted as not sent, so that the sequence goes on past it.
        if (m_running)
            completeTx(TxOutcome::FAILED, 0, QStringLiteral("Unable to write Tx command"));
    }
}

void TxSequenceEngine::onTxResultOverdue()
{
    if (!m_ackPending || !m_running)
        return;
    log(QStringLiteral("No Tx result from the module"));
    completeTx(TxOutcome::NO_ANSWER, 0, QStringLiteral("No Tx result from the module"));
}

void TxSequenceEngine::flushTxData()
{
    if (!m_link.requestTx(QString(), m_models.payloads->getOptions(m_currentIndex), true))
        log(QStringLiteral("Unable to flush Tx payloads list"));
}

void TxSequenceEngine::handleTxResponse(const QString& data)
{
    if (!m_ackPending)
        return;
    if (!m_running) {
        setAckPending(false);
        return;
    }
    if (data.toUpper() == m_models.payloads->getMessage(m_currentIndex))
        completeTx(TxOutcome::SENT);
    else
        completeTx(TxOutcome::FAILED, 0, QStringLiteral("The module answered with another message"));
}

void TxSequenceEngine::handleTxFailure(quint16 code, const QString& text)
{
    if (!m_ackPending)
        return;
    if (!m_running) {
        setAckPending(false);
        return;
    }
    completeTx(TxOutcome::FAILED, code, text.isEmpty() ? QStringLiteral("Refused by the module") : text);
}

QString TxSequenceEngine::failureText(int failed, int total)
{
    return QString::number(failed) + QStringLiteral(" of ") + QString::number(total)
        + (total == 1 ? QStringLiteral(" transmission failed") : QStringLiteral(" transmissions failed"));
}

// The record of the current Tx, with its outcome.
void TxSequenceEngine::recordTx(TxOutcome outcome, quint16 errorCode, const QString& errorText)
{
    const PayloadModel* payloads = m_models.payloads;
    const bool sent = outcome == TxOutcome::SENT;
    if (m_record.timeMs == 0)
        beginRecord();
    m_record.resultTimeMs = nowMs();
    m_record.message = payloads->getMessage(m_currentIndex).toLatin1();
    m_record.payload = m_currentIndex;
    m_record.attempt = m_txCounter;
    m_record.redundancy = payloads->getRedundancy(m_currentIndex);
    m_record.round = static_cast<quint16>(m_repeatCount + 1);
    m_record.result = sent ? TxRecord::SENT
        : outcome == TxOutcome::NO_ANSWER ? TxRecord::NO_ANSWER
                                         : TxRecord::FAILED;
    m_record.errorCode = sent ? 0 : errorCode;
    m_record.errorText = sent ? QString() : errorText;
    m_records->append(m_record);
    m_record = TxRecord();
}

// Counts the current Tx and moves on, whatever its outcome: only a sent one
// counts as transmitted.
void TxSequenceEngine::completeTx(TxOutcome outcome, quint16 errorCode, const QString& errorText)
{
    m_resultTimer->stop();
    PayloadModel* payloads = m_models.payloads;
    const QString message = payloads->getMessage(m_currentIndex);
    const quint8 redundancy = payloads->getRedundancy(m_currentIndex);
    const bool sent = outcome == TxOutcome::SENT;
    recordTx(outcome, errorCode, errorText);
    ++m_roundTotal;
    ++m_txTotal;
    if (!sent) {
        ++m_roundFailed;
        ++m_txFailed;
    }
    payloads->addResult(m_currentIndex, sent);
    emit txResult(m_utc.shown().toMSecsSinceEpoch(), sent);
    if (sent)
        log(QStringLiteral("Data ") + message + QStringLiteral(" successfully transmitted! (")
            + QString::number(m_txCounter) + QLatin1Char('/') + QString::number(redundancy)
            + QLatin1Char(')'),
            Logger::TX_RESULT);
    else
        log(QStringLiteral("Data ") + message + QStringLiteral(" could not be sent"), Logger::TX_RESULT);

    payloads->setTxCount(m_currentIndex, m_txCounter);
    // The module dropped the payload it held for its pass: it stays the
    // current one, and is handed to the module again for the next pass.
    if (!sent && m_profile == TxTypes::PREPASS_ON_MODULE && !m_completed) {
        payloads->setStatus(m_currentIndex, Payload::PENDING);
        m_resendInNextPass = true;
        setAckPending(false);
        return;
    }
    if (m_txCounter != redundancy)
        payloads->setStatus(m_currentIndex, Payload::PENDING);
    else if (!finishPayload())
        return;
    if (isLastTx())
        countRound();
    setAckPending(false);
    if (m_txDue) {
        m_txDue = false;
        m_utc.clock().singleShot(0, this, [this]() {
            if (m_running && !m_completed && !m_ackPending)
                onScheduleOver();
        });
    }
}

// The current payload's burst is done: it is complete and the next one is
// pending. False when that already moved the sequence on (or stopped it).
bool TxSequenceEngine::finishPayload()
{
    PayloadModel* payloads = m_models.payloads;
    payloads->setStatus(m_currentIndex, Payload::COMPLETE);
    if (m_currentIndex + 1 >= payloads->rowCount())
        return true;
    const auto next = static_cast<quint8>(m_currentIndex + 1);
    if (!checkStatusPayload(next)) {
        setAckPending(false);
        return false;
    }
    payloads->setStatus(next, Payload::PENDING);
    emit currentIndexUpdated(next);
    if (m_profile != TxTypes::PREPASS_ON_MODULE)
        return true;
    m_currentIndex = next;
    scheduleNextTx();
    return false;
}

// The last Tx of a round was counted: the sequence is complete, or starts again.
void TxSequenceEngine::countRound()
{
    setRepeatCount(m_repeatCount + 1);
    const QString round = QString::number(m_repeatCount) + QLatin1Char('/') + QString::number(m_repeatTarget);
    // A round with a failed transmission ends; only one without completes.
    if (m_roundFailed == 0)
        log(QStringLiteral("--- Tx SEQUENCE COMPLETE (") + round + QStringLiteral(") ---"), Logger::TX_SEQUENCE);
    else
        log(QStringLiteral("--- Tx SEQUENCE ENDED (") + round + QStringLiteral("): ")
                + failureText(m_roundFailed, m_roundTotal) + QStringLiteral(" ---"),
            Logger::TX_SEQUENCE);
    m_roundTotal = m_roundFailed = 0;
    if (m_repeatCount == m_repeatTarget) {
        m_completed = true;
        m_scheduleTimer->stop();
        emit sequenceEnded(m_txFailed, m_txTotal);
        if (m_txFailed == 0)
            emit sequenceCompleted();
    } else {
        scheduleNextTx();
        resetTxSequence();
        m_models.payloads->setStatus(0, Payload::PENDING);
        emit currentIndexUpdated(0);
    }
}

bool TxSequenceEngine::isFirstTx() const
{
    return m_currentIndex == 0 && m_txCounter == 0 && m_repeatCount == 0;
}

bool TxSequenceEngine::isLastTx() const
{
    const int count = m_models.payloads->rowCount();
    return count > 0 && m_currentIndex == count - 1
        && m_txCounter == m_models.payloads->getRedundancy(m_currentIndex);
}

void TxSequenceEngine::resetTxSequence()
{
    PayloadModel* payloads = m_models.payloads;
    m_currentIndex = 0;
    m_txCounter = 0;
    for (int i = 0; i < payloads->rowCount(); ++i) {
        const auto index = static_cast<quint8>(i);
        payloads->setTxCount(index, 0);
        // A malformed payload stays marked so that no later start sends it.
        payloads->setStatus(index, payloads->checkPayload(index) ? Payload::NONE : Payload::ERROR);
    }
}

bool TxSequenceEngine::checkStatusPayload(quint8 index)
{
    PayloadModel* payloads = m_models.payloads;
    if (payloads->getStatus(index) != Payload::ERROR)
        return true;
    emit txErrorOccured(QStringLiteral("Payload P") + QString::number(index) + QStringLiteral(" (")
        + payloads->getMessage(index) + QStringLiteral(") is not correctly formatted.\r\nLength must be ")
        + m_models.modulation->allowedSizeText() + QStringLiteral(" bytes\r\n")
        + QStringLiteral("(minus two bytes if ack or downlink options are enabled)."));
    stop();
    emit sequenceStopped();
    return false;
}
