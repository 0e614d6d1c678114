#include "ConfigurationService.h"

#include "BusyState.h"
#include "ModuleConnection.h"
#include "OperationTracker.h"
#include "RequestEngine.h"
#include "board/Sensor.h"
#include "board/SensorModel.h"
#include "board/TavBoard.h"
#include "log/Logger.h"
#include "orbit/SatelliteAop.h"
#include "orbit/SatelliteAopModel.h"
#include "protocol/CommandTable.h"
#include "tx/LoRaConnectivity.h"
#include "tx/PeriodicProfile.h"
#include "tx/PrepassProfile.h"
#include "tx/TxManager.h"

#include <QDebug>

namespace {

constexpr quint16 kShort = CommandTable::SHORT_TIMEOUT_MS;
constexpr quint16 kMedium = CommandTable::MEDIUM_TIMEOUT_MS;

QString g6(double value)
{
    return QString::number(value, 'g', 6);
}

QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

ConfigurationService::ConfigurationService(ModuleConnection& connection, RequestEngine& requests,
    Logger& logger, TxManager& tx, BusyState& busy, OperationTracker& operations, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_requests(requests)
    , m_logger(logger)
    , m_tx(tx)
    , m_busy(busy)
    , m_operations(operations)
{
}

QString ConfigurationService::uploadFailure(Step step)
{
    switch (step) {
    case NO_STEP: break;
    case SENSORS: return QStringLiteral("Unable to set sensor configuration!");
    case TX_PROFILE: return QStringLiteral("Unable to set Tx profile configuration!");
    case PREPASS: return QStringLiteral("Unable to set Prepass configuration!");
    case RESET: return QStringLiteral("Unable to reset device!");
    }
    return {};
}

QString ConfigurationService::stepName(Step step)
{
    switch (step) {
    case NO_STEP: break;
    case SENSORS: return QStringLiteral("sensor configuration");
    case TX_PROFILE: return QStringLiteral("Tx profile configuration");
    case PREPASS: return QStringLiteral("Prepass configuration");
    case RESET: return QStringLiteral("reset");
    }
    return {};
}

QString ConfigurationService::boardName() const
{
    return m_connection.boardName();
}

ConfigurationService::Step ConfigurationService::upload(bool announceReset)
{
    return writeAll([this](const ConfigCommand& command) { return send(command); }, announceReset);
}

QList<ConfigCommand> ConfigurationService::collect(Step* failed)
{
    QList<ConfigCommand> collected;
    const Step step = writeAll(
        [this, &collected](const ConfigCommand& command) {
            // Refused as it would be on the wire, and left out of the file.
            if (AtCmdHandler::hasControlCharacter(command.args))
                return send(command);
            logNotes(command.notes);
            collected << command;
            return true;
        },
        false);
    if (failed)
        *failed = step;
    return collected;
}

QString ConfigurationService::fileText(const QList<ConfigCommand>& commands) const
{
    QString text;
    for (const ConfigCommand& command : commands)
        text += QString::fromUtf8(m_requests.buildFrame(command.id, command.args));
    return text;
}

ConfigurationService::Step ConfigurationService::writeAll(const Writer& write, bool announceReset)
{
    if (!writeSensors(write))
        return SENSORS;

    // The date is taken when its turn comes.
    if (!write(beaconPosition()) || !write(utcDate(m_tx.getUtcTime().toString(Qt::ISODate)))
        || !writeOrbitData(write) || !writeEach(write, profileCommands()))
        return TX_PROFILE;
    if (!writeEach(write, predictionCommands()))
        return PREPASS;

    // The LoRa settings do not stop the sequence.
    write(loraEnable());
    if (m_tx.loraEnabled())
        writeLoRa(write);

    if (announceReset)
        m_logger.log(Logger::APP, "Reseting " + boardName() + "...");
    return write(reset()) ? NO_STEP : RESET;
}

QList<ConfigCommand> ConfigurationService::viewCommands() const
{
    QList<ConfigCommand> commands = sensorCommands();
    commands << beaconPosition();
    commands += profileCommands();
    commands += predictionCommands();
    commands << loraEnable();
    const TavBoard* board = m_connection.board();
    if (m_tx.loraEnabled() && board && board->loraCompatible() && board->loraStackIntegrated())
        commands += loraCommands();
    return commands;
}

ConfigCommand ConfigurationService::beaconPosition() const
{
    const Position beacon = m_tx.prepassProfile()->position();
    return position(beacon.latitude, beacon.longitude);
}

QList<ConfigCommand> ConfigurationService::profileCommands() const
{
    const bool usePrepass = m_tx.selectedProfile() != TxManager::PERIODIC;
    const quint8 redundancy
        = usePrepass ? m_tx.prepassProfile()->redundancy() : m_tx.periodicProfile()->redundancy();
    return {prepassEnable(usePrepass), txRedundancy(redundancy)};
}

QList<ConfigCommand> ConfigurationService::predictionCommands() const
{
    if (m_tx.selectedProfile() == TxManager::PERIODIC)
        return {};
    // The window sets three of the prediction settings; the others go with
    // their defaults.
    const PrepassConfig shown = m_tx.prepassProfile()->config();
    PrepassConfig config;
    config.predictionDuration = shown.predictionDuration;
    config.minElevation = shown.minElevation;
    config.minPassDuration = shown.minPassDuration;
    return {prepassConfig(config)};
}

bool ConfigurationService::writeEach(const Writer& write, const QList<ConfigCommand>& commands)
{
    for (const ConfigCommand& command : commands) {
        if (!write(command))
            return false;
    }
    return true;
}

ConfigCommand ConfigurationService::position(double latitude, double longitude) const
{
    PrepassProfile* prepass = m_tx.prepassProfile();
    return {QStringLiteral("Beacon position"), AtCmdHandler::POS, {g6(latitude), g6(longitude)}, kShort, {},
        {}, {}, [prepass](bool taken) {
            // Shows the stored position again in place of what was typed.
            if (!taken)
                prepass->setPosition(prepass->position());
        }};
}

ConfigCommand ConfigurationService::utcDate(const QString& isoDate) const
{
    TxManager* tx = &m_tx;
    return {QStringLiteral("UTC date"), AtCmdHandler::UDATE, {isoDate}, kMedium,
        "Unable to set UTC date on " + boardName(), {}, {}, [tx, isoDate](bool taken) {
            if (taken)
                tx->setCustomUtcTime(isoDate);
            else
                emit tx->loadPrepassDataCompleted(QString());
        }};
}

ConfigCommand ConfigurationService::prepassEnable(bool enable) const
{
    return {QStringLiteral("Prepass on module"), AtCmdHandler::PREPASS_EN, {flag(enable)}, kMedium, {}, {}, {},
        {}};
}

ConfigCommand ConfigurationService::txRedundancy(quint8 redundancy) const
{
    return {QStringLiteral("Module redundancy"), AtCmdHandler::TAV_REDUN, {QString::number(redundancy)}, kShort,
        QStringLiteral("Unable to set Tx redundancy"), {}, {}, {}};
}

ConfigCommand ConfigurationService::prepassConfig(const PrepassConfig& config) const
{
    PrepassProfile* prepass = m_tx.prepassProfile();
    const Position beacon = prepass->position();
    const QDateTime start = m_tx.getUtcTime();
    const QDateTime end = start.addDays(config.predictionDuration);
    const QStringList args = {g6(beacon.latitude), g6(beacon.longitude), start.toString(Qt::ISODate),
        end.toString(Qt::ISODate), g6(config.minElevation), g6(config.maxElevation),
        QString::number(config.minPassDuration), QString::number(config.maxPasses), g6(config.timeMargin),
        QString::number(config.computationStep)};
    return {QStringLiteral("Prediction settings"), AtCmdHandler::PREPASS_CFG, args, kShort,
        QStringLiteral("Unable to set prediction pass config"), {}, {}, [prepass, config](bool taken) {
            if (taken)
                prepass->setConfig(config);
        }};
}

ConfigCommand ConfigurationService::loraEnable() const
{
    return {QStringLiteral("LoRa"), AtCmdHandler::LORA_EN, {flag(m_tx.loraEnabled())}, kShort, {}, {}, {}, {}};
}

ConfigCommand ConfigurationService::reset() const
{
    return {QStringLiteral("Reset"), AtCmdHandler::RST, {QString()}, kShort, "Unable to reset " + boardName(),
        {}, {}, {}};
}

bool ConfigurationService::send(const ConfigCommand& command)
{
    logNotes(command.notes);
    const bool taken = m_requests.sendBuiltin(command.id, command.args, command.timeoutMs);
    if (!taken && !command.failure.isEmpty())
        m_logger.log(Logger::APP, command.failure);
    if (command.after)
        command.after(taken);
    return taken;
}

bool ConfigurationService::sendSensors()
{
    return writeSensors([this](const ConfigCommand& command) { return send(command); });
}

bool ConfigurationService::sendLoRa()
{
    return writeLoRa([this](const ConfigCommand& command) { return send(command); });
}

bool ConfigurationService::sendOrbitData()
{
    return writeOrbitData([this](const ConfigCommand& command) { return send(command); });
}

bool ConfigurationService::writeSensors(const Writer& write)
{
    BusyState::Scope busy(m_busy, QStringLiteral("Writing the sensors\u2026"));
    return writeEach(write, sensorCommands());
}

QList<ConfigCommand> ConfigurationService::sensorCommands() const
{
    const TavBoard* board = m_connection.board();
    const SensorModel* sensors = board ? board->sensorListModel() : nullptr;
    if (!sensors)
        return {};

    QList<ConfigCommand> commands;
    QStringList enables;
    QStringList alertEnables;
    const QString alertFailure = "Unable to enable/disable sensor alerts on " + boardName();
    const auto sensorMap = sensors->getSensorMap();
    for (auto it = sensorMap.cbegin(); it != sensorMap.cend(); ++it) {
        const Sensor* sensor = it.value();
        if (it.key() != SensorModel::PUSH_BUTTON) {
            enables << flag(sensor->enable());
            alertEnables << flag(sensor->alertEnable());
        }
        if (!sensor->hasAlertCmd())
            continue;
        QStringList args = {flag(sensor->alert())};
        if (sensor->thresholdValues() != QLatin1String("NA"))
            args << sensor->thresholdValues();
        commands.append({sensor->name() + " alert", SensorModel::sensorAlertAtCmdMap().value(it.key()), args,
            kShort, "Unable to set sensor alert on " + boardName(), {}, {}, {}});
    }
    commands.append({QStringLiteral("Sensors enabled"), AtCmdHandler::PACQ_SENS, enables, kShort,
        "Unable to enable/disable sensors on " + boardName(), {}, {}, {}});
    commands.append({QStringLiteral("Sensor alerts enabled"), AtCmdHandler::ALRT_SENS, alertEnables, kShort,
        alertFailure, {}, {}, {}});
    commands.append({QStringLiteral("Acquisition period"), AtCmdHandler::PACQ,
        {QString::number(sensors->acquisitionPeriod())}, kShort, alertFailure, {}, {}, {}});
    return commands;
}

bool ConfigurationService::writeLoRa(const Writer& write)
{
    BusyState::Scope busy(m_busy, QStringLiteral("Writing the LoRa settings\u2026"));
    const TavBoard* board = m_connection.board();
    if (!board || !board->loraCompatible() || !board->loraStackIntegrated()) {
        m_logger.log(Logger::APP, "LORA CONFIG: This board is not compatible with LoRa");
        return false;
    }
    const bool ok = writeEach(write, loraCommands());
    if (!ok)
        m_logger.log(Logger::APP, "Unable to set LoRa configuration");
    return ok;
}

QList<ConfigCommand> ConfigurationService::loraCommands() const
{
    const LoRaConnectivity* lora = m_tx.loraConfig();
    // The device EUI belongs to the module and is never written.
    return {
        {QStringLiteral("Application EUI"), AtCmdHandler::LORA_AEUI, {LoRaConnectivity::formatEui(lora->appEui())},
            kShort, {}, {}, {}, {}},
        {QStringLiteral("Application key"), AtCmdHandler::LORA_AKEY, {LoRaConnectivity::formatEui(lora->appKey())},
            kShort, {}, {}, {}, {}},
        {QStringLiteral("LoRa acknowledgement"), AtCmdHandler::LORA_ACK, {flag(lora->ackEnabled())}, kShort, {},
            {}, {}, {}},
        {QStringLiteral("LoRa redundancy"), AtCmdHandler::LORA_REDUN, {QString::number(lora->redundancy())},
            kShort, {}, {}, {}, {}},
    };
}

bool ConfigurationService::writeOrbitData(const Writer& write)
{
    BusyState::Scope busy(m_busy, QStringLiteral("Uploading orbit data\u2026"));
    OperationTracker::Scope operation(m_operations, QStringLiteral("setAopDataAndConstellationStatus"));
    PrepassProfile* prepass = m_tx.prepassProfile();
    if (prepass->satelliteAopModel()->rowCount() == 0 && !prepass->downloadAopData()) {
        const QString text = QStringLiteral("Unable to fetch AOP data");
        m_logger.log(Logger::APP, text);
        m_operations.noteFailure(text);
        operation.fail(text);
        return false;
    }

    QStringList closingNotes;
    const QList<ConfigCommand> commands = orbitCommands(&closingNotes);
    // One entry per satellite whose orbit or status did not go.
    QStringList failed;
    for (const ConfigCommand& command : commands) {
        if (!command.progress.isEmpty())
            busy.setText(command.progress);
        if (!write(command) && !failed.contains(command.name))
            failed << command.name;
    }
    logNotes(closingNotes);

    // A module missing the orbit of one satellite predicts wrong passes.
    if (!failed.isEmpty()) {
        const QString text = "Orbit data not set for " + failed.join(", ");
        m_logger.log(Logger::APP, text);
        operation.fail(text, failed);
        return false;
    }
    if (commands.isEmpty()) {
        operation.fail(QStringLiteral("No satellite of the module to upload"));
        return false;
    }
    operation.succeed(
        QStringLiteral("Orbit data of %1 satellites set").arg(prepass->satelliteAopModel()->rowCount()));
    return true;
}

QList<ConfigCommand> ConfigurationService::orbitCommands(QStringList* closingNotes) const
{
    const SatelliteAopModel* model = m_tx.prepassProfile()->satelliteAopModel();
    const int rows = model->rowCount();
    // A satellite out of service goes with the orbit of the first one in service.
    int reference = 0;
    while (reference < rows
        && model->getSatelliteItem(static_cast<quint8>(reference))->uplinkStatus() == SatelliteAop::TEXT_OFF)
        ++reference;
    if (reference == rows)
        qCritical().noquote() << "All satellites are OUT OF SERVICE!";

    const TavBoard* board = m_connection.board();
    const bool statusToo = board && board->knows(AtCmdHandler::SAT);
    QList<ConfigCommand> commands;
    QStringList notes;
    for (int row = 0; row < rows; ++row) {
        const SatelliteAop* satellite = model->getSatelliteItem(static_cast<quint8>(row));
        const QChar id = satellite->allcastId();
        if (!model->isSatelliteSupported(id)) {
            notes << "Satellite '" + QString(id) + "' not supported, pass";
            continue;
        }
        QStringList params = satellite->getAopParams();
        if (satellite->uplinkStatus() == SatelliteAop::TEXT_OFF && reference < rows) {
            const SatelliteAop* ref = model->getSatelliteItem(static_cast<quint8>(reference));
            params = ref->getAopParams();
            params[0] = QString(id);
            notes << "AOP data have expired for this satellite, copying data from " + ref->satelliteName() + " ("
                    + QString(ref->allcastId()) + ")...";
        }
        const QString name = satellite->satelliteName() + " (" + QString(id) + ")";
        commands.append({name, AtCmdHandler::AOP, params, kShort, QStringLiteral("Unable to set AOP data"), notes,
            QStringLiteral("Uploading orbit data (%1/%2)\u2026").arg(row + 1).arg(rows), {}});
        notes.clear();
        if (statusToo)
            commands.append({name, AtCmdHandler::SAT, satellite->getSatelliteParams(), kShort,
                QStringLiteral("Unable to set constellation status"), {}, {}, {}});
    }
    if (closingNotes)
        *closingNotes = notes;
    return commands;
}

void ConfigurationService::logNotes(const QStringList& notes)
{
    for (const QString& note : notes)
        m_logger.log(Logger::APP, note);
}
