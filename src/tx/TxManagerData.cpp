// TxManager: what it keeps between runs and the files it reads (payload
// list, settings, pass lists, radio configuration files), through the
// classes that do the I/O.
#include "PassSchedule.h"
#include "PrepassFile.h"
#include "RadioConf.h"
#include "TxManager.h"
#include "TxSettingsStore.h"
#include "UtcClock.h"
#include "log/Logger.h"
#include "orbit/PassPredictor.h"
#include "orbit/PredictionTask.h"

#include <QDir>
#include <QFileInfo>
#include <QtDebug>

#include <algorithm>
#include <utility>

bool TxManager::addPayloadItem(QString message)
{
    if (m_payloadListModel->isFull()) {
        const QString error = QStringLiteral("Unable to add payload: the list is limited to %1 payloads.")
                                  .arg(PayloadModel::TAV_PAYLOAD_MAX_COUNT);
        log(error);
        emit txErrorOccured(error);
        return false;
    }
    const quint8 redundancy = m_selectedProfile == PERIODIC ? m_periodicProfile->redundancy()
                                                            : Payload::TAV_PAYLOAD_DEFAULT_REDUNDANCY;
    return m_payloadListModel->add(message, redundancy);
}

// --- pass lists ----------------------------------------------------------------

bool TxManager::importPrepassData(QString filePath)
{
    const PrepassFile::ReadResult file = PrepassFile::read(filePath, m_utc->shown());
    const PrepassCsv::Result& result = file.csv;
    if (!result.ok()) {
        log(result.error);
        qCritical().noquote() << result.error;
        emit loadPrepassDataCompleted(result.error);
        return false;
    }
    ++m_passListRevision;
    m_passes->setPasses(result.passes, file.fileName, {}, file.localPath);
    QString summary = QString::number(result.passes.size())
        + QStringLiteral(" satellite pass(es) imported from ") + file.fileName;
    if (result.expired > 0)
        summary += QStringLiteral(" (") + QString::number(result.expired) + QStringLiteral(" already ended)");
    log(summary);
    emit loadPrepassDataCompleted(QString());
    return true;
}

PassQuery TxManager::passQuery() const
{
    const Position position = m_prepassProfile->position();
    const PrepassConfig config = m_prepassProfile->config();
    PassQuery query;
    query.latitude = position.latitude;
    query.longitude = position.longitude;
    query.start = m_utc->shown();
    query.lengthSeconds = qint64(std::max<int>(1, config.predictionDuration)) * 86400;
    query.minElevation = config.minElevation;
    query.minDurationMinutes = config.minPassDuration;
    return query;
}

// The beacon position is unset while it is 0°, 0° (the Gulf of Guinea).
QList<SatelliteInView> TxManager::satellitesInView(qint64 utcMs) const
{
    QList<SatelliteInView> visible;
    const Position position = m_prepassProfile->position();
    if (position.latitude == 0 && position.longitude == 0)
        return visible;
    const QList<OrbitRecord> records = PassPredictor::records(*m_prepassProfile->satelliteAopModel());
    for (const SatelliteElevation& satellite :
        PassPredictor(passQuery()).inView(records, QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC)))
        visible.append({satellite.satellite, static_cast<float>(satellite.elevation)});
    return visible;
}

bool TxManager::predictPrepassData()
{
    const QList<OrbitRecord> records = PassPredictor::records(*m_prepassProfile->satelliteAopModel());
    return showPrediction(PassPredictor(passQuery()).predict(records), records, orbitFingerprint());
}

bool TxManager::showPrediction(
    const PassPrediction& prediction, const QList<OrbitRecord>& records, const QStringList& orbit)
{
    const QStringList warnings = prediction.warnings + prediction.refusals;
    QDateTime newest;
    for (const OrbitRecord& record : records)
        newest = std::max(newest, record.epoch);
    const QString source = QStringLiteral("predicted from orbit data of ")
        + newest.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral(" UTC");
    if (records.isEmpty() || prediction.passes.isEmpty()) {
        const QString error = records.isEmpty()
            ? QStringLiteral("Unable to predict passes: no orbit data. Download them first.")
            : QStringLiteral("No satellite pass predicted over the beacon position");
        log(error);
        for (const QString& refusal : prediction.refusals)
            log(refusal);
        // Passes predicted for the former settings are no longer true: the
        // list is emptied, and still follows the settings. A file's stays.
        if (!records.isEmpty() && prepassSource().startsWith(QLatin1String("predicted"))) {
            ++m_passListRevision;
            m_predictedOrbit = orbit;
            m_passes->setPasses({}, source, warnings, QString());
        }
        emit loadPrepassDataCompleted((QStringList {error} + prediction.refusals).join(QStringLiteral("\n")));
        return false;
    }
    ++m_passListRevision;
    m_predictedOrbit = orbit;
    // No file: a change of UTC time must not bring back an earlier one.
    m_passes->setPasses(prediction.passes, source, warnings, QString());
    for (const QString& warning : warnings)
        log(warning);
    log(QString::number(prediction.passes.size()) + QStringLiteral(" satellite pass(es) predicted"));
    emit loadPrepassDataCompleted(QString());
    return true;
}

bool TxManager::predictPasses()
{
    if (m_prepassProfile->satelliteAopModel()->rowCount() == 0)
        m_prepassProfile->downloadAopData();
    if (m_prepassProfile->satelliteAopModel()->rowCount() == 0)
        return predictPrepassData();
    if (m_prediction->busy())
        m_predictAgain = true;
    else
        startPrediction();
    return true;
}

bool TxManager::predicting() const
{
    return m_prediction->busy();
}

QStringList TxManager::orbitFingerprint() const
{
    const SatelliteAopModel* orbit = m_prepassProfile->satelliteAopModel();
    QStringList records;
    for (int row = 0; row < orbit->rowCount(); ++row) {
        const SatelliteAop* record = orbit->getSatelliteItem(static_cast<quint8>(row));
        records << record->getAopParams() + record->getSatelliteParams();
    }
    return records;
}

void TxManager::startPrediction()
{
    m_predictionRevision = m_passListRevision;
    m_predictingOrbit = orbitFingerprint();
    m_predictionRecords = PassPredictor::records(*m_prepassProfile->satelliteAopModel());
    m_prediction->start(passQuery(), m_predictionRecords);
    emit predictingChanged();
}

void TxManager::onPredictionFinished(const PassPrediction& prediction)
{
    if (m_predictionRevision == m_passListRevision)
        showPrediction(prediction, m_predictionRecords, m_predictingOrbit);
    m_predictionRecords.clear();
    // Orbit data cleared meanwhile leave nothing to predict again from.
    if (std::exchange(m_predictAgain, false) && m_prepassProfile->satelliteAopModel()->rowCount() > 0)
        startPrediction();
    else
        emit predictingChanged();
}

bool TxManager::exportPrepassData(QString filePath)
{
    const QString error = PrepassFile::write(filePath, m_prepassListModel->passes());
    if (!error.isEmpty()) {
        log(error);
        emit txErrorOccured(error);
        return false;
    }
    log(QString::number(m_prepassListModel->rowCount()) + QStringLiteral(" satellite pass(es) exported to ")
        + QFileInfo(Logger::toLocalPath(filePath)).fileName());
    return true;
}

void TxManager::initPrepassData()
{
    if (!m_passes->filePath().isEmpty())
        importPrepassData(m_passes->filePath());
}

void TxManager::clearPrepassData(bool eraseFilePath)
{
    ++m_passListRevision;
    m_passes->clear(eraseFilePath);
}

// --- radio configuration files -------------------------------------------------

void TxManager::refreshRadioConfList()
{
    m_modulationList->setStringList(RadioConf::listFiles(RadioConf::configuredDirectory()));
}

bool TxManager::changeModulationRadioConfiguration(QString fileName)
{
    const QString directory = RadioConf::configuredDirectory();
    QString error;
    if (directory.isEmpty())
        error = QStringLiteral("No radio configuration directory: set key \"rconf/dir\" in config.ini");
    else if (!RadioConf::isValidFileName(fileName))
        error = QStringLiteral("Invalid radio configuration file name: ") + fileName;
    if (!error.isEmpty()) {
        log(error);
        emit txErrorOccured(error);
        return false;
    }
    return sendRadioConf(QDir(directory).filePath(fileName));
}

bool TxManager::importRadioConfFile(QString filePath)
{
    return sendRadioConf(filePath);
}

bool TxManager::sendRadioConf(const QString& path)
{
    const RadioConf::ReadResult result = RadioConf::readFile(path);
    if (!result.error.isEmpty()) {
        log(result.error);
        emit txErrorOccured(result.error);
        return false;
    }
    log(QStringLiteral("Radio configuration ") + QFileInfo(Logger::toLocalPath(path)).fileName()
        + QStringLiteral(" selected"));
    emit setRadioConfRequest(result.bytes.toHex());
    return true;
}

// --- settings ------------------------------------------------------------------

void TxManager::saveSettings()
{
    TxSettings settings;
    settings.profile = static_cast<int>(m_selectedProfile);
    settings.csvFilePath = m_passes->filePath();
    settings.period = m_periodicProfile->period();
    settings.periodicRedundancy = m_periodicProfile->redundancy();
    settings.delay = m_periodicProfile->delay();
    settings.position = m_prepassProfile->position();
    settings.prepassConfig = m_prepassProfile->config();
    settings.prepassRedundancy = m_prepassProfile->redundancy();
    for (int i = 0; i < m_payloadListModel->rowCount(); ++i)
        settings.payloads.append(m_payloadListModel->getMessage(static_cast<quint8>(i)));
    TxSettingsStore::save(settings);
}

void TxManager::restoreSettings()
{
    const TxSettings settings = TxSettingsStore::load();
    setSelectedProfile(settings.profile);
    m_passes->setFilePath(settings.csvFilePath);
    m_periodicProfile->setPeriod(settings.period);
    m_periodicProfile->setRedundancy(settings.periodicRedundancy);
    m_periodicProfile->setDelay(settings.delay);
    m_prepassProfile->setPosition(settings.position);
    m_prepassProfile->setConfig(settings.prepassConfig);
    m_prepassProfile->setRedundancy(settings.prepassRedundancy);
    for (const QString& message : settings.payloads)
        addPayloadItem(message);
}
