#include "CommandTable.h"

#include "board/SensorModel.h"
#include "manager/ResponseDispatch.h"

#include <QMetaEnum>

#include <algorithm>
#include <vector>

namespace VariantSet {

quint8 of(TavBoard::Module module)
{
    switch (module) {
    case TavBoard::TAV1: return TAV1;
    case TavBoard::TAV2: return TAV2;
    case TavBoard::RIX: return RIX;
    case TavBoard::TREKON: return TREKON;
    default: return NONE;
    }
}

} // namespace VariantSet

namespace {

using C = AtCmdHandler;
using D = ResponseDispatch;
using namespace VariantSet;
constexpr quint16 SHORT = CommandTable::SHORT_TIMEOUT_MS;
constexpr quint16 MEDIUM = CommandTable::MEDIUM_TIMEOUT_MS;
constexpr quint16 LARGE = CommandTable::LARGE_TIMEOUT_MS;
constexpr bool LIST = true;
constexpr int NO_SENSOR = -1;

// LoRaWAN EUIs are 8 bytes and keys 16, sent as comma-separated hexadecimal pairs.
QString hexBytes(quint8 count)
{
    return AtCmdHandler::repeatRegex(count, "[0-9a-fA-F]{2}");
}

QString sensorFlags()
{
    return AtCmdHandler::repeatRegex(7, "[0|1]");
}

QList<CommandRow> buildRows()
{
    const QString fw = QStringLiteral("^(?<FW>.*)$");
    // id, variants, answer patterns, fields, timeout, list, handler, sensor
    return {
        {C::OK, ALL, {{ALL, C::OK_REGEX}}, {}, SHORT, false, nullptr, NO_SENSOR},
        {C::ERROR, ALL, {{ALL, C::ERROR_REGEX}}, {}, SHORT, false, &D::applyError, NO_SENSOR},
        {C::PING, ALL, {}, {}, SHORT, false, &D::applyUnsupported, NO_SENSOR},
        {C::ID, ALL, {{ALL, C::ID_REGEX}}, {}, SHORT, false, &D::applyId, NO_SENSOR},
        {C::ADDR, SECOND_GEN, {{SECOND_GEN, C::ADDR_REGEX}}, {}, SHORT, false, &D::applyAddress, NO_SENSOR},
        {C::FW, ALL, {{ALL, fw}}, {}, SHORT, false, &D::applyFirmwareVersion, NO_SENSOR},
        // The TAV1 only ever reports status 0 before the payload; the TREKON's
        // answer is read by the dispatch itself.
        {C::TX, ALL,
            {{TAV1, QStringLiteral("^((0),(?<TX>.+)?)$")},
                {SECOND_GEN, QStringLiteral("^(([-0-9]+),(?<TX>[0-9a-fA-F]+)?)$")}},
            {"status", "payload"}, SHORT, false, &D::applyTx, NO_SENSOR},
        {C::SN, TAV1, {{TAV1, QStringLiteral("^(?<SN>TAV[0-9]{11})$")}}, {}, SHORT, false,
            &D::applySerialNumber, NO_SENSOR},
        {C::ATXFRQ, TAV1, {{TAV1, QStringLiteral("^(?<ATXFRQ>[0-9]{1,9}(,1)?)$")}}, {}, SHORT, false,
            &D::applyTxFrequency, NO_SENSOR},
        {C::PWR, TAV1, {{TAV1, QStringLiteral("^(?<PWR>[0-9]{3,4})$")}}, {}, SHORT, false, &D::applyTxPower,
            NO_SENSOR},
        {C::AFMT, TAV1, {{TAV1, QStringLiteral("^(?<AFMT>(0|1){1},(0|16){1},(0|32){1})$")}}, {}, SHORT, false,
            &D::applyMessageFormat, NO_SENSOR},
        {C::SAVE_CFG, NONE, {}, {}, SHORT, false, &D::applyUnsupported, NO_SENSOR},
        {C::CW, NONE, {}, {}, SHORT, false, &D::applyUnsupported, NO_SENSOR},
        {C::PREPASS_EN, ORBIT, {{ORBIT, C::PREPASS_EN_REGEX}}, {}, SHORT, false, &D::applyPrepassEnable,
            NO_SENSOR},
        {C::PREPASS_CFG, ORBIT, {{ORBIT, C::PREPASS_CFG_REGEX}},
            {"latitude", "longitude", "start", "end", "minElevation", "maxElevation", "minPassDuration",
                "maxPasses", "timeMargin", "computationStep"},
            LARGE, false, &D::applyPrepassConfig, NO_SENSOR},
        {C::POS, ORBIT, {{ORBIT, C::POS_REGEX}}, {"latitude", "longitude"}, SHORT, false, &D::applyPosition,
            NO_SENSOR},
        {C::AOP, ORBIT, {{ORBIT, C::AOP_REGEX}},
            {"satellite", "bulletin", "semiMajorAxis", "inclination", "ascendingNode", "ascendingNodeDrift",
                "period", "semiMajorAxisDrift", "blacklisted"},
            SHORT, LIST, &D::applyOrbitData, NO_SENSOR},
        {C::SAT, SECOND_GEN, {{SECOND_GEN, C::SAT_REGEX}}, {"satellite", "downlink", "uplink", "blacklisted"},
            SHORT, LIST, &D::applySatelliteStatus, NO_SENSOR},
        {C::UDATE, ORBIT, {{ORBIT, C::UDATE_REGEX}}, {}, MEDIUM, false, &D::applyUtcDate, NO_SENSOR},
        {C::NEXTPASS, ORBIT, {{ORBIT, C::NEXTPASS_REGEX}},
            {"satellite", "start", "end", "duration", "elevation"}, LARGE, false, &D::applyNextPass,
            NO_SENSOR},
        {C::TXDATA, SECOND_GEN, {}, {}, SHORT, false, &D::applyUnsupported, NO_SENSOR},
        {C::TXFIFO, SECOND_GEN,
            {{SECOND_GEN, QStringLiteral("^(?<TXFIFO>(0|1),([0-9a-fA-F]+),0x([0-9a-fA-F]+)|end)$")}},
            {"transmitted", "payload", "attributes"}, LARGE, LIST, &D::applyTxQueue, NO_SENSOR},
        {C::ATXRP, SECOND_GEN, {{SECOND_GEN, QStringLiteral("^(?<ATXRP>([-0-9]+),([-0-9]+))$")}},
            {"redundancy", "period"}, SHORT, false, &D::applyTxRepetition, NO_SENSOR},
        {C::ATXSTART, NONE, {}, {}, SHORT, false, &D::applyUnsupported, NO_SENSOR},
        // Downlink and beacon messages are shown from the log.
        {C::RX, TAV2, {{TAV2, QStringLiteral("^(?<RX>[0-9a-fA-F]+)$")}}, {}, SHORT, false, nullptr,
            NO_SENSOR},
        {C::BC, TAV2, {{TAV2, QStringLiteral("^(?<BC>[0-9a-fA-F]+)$")}}, {}, SHORT, false, nullptr,
            NO_SENSOR},
        {C::ASSERT, SECOND_GEN, {{SECOND_GEN, QStringLiteral("^(?<ASSERT>.*)$")}}, {}, SHORT, false,
            &D::applyAssert, NO_SENSOR},
        {C::SATDET, NONE, {}, {}, SHORT, false, nullptr, NO_SENSOR},
        {C::RCONF, SECOND_GEN, {{SECOND_GEN, C::RCONF_REGEX}},
            {"frequencyMin", "frequencyMax", "power", "modulation"}, SHORT, false, &D::applyRadioConf,
            NO_SENSOR},
        {C::PACQ, TREKON, {{TREKON, QStringLiteral("^(?<PACQ>[-0-9]+)$")}}, {}, SHORT, false,
            &D::applyAcquisitionPeriod, NO_SENSOR},
        {C::PACQ_SENS, TREKON, {{TREKON, "^(?<PACQ_SENS>" + sensorFlags() + ")$"}}, {}, SHORT, false,
            &D::applySensorFlags, NO_SENSOR},
        {C::ALRT_SENS, TREKON, {{TREKON, "^(?<ALRT_SENS>" + sensorFlags() + ")$"}}, {}, SHORT, false,
            &D::applySensorFlags, NO_SENSOR},
        {C::ALRT_LIGHT, TREKON, {{TREKON, QStringLiteral("^(?<ALRT_LIGHT>([0|1]),([-0-9]+,[-0-9]+))$")}},
            {"enabled", "thresholds"}, SHORT, false, &D::applySensorAlert, SensorModel::LIGHT},
        {C::ALRT_ACC, TREKON, {{TREKON, QStringLiteral("^(?<ALRT_ACC>([0|1]),([-0-9]+))$")}},
            {"enabled", "thresholds"}, SHORT, false, &D::applySensorAlert, SensorModel::ACCELEROMETER},
        {C::ALRT_DRYC, TREKON, {{TREKON, QStringLiteral("^(?<ALRT_DRYC>([0|1]),([0|1]))$")}},
            {"enabled", "thresholds"}, SHORT, false, &D::applySensorAlert, SensorModel::DRY_CONTACT},
        {C::ALRT_PB, TREKON, {{TREKON, QStringLiteral("^(?<ALRT_PB>[0|1])$")}}, {}, SHORT, false,
            &D::applySensorAlert, SensorModel::PUSH_BUTTON},
        {C::RST, TREKON, {}, {}, SHORT, false, nullptr, NO_SENSOR},
        {C::TAV_TX, NONE, {}, {}, SHORT, false, &D::applyUnsupported, NO_SENSOR},
        {C::TAV_REDUN, TREKON, {{TREKON, QStringLiteral("^(?<TAV_REDUN>[-0-9]+)$")}}, {}, SHORT, false,
            &D::applyTxRedundancy, NO_SENSOR},
        {C::LORA_EN, TREKON, {{TREKON, QStringLiteral("^(?<LORA_EN>[0|1])$")}}, {}, SHORT, false,
            &D::applyLoRaFlag, NO_SENSOR},
        {C::LORA_REDUN, TREKON, {{TREKON, QStringLiteral("^(?<LORA_REDUN>[-0-9]+)$")}}, {}, SHORT, false,
            &D::applyLoRaRedundancy, NO_SENSOR},
        {C::LORA_ACK, TREKON, {{TREKON, QStringLiteral("^(?<LORA_ACK>[0|1])$")}}, {}, SHORT, false,
            &D::applyLoRaFlag, NO_SENSOR},
        {C::LORA_DEUI, TREKON, {{TREKON, "^(?<LORA_DEUI>" + hexBytes(8) + ")$"}}, {}, SHORT, false,
            &D::applyLoRaEui, NO_SENSOR},
        {C::LORA_AEUI, TREKON, {{TREKON, "^(?<LORA_AEUI>" + hexBytes(8) + ")$"}}, {}, SHORT, false,
            &D::applyLoRaEui, NO_SENSOR},
        {C::LORA_AKEY, TREKON, {{TREKON, "^(?<LORA_AKEY>" + hexBytes(16) + ")$"}}, {}, SHORT, false,
            &D::applyLoRaKey, NO_SENSOR},
    };
}

// The rows indexed by command id, checked once to cover every id.
const std::vector<const CommandRow*>& rowsById()
{
    static const std::vector<const CommandRow*> index = [] {
        const QMetaEnum meta = QMetaEnum::fromType<AtCmdHandler::CmdId>();
        std::vector<const CommandRow*> byId(static_cast<size_t>(meta.keyCount()), nullptr);
        for (const CommandRow& row : CommandTable::rows()) {
            Q_ASSERT(row.id >= 0 && static_cast<size_t>(row.id) < byId.size() && !byId[row.id]);
            byId[static_cast<size_t>(row.id)] = &row;
        }
        Q_ASSERT(std::find(byId.cbegin(), byId.cend(), nullptr) == byId.cend());
        return byId;
    }();
    return index;
}

const QString* patternOf(TavBoard::Module module, const CommandRow& row)
{
    const quint8 bit = VariantSet::of(module);
    for (const CommandRow::Pattern& pattern : row.patterns) {
        if (pattern.variants & bit)
            return &pattern.regex;
    }
    return nullptr;
}

} // namespace

namespace CommandTable {

const QList<CommandRow>& rows()
{
    static const QList<CommandRow> table = buildRows();
    return table;
}

const CommandRow& row(AtCmdHandler::CmdId id)
{
    return *rowsById().at(static_cast<size_t>(id));
}

bool knows(TavBoard::Module module, AtCmdHandler::CmdId id)
{
    return (row(id).variants & VariantSet::of(module)) != 0;
}

bool hasPattern(TavBoard::Module module, AtCmdHandler::CmdId id)
{
    return patternOf(module, row(id)) != nullptr;
}

QString answerPattern(TavBoard::Module module, AtCmdHandler::CmdId id)
{
    const QString* pattern = patternOf(module, row(id));
    return pattern ? *pattern : QString();
}

QMap<AtCmdHandler::CmdId, QString> grammar(TavBoard::Module module)
{
    QMap<AtCmdHandler::CmdId, QString> map;
    for (const CommandRow& row : rows()) {
        if (const QString* pattern = patternOf(module, row))
            map.insert(row.id, *pattern);
    }
    return map;
}

quint16 timeoutOf(AtCmdHandler::CmdId id)
{
    return row(id).timeoutMs;
}

bool isListAnswer(AtCmdHandler::CmdId id)
{
    return row(id).listAnswer;
}

int fieldIndex(AtCmdHandler::CmdId id, const char* field)
{
    const int position = int(row(id).fields.indexOf(QLatin1String(field)));
    return position < 0 ? -1 : position + 1;
}

} // namespace CommandTable

quint8 Answer::index(const char* field) const
{
    if (!field)
        return 0;
    const int position = int(m_row.fields.indexOf(QLatin1String(field)));
    Q_ASSERT_X(position >= 0, "Answer", field);
    return static_cast<quint8>(position + 1);
}
