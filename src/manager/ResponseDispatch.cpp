#include "ResponseDispatch.h"

#include "ModuleConstants.h"
#include "board/SensorModel.h"
#include "board/TavBoard.h"
#include "log/Helper.h"
#include "log/Logger.h"
#include "orbit/PrepassModel.h"
#include "orbit/SatelliteAop.h"
#include "orbit/SatelliteAopModel.h"
#include "protocol/CommandTable.h"
#include "tx/LoRaConnectivity.h"
#include "tx/ModulationModel.h"
#include "tx/PeriodicProfile.h"
#include "tx/PrepassProfile.h"
#include "tx/TxManager.h"

#include <QDateTime>
#include <QDebug>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTime>

#include <limits>
#include <utility>
#include <vector>

namespace {

QDateTime moduleDate(const QString& text)
{
    QDateTime date = QDateTime::fromString(text, ModuleTexts::ISO_DATE_FORMAT);
    date.setOffsetFromUtc(0);
    return date;
}

// A TREKON's grammar has no pattern for TX, so its answers keep no fields;
// read them with the form the other variants give.
const QRegularExpression& genericTxPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\+TX[=:]?(([-0-9]+),(?<TX>[0-9a-fA-F]+)?)$"));
    return pattern;
}

// A status field that is no unsigned number ("-1") gives a code no status has.
uint statusCode(const QString& field)
{
    bool ok = false;
    const uint code = field.toUInt(&ok, 10);
    return ok ? code : std::numeric_limits<uint>::max();
}

// The byte fields of an EUI or a key, joined; empty when there are not `count`.
QString joinedBytes(const Answer& answer, quint8 count)
{
    if (answer.codec().getDataLength() != count + 1)
        return QString();
    QString bytes;
    for (quint8 i = 1; i <= count; ++i)
        bytes += answer.codec().getData<QString>(i);
    return bytes;
}

using Apply = void (ResponseDispatch::*)(const Answer&);

// What a parsed answer changes, by command; the commands not listed (OK,
// received messages and beacons, which the log shows, the reset) change
// nothing.
const std::vector<Apply>& handlers()
{
    using C = AtCmdHandler;
    using D = ResponseDispatch;
    static const std::vector<Apply> byId = [] {
        const std::pair<C::CmdId, Apply> list[] = {
            {C::ERROR, &D::applyError},
            {C::PING, &D::applyUnsupported},
            {C::ID, &D::applyId},
            {C::ADDR, &D::applyAddress},
            {C::FW, &D::applyFirmwareVersion},
            {C::TX, &D::applyTx},
            {C::SN, &D::applySerialNumber},
            {C::ATXFRQ, &D::applyTxFrequency},
            {C::PWR, &D::applyTxPower},
            {C::AFMT, &D::applyMessageFormat},
            {C::SAVE_CFG, &D::applyUnsupported},
            {C::CW, &D::applyUnsupported},
            {C::PREPASS_EN, &D::applyPrepassEnable},
            {C::PREPASS_CFG, &D::applyPrepassConfig},
            {C::POS, &D::applyPosition},
            {C::AOP, &D::applyOrbitData},
            {C::SAT, &D::applySatelliteStatus},
            {C::UDATE, &D::applyUtcDate},
            {C::NEXTPASS, &D::applyNextPass},
            {C::TXDATA, &D::applyUnsupported},
            {C::TXFIFO, &D::applyTxQueue},
            {C::ATXRP, &D::applyTxRepetition},
            {C::ATXSTART, &D::applyUnsupported},
            {C::ASSERT, &D::applyAssert},
            {C::RCONF, &D::applyRadioConf},
            {C::PACQ, &D::applyAcquisitionPeriod},
            {C::PACQ_SENS, &D::applySensorFlags},
            {C::ALRT_SENS, &D::applySensorFlags},
            {C::ALRT_LIGHT, &D::applySensorAlert},
            {C::ALRT_ACC, &D::applySensorAlert},
            {C::ALRT_DRYC, &D::applySensorAlert},
            {C::ALRT_PB, &D::applySensorAlert},
            {C::TAV_TX, &D::applyUnsupported},
            {C::TAV_REDUN, &D::applyTxRedundancy},
            {C::LORA_EN, &D::applyLoRaFlag},
            {C::LORA_REDUN, &D::applyLoRaRedundancy},
            {C::LORA_ACK, &D::applyLoRaFlag},
            {C::LORA_DEUI, &D::applyLoRaEui},
            {C::LORA_AEUI, &D::applyLoRaEui},
            {C::LORA_AKEY, &D::applyLoRaKey},
        };
        std::vector<Apply> table(static_cast<size_t>(QMetaEnum::fromType<C::CmdId>().keyCount()), nullptr);
        for (const auto& [id, apply] : list)
            table[static_cast<size_t>(id)] = apply;
        return table;
    }();
    return byId;
}

} // namespace

ResponseDispatch::ResponseDispatch(Logger& logger, TxManager& tx, QObject* parent)
    : QObject(parent)
    , m_logger(logger)
    , m_tx(tx)
{
}

void ResponseDispatch::log(const QString& text)
{
    m_logger.log(Logger::APP, text);
}

void ResponseDispatch::apply(const AtCmdHandler& codec, const QString& line)
{
    const CommandRow& row = CommandTable::row(codec.getId());
    if (const Apply apply = handlers().at(static_cast<size_t>(row.id)))
        (this->*apply)(Answer(codec, row, line));
}

void ResponseDispatch::applyError(const Answer& answer)
{
    log(answer.codec().getErrorAsStr());
    emit moduleErrorAnswered(answer.number());
}

void ResponseDispatch::applyUnsupported(const Answer&)
{
    log("Unsupported AT command");
}

void ResponseDispatch::applyId(const Answer& answer)
{
    if (m_board)
        m_board->setId(answer.text());
}

void ResponseDispatch::applyAddress(const Answer& answer)
{
    if (m_board)
        m_board->setAddr(answer.text());
}

void ResponseDispatch::applySerialNumber(const Answer& answer)
{
    if (m_board)
        m_board->setSerialNumber(answer.text());
}

void ResponseDispatch::applyFirmwareVersion(const Answer& answer)
{
    if (m_board)
        m_board->setFirmwareVersion(answer.text());
}

void ResponseDispatch::applyTxFrequency(const Answer& answer)
{
    if (m_board)
        m_board->setTxFrequency(answer.number());
}

void ResponseDispatch::applyTxPower(const Answer& answer)
{
    if (m_board)
        m_board->setTxPower(static_cast<ushort>(answer.number()));
}

void ResponseDispatch::applyTx(const Answer& answer)
{
    QString status = answer.text("status");
    AtCmdHandler::Error error = answer.codec().getData<AtCmdHandler::Error>(1);
    QString data = answer.text();

    if (m_board && !CommandTable::hasPattern(m_board->module(), AtCmdHandler::TX)) {
        const QRegularExpressionMatch match = genericTxPattern().match(answer.line());
        if (match.hasMatch()) {
            status = match.captured(2);
            error = static_cast<AtCmdHandler::Error>(status.toUInt());
            data = match.captured("TX");
        }
    }

    if (error != 0) {
        m_logger.log(Logger::APP, "A Tx error occured (" + status + ")", Logger::TX_ERROR);
        // Not sent; the sequence counts it as failed and goes on past it, so
        // that a failed last Tx of a round does not hold it.
        m_tx.handleTxFailure(static_cast<quint16>(qMin<uint>(error, 0xffff)), AtCmdHandler::errorToStr(error));
        return;
    }
    m_tx.handleTxResponse(data);
}

void ResponseDispatch::applyMessageFormat(const Answer& answer)
{
    log(QString("Message format: ")
        + (answer.text().contains('0') ? "Raw format" : "Norvane standard format"));
}

void ResponseDispatch::applyPrepassEnable(const Answer& answer)
{
    m_tx.setSelectedProfile(answer.number() != 0 ? TxManager::PREPASS_ON_MODULE : TxManager::PERIODIC);
}

void ResponseDispatch::applyPrepassConfig(const Answer& answer)
{
    const QDateTime start = QDateTime::fromString(answer.text("start"), ModuleTexts::ISO_DATE_FORMAT);
    const QDateTime end = QDateTime::fromString(answer.text("end"), ModuleTexts::ISO_DATE_FORMAT);
    const qint64 days = start.daysTo(end);
    PrepassConfig config;
    config.predictionDuration = static_cast<quint8>(days < 0 ? 0 : days);
    config.minElevation = answer.real("minElevation");
    config.minPassDuration = static_cast<quint8>(static_cast<int>(answer.real("minPassDuration")));
    config.maxElevation = answer.real("maxElevation");
    config.maxPasses = static_cast<quint16>(answer.number("maxPasses"));
    config.timeMargin = answer.real("timeMargin");
    config.computationStep = static_cast<quint8>(answer.number("computationStep"));
    m_tx.prepassProfile()->setConfig(config);
    log("Prediction pass configuration (respective order):");
    log("latitude (°), longitude (°), start date (UTC), end date (UTC), min elevation (°), max "
        "elevation (°), min pass duration (mn), max nb of passes per satellite, linear time margin "
        "(nb of mn after 6 months),computation step (s)");
}

void ResponseDispatch::applyPosition(const Answer& answer)
{
    Position position;
    position.latitude = answer.real("latitude");
    position.longitude = answer.real("longitude");
    m_tx.prepassProfile()->setPosition(position);
    log("Beacon latitude: " + QString::number(position.latitude) + "°");
    log("Beacon longitude: " + QString::number(position.longitude) + "°");
}

void ResponseDispatch::applyOrbitData(const Answer& answer)
{
    if (answer.isEnd()) {
        log("AOP parameters (respective order):");
        log("satellite id, bulletin date (UTC), semi-major axis (km), orbit inclination (°), "
            "ascending node longitude (°), ascending node drift (°), orbit period (mn), semi-major "
            "axis drift (meter/day)");
        return;
    }
    m_tx.prepassProfile()->satelliteAopModel()->updateAopData(answer.letter("satellite").toUpper(),
        moduleDate(answer.text("bulletin")), answer.real("semiMajorAxis"), answer.real("inclination"),
        answer.real("ascendingNode"), answer.real("ascendingNodeDrift"), answer.real("period"),
        answer.real("semiMajorAxisDrift"), ModuleTexts::NOT_AVAILABLE, SatelliteAop::DNLK_NA,
        SatelliteAop::UPLK_NA);
}

void ResponseDispatch::applySatelliteStatus(const Answer& answer)
{
    if (answer.isEnd())
        return;
    const QChar id = answer.letter("satellite");
    const auto downlink = SatelliteAop::downlinkStatusFromCode(statusCode(answer.text("downlink")));
    const auto uplink = SatelliteAop::uplinkStatusFromCode(statusCode(answer.text("uplink")));
    log("Satellite " + m_tx.prepassProfile()->satelliteAopModel()->getSatelliteName(id) + " ("
        + QString(id).toUpper() + ") - " + Helper::enumToStr(downlink) + " - " + Helper::enumToStr(uplink));
}

void ResponseDispatch::applyUtcDate(const Answer& answer)
{
    const QDateTime date = moduleDate(answer.text());
    log("UTC time: " + date.toString(ModuleTexts::UI_DATE_FORMAT));
    m_tx.setCustomUtcTime(date.toString(Qt::ISODate));
}

void ResponseDispatch::applyNextPass(const Answer& answer)
{
    PrepassProfile* prepass = m_tx.prepassProfile();
    const QString name = prepass->satelliteAopModel()->getSatelliteName(answer.letter("satellite"));
    const QDateTime start = moduleDate(answer.text("start"));
    // The module gives the duration in seconds as a real number: keep whole seconds.
    const int seconds = static_cast<int>(answer.real("duration"));
    const QTime duration = QTime(0, 0).addSecs(seconds);
    const double elevation = answer.real("elevation");
    const bool active = start < m_tx.getUtcTime();
    PrepassModel* nextPass = prepass->nextPassModel();
    nextPass->clear();
    nextPass->add(name, start, duration, elevation, active);
    log("Next satellite pass: " + start.toString(ModuleTexts::UI_DATE_FORMAT));
}

void ResponseDispatch::applyTxQueue(const Answer& answer)
{
    if (!answer.isEnd())
        return;
    log("Tx FIFO content description (respective order):");
    log("transmitted (0 or 1), data (hexadecimal), attribute bitmap");
}

void ResponseDispatch::applyTxRepetition(const Answer& answer)
{
    log("---- Tx configuration ----");
    log("Redundancy: " + answer.text("redundancy")
        + " - Period: " + QString::number(answer.number("period") / 1000) + "s");
}

void ResponseDispatch::applyAssert(const Answer& answer)
{
    const QString text = answer.text();
    qCritical().noquote() << "TAV ASSERT!" << text;
    log("TAV ASSERT! " + text);
    log("A reset was triggered on device, stopping sequence and restoring UTC time...");
    m_tx.stop();
    m_tx.setCustomUtcTime(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    if (m_tx.ackPending())
        m_tx.setAckPending(false);
}

void ResponseDispatch::applyRadioConf(const Answer& answer)
{
    ModulationModel* modulation = m_tx.modulationModel();
    modulation->setFrequencyMin(answer.number("frequencyMin"));
    modulation->setFrequencyMax(answer.number("frequencyMax"));
    modulation->setPower(answer.number("power"));
    // An unknown name gives -1, which the model turns into NA.
    modulation->setModulation(Helper::strToEnum<ModulationModel::Modulation>(answer.text("modulation")));
}

void ResponseDispatch::applyAcquisitionPeriod(const Answer& answer)
{
    if (SensorModel* sensors = m_board ? m_board->sensorListModel() : nullptr)
        sensors->setAcquisitionPeriod(static_cast<ushort>(answer.number()));
}

void ResponseDispatch::applySensorFlags(const Answer& answer)
{
    SensorModel* sensors = m_board ? m_board->sensorListModel() : nullptr;
    if (!sensors)
        return;
    const AtCmdHandler& codec = answer.codec();
    QList<bool> flags;
    for (int i = 0; i + 2 <= codec.getDataLength(); ++i)
        flags << (codec.getData<uint>(static_cast<quint8>(i + 1)) != 0);
    // Each answer sets its own set: the module keeps them apart.
    if (codec.getId() == AtCmdHandler::PACQ_SENS)
        sensors->setAcquisitionEnables(flags);
    else
        sensors->setAlertEnables(flags);
}

void ResponseDispatch::applySensorAlert(const Answer& answer)
{
    SensorModel* sensors = m_board ? m_board->sensorListModel() : nullptr;
    if (!sensors)
        return;
    const auto sensor = SensorModel::sensorAlertAtCmdMap().key(answer.id());
    // The push button's alert has no threshold: its answer is the flag alone.
    if (answer.row().fields.isEmpty()) {
        sensors->setAlert(sensor, answer.number() != 0);
        return;
    }
    sensors->setAlert(sensor, answer.number("enabled") != 0);
    sensors->setThresholdValues(sensor, answer.text("thresholds"));
}

void ResponseDispatch::applyTxRedundancy(const Answer& answer)
{
    const auto redundancy = static_cast<quint8>(answer.number());
    if (m_tx.selectedProfile() == TxManager::PERIODIC)
        m_tx.periodicProfile()->setRedundancy(redundancy);
    else
        m_tx.prepassProfile()->setRedundancy(redundancy);
}

void ResponseDispatch::applyLoRaFlag(const Answer& answer)
{
    const bool on = answer.number() == 1;
    if (answer.id() == AtCmdHandler::LORA_EN)
        m_tx.setLoraEnabled(on);
    else
        m_tx.loraConfig()->setAckEnabled(on);
}

void ResponseDispatch::applyLoRaRedundancy(const Answer& answer)
{
    m_tx.loraConfig()->setRedundancy(static_cast<quint8>(answer.number()));
}

void ResponseDispatch::applyLoRaEui(const Answer& answer)
{
    const QString eui = joinedBytes(answer, 8);
    if (eui.isEmpty()) {
        log("Invalid EUI value!");
        return;
    }
    if (answer.id() == AtCmdHandler::LORA_DEUI)
        m_tx.loraConfig()->setDevEui(eui);
    else
        m_tx.loraConfig()->setAppEui(eui);
}

void ResponseDispatch::applyLoRaKey(const Answer& answer)
{
    const QString key = joinedBytes(answer, 16);
    if (key.isEmpty()) {
        log("Invalid key value!");
        return;
    }
    m_tx.loraConfig()->setAppKey(key);
}
