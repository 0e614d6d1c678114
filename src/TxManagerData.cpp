// TxManager: what it keeps between runs and the files it reads (payload
// list, settings store, prepass CSV, radio configuration files).
#include "Logger.h"
#include "PassPredictor.h"
#include "PrepassCsv.h"
#include "RadioConf.h"
#include "TxManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStringDecoder>
#include <QtDebug>

#include <algorithm>

namespace {

// A pass list of a few weeks is a few hundred kilobytes at most.
constexpr qint64 PREPASS_FILE_MAX_SIZE = 4 * 1024 * 1024;

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    // Spreadsheets on some workstations still save in Latin-1.
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

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

// --- prepass CSV -------------------------------------------------------------

bool TxManager::importPrepassData(QString filePath)
{
    const QString localPath = Logger::toLocalPath(filePath);
    const QString fileName = QFileInfo(localPath).fileName();
    const auto refuse = [this](const QString& error) {
        log(error);
        qCritical().noquote() << error;
        emit loadPrepassDataCompleted(error);
        return false;
    };

    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("Unable to open prepass file ") + localPath);
    if (file.size() > PREPASS_FILE_MAX_SIZE)
        return refuse(QStringLiteral("Prepass file ") + fileName + QStringLiteral(" is too large"));

    const PrepassCsv::Result result = PrepassCsv::parse(decodeText(file.readAll()), m_utcTime);
    if (!result.ok())
        return refuse(QStringLiteral("Unable to import prepass data from ") + fileName + QStringLiteral(": ")
            + result.error);

    m_prepassListModel->setPasses(result.passes);
    m_activePassCount = 0;
    setNextPassIdx(0);
    m_csvFilePath = localPath;
    setPrepassSource(fileName);
    QString summary = QString::number(result.passes.size())
        + QStringLiteral(" satellite pass(es) imported from ") + fileName;
    if (result.expired > 0)
        summary += QStringLiteral(" (") + QString::number(result.expired) + QStringLiteral(" already ended)");
    log(summary);
    emit loadPrepassDataCompleted(QString());
    return true;
}

bool TxManager::predictPrepassData()
{
    const Position position = m_prepassProfile->position();
    const PrepassConfig config = m_prepassProfile->config();
    PassQuery query;
    query.latitude = position.latitude;
    query.longitude = position.longitude;
    query.start = m_utcTime;
    query.lengthSeconds = qint64(std::max<int>(1, config.predictionDuration)) * 86400;
    query.minElevation = config.minElevation;
    query.minDurationMinutes = config.minPassDuration;
    const SatelliteAopModel& orbits = *m_prepassProfile->satelliteAopModel();
    const PassPrediction prediction = PassPredictor(query).predict(orbits);
    if (orbits.rowCount() == 0 || prediction.passes.isEmpty()) {
        const QString error = orbits.rowCount() == 0
            ? QStringLiteral("Unable to predict passes: no orbit data. Download them first.")
            : QStringLiteral("No satellite pass predicted over the beacon position");
        log(error);
        emit loadPrepassDataCompleted(error);
        return false;
    }
    m_prepassListModel->setPasses(prediction.passes);
    m_activePassCount = 0;
    setNextPassIdx(0);
    // A change of UTC time must not bring back an earlier file.
    m_csvFilePath.clear();
    QDateTime newest;
    for (int row = 0; row < orbits.rowCount(); ++row)
        newest = std::max(newest, orbits.getSatelliteItem(quint8(row))->bulletinEpoch());
    setPrepassSource(QStringLiteral("predicted from orbit data of ")
            + newest.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm")) + QStringLiteral(" UTC"),
        prediction.warnings);
    for (const QString& warning : prediction.warnings)
        log(warning);
    log(QString::number(prediction.passes.size()) + QStringLiteral(" satellite pass(es) predicted"));
    emit loadPrepassDataCompleted(QString());
    return true;
}

bool TxManager::exportPrepassData(QString filePath)
{
    const QString localPath = Logger::toLocalPath(filePath);
    QFile file(localPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(PrepassCsv::write(m_prepassListModel->passes()).toUtf8()) < 0 || !file.flush()) {
        const QString error = QStringLiteral("Unable to export passes to ") + localPath;
        log(error);
        emit txErrorOccured(error);
        return false;
    }
    log(QString::number(m_prepassListModel->rowCount()) + QStringLiteral(" satellite pass(es) exported to ")
        + QFileInfo(localPath).fileName());
    return true;
}

void TxManager::setPrepassSource(const QString& source, const QStringList& warnings)
{
    m_prepassSource = source;
    m_prepassWarnings = warnings;
    emit prepassSourceChanged();
}

void TxManager::initPrepassData()
{
    if (!m_csvFilePath.isEmpty())
        importPrepassData(m_csvFilePath);
}

void TxManager::clearPrepassData(bool eraseFilePath)
{
    m_prepassListModel->clear();
    m_activePassCount = 0;
    setNextPassIdx(0);
    setPrepassSource(QString());
    if (eraseFilePath)
        m_csvFilePath.clear();
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

// --- settings store ------------------------------------------------------------

void TxManager::saveSettings()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Tx"));
    settings.setValue(QStringLiteral("profile"), static_cast<int>(m_selectedProfile));
    settings.setValue(QStringLiteral("csvFilePath"), m_csvFilePath);
    settings.beginGroup(QStringLiteral("Periodic"));
    settings.setValue(QStringLiteral("period"), static_cast<uint>(m_periodicProfile->period()));
    settings.setValue(QStringLiteral("redundancy"), static_cast<uint>(m_periodicProfile->redundancy()));
    settings.setValue(QStringLiteral("delay"), static_cast<uint>(m_periodicProfile->delay()));
    settings.endGroup();
    const Position position = m_prepassProfile->position();
    const PrepassConfig config = m_prepassProfile->config();
    settings.beginGroup(QStringLiteral("Prepass"));
    settings.setValue(QStringLiteral("latitude"), position.latitude);
    settings.setValue(QStringLiteral("longitude"), position.longitude);
    settings.setValue(QStringLiteral("predictionDuration"), static_cast<uint>(config.predictionDuration));
    settings.setValue(QStringLiteral("minElevation"), config.minElevation);
    settings.setValue(QStringLiteral("minPassDuration"), static_cast<uint>(config.minPassDuration));
    settings.setValue(QStringLiteral("redundancy"), static_cast<uint>(m_prepassProfile->redundancy()));
    settings.endGroup();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("Payloads"));
    settings.remove(QString());
    for (int i = 0; i < m_payloadListModel->rowCount(); ++i)
        settings.setValue(QStringLiteral("msg") + QString::number(i),
            m_payloadListModel->getMessage(static_cast<quint8>(i)));
    settings.endGroup();
    settings.sync();
}

void TxManager::restoreSettings()
{
    const auto toUint8 = [](const QVariant& value) { return static_cast<quint8>(value.toUInt()); };
    QSettings settings;
    settings.beginGroup(QStringLiteral("Tx"));
    setSelectedProfile(settings.value(QStringLiteral("profile"), 0).toInt());
    m_csvFilePath = settings.value(QStringLiteral("csvFilePath"), QString()).toString();
    settings.beginGroup(QStringLiteral("Periodic"));
    m_periodicProfile->setPeriod(
        toUint8(settings.value(QStringLiteral("period"), PeriodicProfile::DEFAULT_PERIOD)));
    m_periodicProfile->setRedundancy(
        toUint8(settings.value(QStringLiteral("redundancy"), PeriodicProfile::DEFAULT_REDUNDANCY)));
    m_periodicProfile->setDelay(
        toUint8(settings.value(QStringLiteral("delay"), PeriodicProfile::DEFAULT_DELAY)));
    settings.endGroup();
    settings.beginGroup(QStringLiteral("Prepass"));
    Position position;
    position.latitude = settings.value(QStringLiteral("latitude"), 0.0).toDouble();
    position.longitude = settings.value(QStringLiteral("longitude"), 0.0).toDouble();
    m_prepassProfile->setPosition(position);
    PrepassConfig config;
    config.predictionDuration = toUint8(settings.value(QStringLiteral("predictionDuration"), 0));
    config.minElevation = settings.value(QStringLiteral("minElevation"), 5.0).toDouble();
    config.minPassDuration = toUint8(settings.value(QStringLiteral("minPassDuration"), 5));
    m_prepassProfile->setConfig(config);
    m_prepassProfile->setRedundancy(
        toUint8(settings.value(QStringLiteral("redundancy"), PrepassProfile::DEFAULT_REDUNDANCY)));
    settings.endGroup();
    settings.endGroup();

    // Keys "msg0", "msg1", ... in index order; a gap left by hand loses nothing.
    settings.beginGroup(QStringLiteral("Payloads"));
    static const QRegularExpression key(QStringLiteral("^msg(\\d+)$"));
    QList<int> indices;
    const QStringList keys = settings.childKeys();
    for (const QString& name : keys) {
        const QRegularExpressionMatch match = key.match(name);
        if (match.hasMatch())
            indices.append(match.captured(1).toInt());
    }
    std::sort(indices.begin(), indices.end());
    for (const int index : std::as_const(indices))
        addPayloadItem(settings.value(QStringLiteral("msg") + QString::number(index)).toString());
    settings.endGroup();
}
