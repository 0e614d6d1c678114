#include "TxManager.h"

#include "Logger.h"

#include <limits>

TxManager::TxManager(QObject* parent, Logger& logger, RequestTxCallback requestTx,
    NextPassCallback getSatelliteNextPass, TxClock* clock)
    : QObject(parent)
    , m_logger(logger)
    , m_requestTx(std::move(requestTx))
    , m_getSatelliteNextPass(std::move(getSatelliteNextPass))
    , m_clock(clock ? clock : new SystemTxClock(this))
{
    Q_ASSERT(m_requestTx);
    Q_ASSERT(m_getSatelliteNextPass);
    m_utcTime = m_clock->currentUtc();
    m_utcRefreshTimer = m_clock->createTimer(this);
    m_periodicProfile = new PeriodicProfile(this);
    m_prepassProfile = new PrepassProfile(this);
    m_loraConfig = new LoRaConnectivity(this);
    m_prepassListModel = new PrepassModel(this);
    m_modulationModel = new ModulationModel(this);
    m_payloadListModel = new PayloadModel(this);
    m_scheduleTimer = m_clock->createTimer(this);
    m_countdownTimer = m_clock->createTimer(this);
    m_resultTimer = m_clock->createTimer(this);
    m_modulationList = new QStringListModel(this);

    restoreSettings();

    // The periodic redundancy is the payloads' only while that profile is
    // selected; in the prepass profiles they keep 4 or 10. A change during a
    // sequence (the module's own setting, read again on reconnection) waits
    // for its end: changing the count of a burst under way would derail it.
    connect(m_periodicProfile, &PeriodicProfile::redundancyChanged, this, [this]() {
        if (m_selectedProfile == PERIODIC && !m_sequenceRunning)
            onPeriodicRedundancyChanged();
    });
    connect(m_modulationModel, &ModulationModel::allowedSizeChanged, m_payloadListModel,
        &PayloadModel::setAllowedSize);
    connect(m_utcRefreshTimer, &TxTimer::timeout, this, &TxManager::onUtcTimeRefreshOver);
    connect(m_scheduleTimer, &TxTimer::timeout, this, &TxManager::onScheduleOver);
    connect(m_countdownTimer, &TxTimer::timeout, this, &TxManager::onCountdownRefreshOver);
    connect(m_resultTimer, &TxTimer::timeout, this, &TxManager::onTxResultOverdue);
    m_resultTimer->setSingleShot(true);
    m_utcRefreshTimer->start(1000);
    m_scheduleTimer->setSingleShot(true);
    refreshRadioConfList();
}

void TxManager::log(const QString& text)
{
    m_logger.log(Logger::APP, text);
}

QString TxManager::utcTime() const
{
    return m_utcTime.toString(QLatin1String(UI_DATE_FORMAT));
}

qint64 TxManager::msecsTo(const QDateTime& date) const
{
    // Measured from the clock itself, not from the copy refreshed every
    // second, so that a schedule is not off by up to a second.
    return m_clock->currentUtc().addSecs(m_utcTimeOffset).msecsTo(date);
}

void TxManager::startScheduleTimer(qint64 msec)
{
    m_scheduleTimer->start(
        static_cast<int>(qBound<qint64>(0, msec, qint64(std::numeric_limits<int>::max()))));
}

// --- properties --------------------------------------------------------------

void TxManager::setSelectedProfile(int profile)
{
    if (profile < PERIODIC || profile > PREPASS_ON_MODULE)
        return;
    // Switching under a running sequence would mix two schedules.
    // A chatty module may repeat its mode many times a second: say it once
    // per sequence and asked-for profile.
    if (m_sequenceRunning && profile != m_selectedProfile) {
        if (profile != m_refusedProfile)
            log(QStringLiteral("Unable to switch profile while a Tx sequence is running"));
        m_refusedProfile = profile;
        emit profileSwitchFailed();
        return;
    }
    if (profile == PERIODIC)
        onPeriodicRedundancyChanged();
    if (profile == PREPASS_ON_MODULE)
        setNextPassIdx(0);
    if (profile != PERIODIC) {
        m_activePassCount = m_nextPassIdx;
        applyPrepassRedundancy();
    }
    m_selectedProfile = static_cast<Profile>(profile);
    emit selectedProfileChanged();
}

void TxManager::applyPrepassRedundancy()
{
    for (int i = 0; i < m_payloadListModel->rowCount(); ++i) {
        const auto index = static_cast<quint8>(i);
        m_payloadListModel->setRedundancy(index,
            m_payloadListModel->getOptions(index).important ? Payload::TAV_PAYLOAD_IMPORTANT_REDUNDANCY
                                                            : Payload::TAV_PAYLOAD_DEFAULT_REDUNDANCY);
    }
}

void TxManager::onPeriodicRedundancyChanged()
{
    for (int i = 0; i < m_payloadListModel->rowCount(); ++i)
        m_payloadListModel->setRedundancy(static_cast<quint8>(i), m_periodicProfile->redundancy());
}

void TxManager::setLoraEnabled(bool enabled)
{
    if (m_loraEnabled == enabled)
        return;
    m_loraEnabled = enabled;
    emit loraEnabledChanged();
}

void TxManager::setAckPending(bool pending)
{
    if (m_ackPending == pending)
        return;
    m_ackPending = pending;
    emit ackPendingChanged();
}

void TxManager::setComputingSatelliteNextPass(bool computing)
{
    if (m_computingSatelliteNextPass == computing)
        return;
    m_computingSatelliteNextPass = computing;
    emit computingSatelliteNextPassChanged();
}

void TxManager::setSequenceRunning(bool running)
{
    if (m_sequenceRunning == running)
        return;
    m_sequenceRunning = running;
    m_refusedProfile = -1;
    emit sequenceRunningChanged();
}

void TxManager::setTimeUntilNextTx(int seconds)
{
    m_timeUntilNextTx = seconds;
    emit timeUntilNextTxChanged();
}

void TxManager::setCurrentSequenceRepeatCount(quint8 count)
{
    m_currentSequenceRepeatCount = count;
    emit currentSequenceRepeatCountChanged();
}

void TxManager::setNextPassIdx(quint64 index)
{
    m_nextPassIdx = index;
    emit nextPassIdxChanged();
}

void TxManager::clearLoraData()
{
    m_loraConfig->reset();
}

// --- UTC clock ---------------------------------------------------------------

void TxManager::onUtcTimeRefreshOver()
{
    m_utcTime = m_clock->currentUtc().addSecs(m_utcTimeOffset);
    emit utcTimeChanged();
    if (m_selectedProfile == PREPASS_ON_MODULE)
        return;

    const auto passCount = static_cast<quint64>(m_prepassListModel->rowCount());
    if (m_nextPassIdx < passCount
        && msecsTo(m_prepassListModel->at(static_cast<int>(m_nextPassIdx)).start()) < 0) {
        m_prepassListModel->setActive(static_cast<int>(m_nextPassIdx), true);
        ++m_activePassCount;
        setNextPassIdx(m_nextPassIdx + 1);
        logAvailableSatellites();
    }
    quint64 i = 0;
    while (i < m_activePassCount && i < static_cast<quint64>(m_prepassListModel->rowCount())) {
        const Prepass& pass = m_prepassListModel->at(static_cast<int>(i));
        if (pass.start().addMSecs(pass.durationMs()) < m_utcTime) {
            // The next pass moves into this row: look at it again.
            m_prepassListModel->remove(static_cast<int>(i));
            --m_activePassCount;
            setNextPassIdx(m_nextPassIdx - 1);
            logAvailableSatellites();
        } else {
            ++i;
        }
    }
}

void TxManager::logAvailableSatellites()
{
    log(QString::number(m_activePassCount) + QStringLiteral(" satellite(s) available"));
}

void TxManager::setCustomUtcTime(QString isoDate)
{
    QDateTime date = QDateTime::fromString(isoDate, Qt::ISODateWithMs);
    if (!date.isValid()) {
        log(QStringLiteral("Invalid UTC time: ") + isoDate);
        emit loadPrepassDataCompleted(QString());
        return;
    }
    // Times are UTC throughout: a date without a zone is one too.
    if (date.timeSpec() == Qt::LocalTime)
        date.setTimeSpec(Qt::UTC);
    setUtcTimeOffset(m_clock->currentUtc().secsTo(date), true);
}

void TxManager::setUtcTimeOffset(qint64 offsetSeconds, bool reloadPrepass)
{
    // A time typed to the second cannot be nearer than that to the clock.
    if (qAbs(offsetSeconds) <= 1)
        offsetSeconds = 0;
    if (qAbs(offsetSeconds - m_utcTimeOffset) <= 1) {
        emit loadPrepassDataCompleted(QString());
        return;
    }
    m_utcTimeOffset = offsetSeconds;
    m_logger.setTimestampOffset(offsetSeconds);
    m_utcTime = m_clock->currentUtc().addSecs(offsetSeconds);
    emit utcTimeChanged();
    log(QStringLiteral("UTC time ")
        + (offsetSeconds != 0 ? QStringLiteral("updated") : QStringLiteral("restored")) + QStringLiteral(" (")
        + utcTime() + QStringLiteral(")"));
    if (!reloadPrepass)
        return;
    // Passes are filtered against the new time.
    if (m_csvFilePath.isEmpty())
        emit loadPrepassDataCompleted(QString());
    else
        importPrepassData(m_csvFilePath);
}

// --- sequence engine ---------------------------------------------------------

void TxManager::start(quint8 repeatNum)
{
    if (m_sequenceRunning)
        return;
    if (m_selectedProfile == PREPASS && m_prepassListModel->rowCount() == 0) {
        emit txErrorOccured(QStringLiteral(
            "Error: No prepass data imported.\nPlease import data as a CSV file retrieved from ArgosWeb."));
        return;
    }
    // With no payload the engine would walk indices that do not exist.
    if (m_payloadListModel->rowCount() == 0) {
        emit txErrorOccured(
            QStringLiteral("Error: No payload to transmit.\nPlease add at least one payload."));
        return;
    }
    setSequenceRunning(true);
    m_repeatTarget = repeatNum;
    log(QStringLiteral("--- Tx SEQUENCE START (x") + QString::number(repeatNum) + QStringLiteral(") ---"));
    if (!checkStatusPayload(m_currentIndex))
        return;
    if (m_selectedProfile == PREPASS_ON_MODULE) {
        m_activePassCount = 0;
        flushTxData();
        setAckPending(true);
        m_getSatelliteNextPass(m_payloadListModel->getOptions(m_currentIndex));
    }
    scheduleNextTx();
    m_countdownTimer->start(1000);
}

void TxManager::stop()
{
    if (!m_sequenceRunning)
        return;
    m_countdownTimer->stop();
    m_scheduleTimer->stop();
    m_resultTimer->stop();
    m_nextPassRetrying = false;
    m_nextPassRetryDue = false;
    setTimeUntilNextTx(0);
    setCurrentSequenceRepeatCount(0);
    m_sequenceCompleted = false;
    resetTxSequence();
    setSequenceRunning(false);
    if (m_selectedProfile == PERIODIC)
        onPeriodicRedundancyChanged();
    flushTxData();
    log(QStringLiteral("--- Tx SEQUENCE STOP/RESET ---"));
}

void TxManager::scheduleNextTx()
{
    switch (m_selectedProfile) {
    case PERIODIC: schedulePeriodicTx(); break;
    case PREPASS: schedulePrepassTx(); break;
    case PREPASS_ON_MODULE:
        m_clock->singleShot(PREPASS_ON_MODULE_SCHEDULE_DELAY_MS, this, [this]() {
            if (m_sequenceRunning)
                schedulePrepassOnModuleTx();
        });
        break;
    }
}

void TxManager::schedulePeriodicTx()
{
    if (isFirstTx()) {
        onScheduleOver();
        return;
    }
    // The payload's burst is done: wait for the period, else for the delay.
    if (m_txCounter == m_payloadListModel->getRedundancy(m_currentIndex))
        startScheduleTimer(TIME_MIN_TO_MS(m_periodicProfile->period()));
    else
        startScheduleTimer(TIME_S_TO_MS(m_periodicProfile->delay()));
    onCountdownRefreshOver();
}

void TxManager::schedulePrepassTx()
{
    const auto passCount = static_cast<quint64>(m_prepassListModel->rowCount());
    const qint64 ms = m_nextPassIdx < passCount
        ? msecsTo(m_prepassListModel->at(static_cast<int>(m_nextPassIdx)).start())
        : PREPASS_TX_STEP_MS;
    if (ms > std::numeric_limits<int>::max()) {
        stop();
        emit txErrorOccured(QStringLiteral("Error: Next satellite pass date is too far from today!"));
        return;
    }
    if (isFirstTx()) {
        if (!checkStatusPayload(m_currentIndex))
            return;
        if (m_activePassCount != 0) {
            onScheduleOver();
            return;
        }
        m_payloadListModel->setStatus(m_currentIndex, Payload::PENDING);
        startScheduleTimer(ms);
        onCountdownRefreshOver();
        return;
    }
    if (m_activePassCount != 0 && m_nextPassIdx > 0) {
        const Prepass& pass = m_prepassListModel->at(static_cast<int>(m_nextPassIdx - 1));
        if (msecsTo(pass.start()) + pass.durationMs() > PREPASS_TX_STEP_MS) {
            startScheduleTimer(PREPASS_TX_STEP_MS);
            onCountdownRefreshOver();
            return;
        }
    }
    if (ms < PREPASS_TX_STEP_MS) {
        startScheduleTimer(PREPASS_TX_STEP_MS);
        onCountdownRefreshOver();
        return;
    }
    if (m_nextPassIdx < passCount) {
        startScheduleTimer(ms);
        onCountdownRefreshOver();
        return;
    }
    if (m_ackPending)
        m_clock->waitWhile(PENDING_RESPONSE_WAIT_MS, [this]() { return m_ackPending; });
    if (!m_sequenceRunning)
        return;
    stop();
    emit txErrorOccured(
        QStringLiteral("Error: No more prepass data to continue Tx scheduling.\nPlease import new "
                       "data from ArgosWeb.\nStopping sequence..."));
}

void TxManager::schedulePrepassOnModuleTx()
{
    PrepassModel* nextPass = m_prepassProfile->nextPassModel();
    // The placeholder row "NA" has no date: it is no pass.
    if (nextPass->rowCount() > 0 && nextPass->at(0).start().isValid()) {
        prepareTxRequest();
        startScheduleTimer(qMax<qint64>(0, msecsTo(nextPass->at(0).start())));
        onCountdownRefreshOver();
        return;
    }
    stop();
    emit txErrorOccured(QStringLiteral("Error: No satellite pass was computed/predicted!"));
}

void TxManager::onScheduleOver()
{
    if (m_selectedProfile != PREPASS_ON_MODULE || m_sequenceCompleted) {
        // The previous Tx is due no more: its result is not coming.
        if (m_ackPending) {
            log(QStringLiteral("No Tx result from the module"));
            completeTx(QString());
            if (!m_sequenceRunning)
                return;
        }
        if (m_txCounter < m_payloadListModel->getRedundancy(m_currentIndex)) {
            ++m_txCounter;
        } else {
            ++m_currentIndex;
            m_txCounter = 1;
        }
        // A Tx that fails at once is counted at once, which may end the round.
        const bool last = isLastTx();
        triggerTxRequest();
        if (!last && m_sequenceRunning)
            scheduleNextTx();
        return;
    }

    if (m_nextPassRetryDue) {
        requestNextPass();
        return;
    }
    Q_ASSERT(m_activePassCount <= 1);
    PrepassModel* nextPass = m_prepassProfile->nextPassModel();
    if (m_activePassCount == 0) {
        // The pass starts: the module sends the prepared payload during it.
        m_activePassCount = 1;
        nextPass->setActive(0, true);
        m_payloadListModel->setStatus(m_currentIndex, Payload::ACTIVE);
        m_txCounter = m_payloadListModel->getRedundancy(m_currentIndex);
        if (nextPass->rowCount() > 0) {
            const Prepass& pass = nextPass->at(0);
            startScheduleTimer(msecsTo(pass.start()) + pass.durationMs());
        }
        return;
    }
    // The pass has ended: ask the module for the next one.
    m_activePassCount = 0;
    if (!checkStatusPayload(m_currentIndex))
        return;
    m_payloadListModel->setStatus(m_currentIndex, Payload::PENDING);
    requestNextPass();
}

void TxManager::requestNextPass()
{
    m_nextPassRetryDue = false;
    m_getSatelliteNextPass(m_payloadListModel->getOptions(m_currentIndex));
    if (!m_sequenceRunning)
        return;
    PrepassModel* nextPass = m_prepassProfile->nextPassModel();
    if (nextPass->rowCount() == 0 || !nextPass->at(0).start().isValid()) {
        stop();
        emit txErrorOccured(QStringLiteral("Error: No satellite pass was computed/predicted!"));
        return;
    }
    // A refused or failed request leaves the pass that has just ended: taking
    // it again would end it at once and ask again, round and round.
    const Prepass& pass = nextPass->at(0);
    if (msecsTo(pass.start()) + pass.durationMs() <= 0) {
        if (!m_nextPassRetrying)
            log(QStringLiteral("No next satellite pass from the module, asking again every ")
                + QString::number(NEXT_PASS_RETRY_MS / 1000) + QStringLiteral(" s"));
        m_nextPassRetrying = true;
        m_nextPassRetryDue = true;
        startScheduleTimer(NEXT_PASS_RETRY_MS);
        onCountdownRefreshOver();
        return;
    }
    m_nextPassRetrying = false;
    startScheduleTimer(qMax<qint64>(0, msecsTo(pass.start())));
}

void TxManager::prepareTxRequest()
{
    if (m_requestTx(m_payloadListModel->getMessage(m_currentIndex),
            m_payloadListModel->getOptions(m_currentIndex), false))
        m_payloadListModel->setStatus(m_currentIndex, Payload::PENDING);
    else
        log(QStringLiteral("Unable to write Tx command"));
}

void TxManager::triggerTxRequest()
{
    const bool last = isLastTx();
    if (m_requestTx(m_payloadListModel->getMessage(m_currentIndex),
            m_payloadListModel->getOptions(m_currentIndex), false)) {
        setAckPending(true);
        m_payloadListModel->setStatus(m_currentIndex, Payload::ACTIVE);
        if (last)
            m_resultTimer->start(TX_RESULT_WAIT_MS);
    } else {
        log(QStringLiteral("Unable to write Tx command"));
        // Counted as not sent, so that the sequence goes on past it.
        if (m_sequenceRunning)
            completeTx(QString());
    }
}

void TxManager::onTxResultOverdue()
{
    if (!m_ackPending || !m_sequenceRunning)
        return;
    log(QStringLiteral("No Tx result from the module"));
    completeTx(QString());
}

void TxManager::flushTxData()
{
    if (!m_requestTx(QString(), m_payloadListModel->getOptions(m_currentIndex), true))
        log(QStringLiteral("Unable to flush Tx payloads list"));
}

void TxManager::handleTxResponse(QString data)
{
    if (!m_ackPending)
        return;
    if (!m_sequenceRunning) {
        setAckPending(false);
        return;
    }
    completeTx(data);
}

// Counts the current Tx, sent when `data` is its message, and moves on.
void TxManager::completeTx(const QString& data)
{
    m_resultTimer->stop();
    const QString message = m_payloadListModel->getMessage(m_currentIndex);
    const quint8 redundancy = m_payloadListModel->getRedundancy(m_currentIndex);
    emit txResult(m_utcTime.toMSecsSinceEpoch(), data.toUpper() == message);
    if (data.toUpper() == message)
        log(QStringLiteral("Data ") + message + QStringLiteral(" successfully transmitted! (")
            + QString::number(m_txCounter) + QLatin1Char('/') + QString::number(redundancy)
            + QLatin1Char(')'));
    else
        log(QStringLiteral("Data ") + message + QStringLiteral(" could not be sent"));

    m_payloadListModel->setTxCount(m_currentIndex, m_txCounter);
    if (m_txCounter == redundancy) {
        m_payloadListModel->setStatus(m_currentIndex, Payload::COMPLETE);
        if (m_currentIndex + 1 < m_payloadListModel->rowCount()) {
            const auto next = static_cast<quint8>(m_currentIndex + 1);
            if (!checkStatusPayload(next)) {
                setAckPending(false);
                return;
            }
            m_payloadListModel->setStatus(next, Payload::PENDING);
            emit currentIndexUpdated(next);
            if (m_selectedProfile == PREPASS_ON_MODULE) {
                m_currentIndex = next;
                scheduleNextTx();
                return;
            }
        }
    } else {
        m_payloadListModel->setStatus(m_currentIndex, Payload::PENDING);
    }

    if (isLastTx()) {
        setCurrentSequenceRepeatCount(m_currentSequenceRepeatCount + 1);
        log(QStringLiteral("--- Tx SEQUENCE COMPLETE (") + QString::number(m_currentSequenceRepeatCount)
            + QLatin1Char('/') + QString::number(m_repeatTarget) + QStringLiteral(") ---"));
        if (m_currentSequenceRepeatCount == m_repeatTarget) {
            m_sequenceCompleted = true;
            m_scheduleTimer->stop();
            emit sequenceCompleted();
        } else {
            scheduleNextTx();
            resetTxSequence();
            m_payloadListModel->setStatus(0, Payload::PENDING);
            emit currentIndexUpdated(0);
        }
    }
    setAckPending(false);
}

bool TxManager::isFirstTx() const
{
    return m_currentIndex == 0 && m_txCounter == 0 && m_currentSequenceRepeatCount == 0;
}

bool TxManager::isLastTx() const
{
    const int count = m_payloadListModel->rowCount();
    return count > 0 && m_currentIndex == count - 1
        && m_txCounter == m_payloadListModel->getRedundancy(m_currentIndex);
}

void TxManager::resetTxSequence()
{
    m_currentIndex = 0;
    m_txCounter = 0;
    for (int i = 0; i < m_payloadListModel->rowCount(); ++i) {
        const auto index = static_cast<quint8>(i);
        m_payloadListModel->setTxCount(index, 0);
        // A malformed payload stays marked so that no later start sends it.
        m_payloadListModel->setStatus(
            index, m_payloadListModel->checkPayload(index) ? Payload::NONE : Payload::ERROR);
    }
}

bool TxManager::checkStatusPayload(quint8 index)
{
    if (m_payloadListModel->getStatus(index) != Payload::ERROR)
        return true;
    emit txErrorOccured(QStringLiteral("Payload P") + QString::number(index) + QStringLiteral(" (")
        + m_payloadListModel->getMessage(index)
        + QStringLiteral(") is not correctly formatted.\r\nLength must be ")
        + m_modulationModel->allowedSizeText() + QStringLiteral(" bytes\r\n")
        + QStringLiteral("(minus two bytes if ack or downlink options are enabled)."));
    stop();
    emit sequenceStopped();
    return false;
}

void TxManager::onCountdownRefreshOver()
{
    setTimeUntilNextTx(m_scheduleTimer->remainingTime() / 1000 + 1);
}
