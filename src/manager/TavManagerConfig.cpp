// Gets and sets of the module's configuration, the composite reads and the
// whole-configuration upload. A get only reports success; its value arrives
// as an answer and is applied by the response dispatch. The sets are those of
// the configuration service, which also sends the whole configuration.
#include "ConfigurationService.h"
#include "TavManager.h"
#include "board/Sensor.h"
#include "board/SensorModel.h"
#include "protocol/VariantCapabilities.h"

bool TavManager::sendSet(
    AtCmdHandler::CmdId id, const QStringList& args, quint16 timeoutMs, const QString& failure)
{
    const bool ok = sendBuiltinAtCmd(id, args, timeoutMs);
    if (!ok && !failure.isEmpty())
        m_logger->log(Logger::APP, failure);
    return ok;
}

void TavManager::sendGet(AtCmdHandler::CmdId id, const QString& failure)
{
    sendSet(id, {}, CommandTable::timeoutOf(id), failure);
}

void TavManager::sendGetOr(AtCmdHandler::CmdId id, void (*unanswered)(TavBoard& board))
{
    if (!sendBuiltinAtCmd(id) && board())
        unanswered(*board());
}

void TavManager::getId()
{
    sendGetOr(AtCmdHandler::ID, [](TavBoard& board) { board.setId(TAV_NOT_AVAILABLE_STR); });
}

void TavManager::getAddr()
{
    sendGetOr(AtCmdHandler::ADDR, [](TavBoard& board) { board.setAddr(TAV_NOT_AVAILABLE_STR); });
}

void TavManager::getSerialNumber()
{
    sendGetOr(AtCmdHandler::SN, [](TavBoard& board) { board.setSerialNumber(TAV_NOT_AVAILABLE_STR); });
}

void TavManager::getFirmwareVersion()
{
    sendGetOr(AtCmdHandler::FW, [](TavBoard& board) { board.setFirmwareVersion(TAV_NOT_AVAILABLE_STR); });
}

void TavManager::getModuleUtcDate()
{
    sendGet(AtCmdHandler::UDATE, "Unable to get UTC date from " + boardName());
}

bool TavManager::setModuleUtcDate(QString isoDate)
{
    return m_config->send(m_config->utcDate(isoDate));
}

void TavManager::getPrepassEnable()
{
    sendGet(AtCmdHandler::PREPASS_EN, "Unable to get prediction pass 'enable' status");
}

bool TavManager::setPrepassEnable(bool enable)
{
    return m_config->send(m_config->prepassEnable(enable));
}

void TavManager::getPrepassConfig()
{
    sendGet(AtCmdHandler::PREPASS_CFG, "Unable to get prediction pass config");
}

bool TavManager::setPrepassConfig(quint8 predictionDuration, double minElevation, quint8 minPassDuration)
{
    return setPrepassConfig(
        predictionDuration, minElevation, minPassDuration, TAV_PREPASS_CFG_DEFAULT_MAX_ELEVATION);
}

bool TavManager::setPrepassConfig(
    quint8 predictionDuration, double minElevation, quint8 minPassDuration, double maxElevation)
{
    return setPrepassConfig(
        predictionDuration, minElevation, minPassDuration, maxElevation, TAV_PREPASS_CFG_DEFAULT_MAX_PASSES);
}

bool TavManager::setPrepassConfig(quint8 predictionDuration, double minElevation, quint8 minPassDuration,
    double maxElevation, quint16 maxPasses)
{
    return setPrepassConfig(predictionDuration, minElevation, minPassDuration, maxElevation, maxPasses,
        TAV_PREPASS_CFG_DEFAULT_TIME_MARGIN);
}

bool TavManager::setPrepassConfig(quint8 predictionDuration, double minElevation, quint8 minPassDuration,
    double maxElevation, quint16 maxPasses, double timeMargin)
{
    return setPrepassConfig(predictionDuration, minElevation, minPassDuration, maxElevation, maxPasses,
        timeMargin, TAV_PREPASS_CFG_DEFAULT_COMPUTATION_STEP);
}

bool TavManager::setPrepassConfig(quint8 predictionDuration, double minElevation, quint8 minPassDuration,
    double maxElevation, quint16 maxPasses, double timeMargin, quint8 computationStep)
{
    PrepassConfig config;
    config.predictionDuration = predictionDuration;
    config.minElevation = minElevation;
    config.minPassDuration = minPassDuration;
    config.maxElevation = maxElevation;
    config.maxPasses = maxPasses;
    config.timeMargin = timeMargin;
    config.computationStep = computationStep;
    return m_config->send(m_config->prepassConfig(config));
}

void TavManager::getGnssPosition()
{
    sendGet(AtCmdHandler::POS, "Unable to get GNSS position");
}

bool TavManager::setGnssPosition(double latitude, double longitude)
{
    return m_config->send(m_config->position(latitude, longitude));
}

void TavManager::getAopData()
{
    sendGet(AtCmdHandler::AOP, "Unable to get AOP data");
}

void TavManager::getTxFrequency()
{
    sendGetOr(AtCmdHandler::ATXFRQ, [](TavBoard& board) { board.setTxFrequency(0); });
}

void TavManager::getTxPower()
{
    sendGetOr(AtCmdHandler::PWR, [](TavBoard& board) { board.setTxPower(0); });
}

void TavManager::setTxPower(ushort power)
{
    if (!sendBuiltinAtCmd(AtCmdHandler::PWR, {QString::number(power)}) && board())
        board()->setTxPower(board()->txPower());
}

void TavManager::getTxRedundancy()
{
    sendGet(AtCmdHandler::TAV_REDUN, "Unable to get Tx redundancy");
}

bool TavManager::setTxRedundancy(quint8 redundancy)
{
    return m_config->send(m_config->txRedundancy(redundancy));
}

void TavManager::getRadioConfig()
{
    sendGet(AtCmdHandler::RCONF, "Unable to get radio configuration");
}

void TavManager::setRadioConf(QByteArray radioConf)
{
    const QString text = QString::fromUtf8(radioConf).toUpper();
    if (!sendBuiltinAtCmd(AtCmdHandler::RCONF, {text})
        || !sendBuiltinAtCmd(AtCmdHandler::RCONF))
        m_logger->log(Logger::APP, "Cannot set radio configuration!");
}

bool TavManager::resetModule()
{
    return m_config->send(m_config->reset());
}

bool TavManager::setLoRaEnable()
{
    return m_config->send(m_config->loraEnable());
}

void TavManager::getHwInfo()
{
    if (!board())
        return;
    BusyState::Scope busy(*m_busy, QStringLiteral("Reading the module's identity\u2026"));
    getId();
    getFirmwareVersion();
    if (board() && board()->knows(AtCmdHandler::SN))
        getSerialNumber();
    if (board() && board()->knows(AtCmdHandler::ADDR)) {
        getAddr();
        getRadioConfig();
    }
}

void TavManager::getLoRaConfig()
{
    BusyState::Scope busy(*m_busy, QStringLiteral("Reading the LoRa settings\u2026"));
    if (!board() || !board()->loraCompatible() || !board()->loraStackIntegrated()) {
        m_logger->log(Logger::APP, "LORA CONFIG: This board is not compatible with LoRa");
        return;
    }
    if (!wakeUpBoard())
        return;
    sendGet(AtCmdHandler::LORA_EN, "Unable to get LoRa connectivity status");
    sendGet(AtCmdHandler::LORA_REDUN, "Unable to get LoRa message redundancy");
    sendGet(AtCmdHandler::LORA_DEUI, "Unable to get LoRa device EUI");
    sendGet(AtCmdHandler::LORA_AEUI, "Unable to get LoRa App EUI");
    sendGet(AtCmdHandler::LORA_AKEY, "Unable to get LoRa App key");
    sendGet(AtCmdHandler::LORA_ACK, "Unable to get LoRa ack status");
}

bool TavManager::setLoRaInfo()
{
    return m_config->sendLoRa();
}

void TavManager::getSensorsConfig()
{
    BusyState::Scope busy(*m_busy, QStringLiteral("Reading the sensors\u2026"));
    SensorModel* sensors = board() ? board()->sensorListModel() : nullptr;
    if (!sensors || !wakeUpBoard())
        return;
    const auto sensorMap = sensors->getSensorMap();
    for (auto it = sensorMap.cbegin(); it != sensorMap.cend(); ++it) {
        if (!it.value()->hasAlertCmd())
            continue;
        const auto cmd = SensorModel::sensorAlertAtCmdMap().value(it.key());
        sendGet(cmd, "Unable to get sensor alert from " + boardName());
    }
    sendGet(AtCmdHandler::PACQ_SENS, "Unable to get sensors enable/disable status");
    sendGet(AtCmdHandler::ALRT_SENS, "Unable to get sensor alerts status");
    sendGet(AtCmdHandler::PACQ, "Unable to get acquisition period");
}

bool TavManager::setSensorsConfig()
{
    return m_config->sendSensors();
}

void TavManager::getConfig()
{
    BusyState::Scope busy(*m_busy, QStringLiteral("Reading the configuration\u2026"));
    OperationTracker::Scope operation(*m_operations, QStringLiteral("getConfig"));
    setProcessingData(true);
    if (wakeUpBoard()) {
        getPrepassEnable();
        getModuleUtcDate();
        getTxRedundancy();
        getLoRaConfig();
        getSensorsConfig();
        getGnssPosition();
        getAopData();
        getPrepassConfig();
        if (operation.hasFailure())
            operation.fail(QStringLiteral("Unable to read the whole configuration"), operation.failedRequests());
        else
            operation.succeed(QStringLiteral("Configuration read"));
        // The views now show the module, wherever it could be read.
        if (!operation.hasFailure())
            setNotUploadedFile(QString());
    } else {
        operation.cancel(QStringLiteral("Request has been cancelled"));
    }
    setProcessingData(false);
}

void TavManager::uploadConfig(bool enableLog)
{
    BusyState::Scope busy(*m_busy, QStringLiteral("Writing the configuration\u2026"));
    OperationTracker::Scope operation(*m_operations, QStringLiteral("uploadConfig"));
    if (enableLog)
        m_logger->log(Logger::APP, "Uploading current config to " + boardName() + "...");
    setProcessingData(true);
    if (enableLog && !wakeUpBoard()) {
        setProcessingData(false);
        operation.cancel(QStringLiteral("Request has been cancelled"));
        return;
    }

    const ConfigurationService::Step failed = m_config->upload(enableLog);
    if (failed != ConfigurationService::NO_STEP) {
        const QString text = ConfigurationService::uploadFailure(failed);
        setProcessingData(false, text, true);
        operation.fail(text, operation.failedRequests());
        return;
    }
    operation.succeed(QStringLiteral("Configuration uploaded!"));
    setNotUploadedFile(QString());
    // On success the upload ends when the kit reports its parameters restored.
    if (board() && board()->capabilities().configurationFile) {
        m_uploadAwaitsKit = true;
        operation.defer();
    }
}
