#include "TxManager.h"

#include "PassSchedule.h"
#include "TxSequenceEngine.h"
#include "UtcClock.h"
#include "log/Logger.h"
#include "orbit/PredictionTask.h"
#include "orbit/SatelliteAopModel.h"

#include <utility>

TxManager::TxManager(QObject* parent, Logger& logger, TxLink& link, TxClock* clock)
    : QObject(parent)
    , m_logger(logger)
    , m_clock(clock ? clock : new SystemTxClock(this))
    , m_utc(new UtcClock(*m_clock, this))
    , m_periodicProfile(new PeriodicProfile(this))
    , m_prepassProfile(new PrepassProfile(this))
    , m_loraConfig(new LoRaConnectivity(this))
    , m_prepassListModel(new PrepassModel(this))
    , m_passes(new PassSchedule(m_prepassListModel, logger, this))
    , m_modulationModel(new ModulationModel(this))
    , m_payloadListModel(new PayloadModel(this))
    , m_engine(new TxSequenceEngine(link, logger, *m_utc, *m_passes,
          {m_payloadListModel, m_periodicProfile, m_prepassProfile->nextPassModel(), m_modulationModel}, this))
    , m_prediction(new PredictionTask(this))
    , m_modulationList(new QStringListModel(this))
    , m_recordFilter(new TxRecordFilter(m_engine->records(), this))
{
    restoreSettings();

    // The periodic redundancy is the payloads' only while that profile is
    // selected; in the prepass profiles they keep 4 or 10. A change during a
    // sequence (the module's own setting, read again on reconnection) waits
    // for its end: changing the count of a burst under way would derail it.
    connect(m_periodicProfile, &PeriodicProfile::redundancyChanged, this, [this]() {
        if (m_selectedProfile == PERIODIC && !m_engine->running())
            onPeriodicRedundancyChanged();
    });
    connect(m_modulationModel, &ModulationModel::allowedSizeChanged, m_payloadListModel,
        [this](const QList<uint>& sizes) { m_payloadListModel->setModulation(m_modulationModel->modulationName(), sizes); });
    connect(m_utc, &UtcClock::ticked, this, &TxManager::onUtcTimeRefreshOver);
    connect(m_passes, &PassSchedule::nextIndexChanged, this, &TxManager::nextPassIdxChanged);
    connect(m_passes, &PassSchedule::sourceChanged, this, &TxManager::prepassSourceChanged);
    connect(m_prediction, &PredictionTask::finished, this, &TxManager::onPredictionFinished);
    followPredictionInputs();
    forwardEngineSignals();
    m_engine->setInViewSource([this](qint64 utcMs) { return satellitesInView(utcMs); });
    refreshRadioConfList();
}

void TxManager::followPredictionInputs()
{
    // Passes predicted for another beacon position or other settings are out
    // of date: they are predicted again, as the planner's button does, but
    // never under a running sequence. Imported passes are the file's.
    const auto predictAgain = [this]() {
        if (prepassSource().startsWith(QLatin1String("predicted")) && !m_engine->running())
            predictPasses();
    };
    connect(m_prepassProfile, &PrepassProfile::positionChanged, this, predictAgain);
    connect(m_prepassProfile, &PrepassProfile::configChanged, this, predictAgain);
    // New orbit data (a download, an import, the module's own report) too,
    // once they have all arrived and only when they differ from those the
    // shown passes were predicted from.
    const auto orbitChanged = [this, predictAgain]() {
        if (std::exchange(m_orbitCheckQueued, true))
            return;
        QMetaObject::invokeMethod(this, [this, predictAgain]() {
            m_orbitCheckQueued = false;
            if (orbitFingerprint() != m_predictedOrbit)
                predictAgain();
        }, Qt::QueuedConnection);
    };
    SatelliteAopModel* orbit = m_prepassProfile->satelliteAopModel();
    connect(orbit, &SatelliteAopModel::dataChanged, this, orbitChanged);
    connect(orbit, &SatelliteAopModel::rowsInserted, this, orbitChanged);
    connect(orbit, &SatelliteAopModel::modelReset, this, orbitChanged);
}

void TxManager::forwardEngineSignals()
{
    connect(m_engine, &TxSequenceEngine::sequenceRunningChanged, this, [this]() {
        m_refusedProfile = -1;
        emit sequenceRunningChanged();
    });
    connect(m_engine, &TxSequenceEngine::ackPendingChanged, this, &TxManager::ackPendingChanged);
    connect(m_engine, &TxSequenceEngine::timeUntilNextTxChanged, this, &TxManager::timeUntilNextTxChanged);
    connect(m_engine, &TxSequenceEngine::currentSequenceRepeatCountChanged, this,
        &TxManager::currentSequenceRepeatCountChanged);
    connect(m_engine, &TxSequenceEngine::txResult, this, &TxManager::txResult);
    connect(m_engine, &TxSequenceEngine::txErrorOccured, this, &TxManager::txErrorOccured);
    connect(m_engine, &TxSequenceEngine::currentIndexUpdated, this, &TxManager::currentIndexUpdated);
    connect(m_engine, &TxSequenceEngine::sequenceEnded, this, &TxManager::sequenceEnded);
    connect(m_engine, &TxSequenceEngine::sequenceCompleted, this, &TxManager::sequenceCompleted);
    connect(m_engine, &TxSequenceEngine::sequenceStopped, this, &TxManager::sequenceStopped);
}

void TxManager::log(const QString& text)
{
    m_logger.log(Logger::APP, text);
}

// --- properties --------------------------------------------------------------

QString TxManager::utcTime() const
{
    return m_utc->shown().toString(QLatin1String(UI_DATE_FORMAT));
}

QDateTime TxManager::getUtcTime() const { return m_utc->shown(); }
qint64 TxManager::utcTimeOffset() const { return m_utc->offset(); }
QString TxManager::csvFilePath() const { return m_passes->filePath(); }
QString TxManager::prepassSource() const { return m_passes->source(); }
QStringList TxManager::prepassWarnings() const { return m_passes->warnings(); }
quint64 TxManager::nextPassIdx() const { return m_passes->nextIndex(); }
quint64 TxManager::activePassCount() const { return m_passes->activeCount(); }
quint8 TxManager::currentIndex() const { return m_engine->currentIndex(); }
quint8 TxManager::txCounter() const { return m_engine->txCounter(); }
quint8 TxManager::currentSequenceRepeatCount() const { return m_engine->repeatCount(); }
bool TxManager::ackPending() const { return m_engine->ackPending(); }
bool TxManager::sequenceRunning() const { return m_engine->running(); }
bool TxManager::sequenceCompletedFlag() const { return m_engine->completed(); }
int TxManager::timeUntilNextTx() const { return m_engine->timeUntilNextTx(); }

void TxManager::setSelectedProfile(int profile)
{
    if (profile < PERIODIC || profile > PREPASS_ON_MODULE)
        return;
    // Switching under a running sequence would mix two schedules.
    // A chatty module may repeat its mode many times a second: say it once
    // per sequence and asked-for profile.
    if (m_engine->running() && profile != m_selectedProfile) {
        if (profile != m_refusedProfile)
            log(QStringLiteral("Unable to switch profile while a Tx sequence is running"));
        m_refusedProfile = profile;
        emit profileSwitchFailed();
        return;
    }
    if (profile == PERIODIC)
        onPeriodicRedundancyChanged();
    if (profile == PREPASS_ON_MODULE)
        m_passes->setNextIndex(0);
    if (profile != PERIODIC) {
        m_passes->setActiveCount(m_passes->nextIndex());
        m_engine->applyPrepassRedundancy();
    }
    m_selectedProfile = static_cast<Profile>(profile);
    m_engine->setProfile(m_selectedProfile);
    emit selectedProfileChanged();
}

void TxManager::onPeriodicRedundancyChanged()
{
    m_engine->applyPeriodicRedundancy();
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
    m_engine->setAckPending(pending);
}

void TxManager::setComputingSatelliteNextPass(bool computing)
{
    if (m_computingSatelliteNextPass == computing)
        return;
    m_computingSatelliteNextPass = computing;
    emit computingSatelliteNextPassChanged();
}

void TxManager::clearLoraData()
{
    m_loraConfig->reset();
}

// --- UTC clock ---------------------------------------------------------------

void TxManager::onUtcTimeRefreshOver()
{
    m_utc->refresh();
    emit utcTimeChanged();
    // The module's own passes are not the list's.
    if (m_selectedProfile != PREPASS_ON_MODULE)
        m_passes->advance(m_utc->shown());
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
    if (qAbs(offsetSeconds - m_utc->offset()) <= 1) {
        emit loadPrepassDataCompleted(QString());
        return;
    }
    m_utc->setOffset(offsetSeconds);
    m_logger.setTimestampOffset(offsetSeconds);
    emit utcTimeChanged();
    log(QStringLiteral("UTC time ")
        + (offsetSeconds != 0 ? QStringLiteral("updated") : QStringLiteral("restored")) + QStringLiteral(" (")
        + utcTime() + QStringLiteral(")"));
    if (!reloadPrepass)
        return;
    // Passes are filtered against the new time.
    if (m_passes->filePath().isEmpty()) {
        // A prediction under way was asked for the former time.
        if (m_prediction->busy())
            m_predictAgain = true;
        emit loadPrepassDataCompleted(QString());
    } else {
        importPrepassData(m_passes->filePath());
    }
}

// --- sequence engine ---------------------------------------------------------

void TxManager::start(quint8 repeatNum)
{
    m_engine->start(repeatNum);
}

void TxManager::stop()
{
    m_engine->stop();
}

void TxManager::handleTxResponse(QString data)
{
    m_engine->handleTxResponse(data);
}

void TxManager::handleTxFailure(quint16 code, const QString& text)
{
    m_engine->handleTxFailure(code, text);
}

TxRecordModel* TxManager::txRecords() const
{
    return m_engine->records();
}

QString TxManager::failureText(int failed, int total) const
{
    return failed == 0 ? QString() : TxSequenceEngine::failureText(failed, total);
}

int TxManager::txTotal() const { return m_engine->txTotal(); }
int TxManager::txFailed() const { return m_engine->txFailed(); }

void TxManager::onScheduleOver()
{
    m_engine->onScheduleOver();
}

void TxManager::onCountdownRefreshOver()
{
    m_engine->refreshCountdown();
}

void TxManager::schedulePrepassOnModuleTx()
{
    m_engine->schedulePrepassOnModuleTx();
}
