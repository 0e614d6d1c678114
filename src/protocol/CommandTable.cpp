#include "CommandTable.h"

#include <QMetaEnum>

#include <algorithm>
#include <vector>

namespace VariantSet {

quint8 of(ModuleType::Module module)
{
    switch (module) {
    case ModuleType::TAV1: return TAV1;
    case ModuleType::TAV2: return TAV2;
    case ModuleType::RIX: return RIX;
    case ModuleType::TREKON: return TREKON;
    default: return NONE;
    }
}

} // namespace VariantSet

namespace {

using C = AtCmdHandler;
using namespace VariantSet;
constexpr quint16 SHORT = CommandTable::SHORT_TIMEOUT_MS;
constexpr quint16 MEDIUM = CommandTable::MEDIUM_TIMEOUT_MS;
constexpr quint16 LARGE = CommandTable::LARGE_TIMEOUT_MS;
constexpr bool LIST = true;

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
    // id, variants, answer patterns, fields, timeout, list
    return {
        {C::OK, ALL, {{ALL, C::OK_REGEX}}, {}, SHORT, false},
        {C::ERROR, ALL, {{ALL, C::ERROR_REGEX}}, {}, SHORT, false},
        {C::PING, ALL, {}, {}, SHORT, false},
        {C::ID, ALL, {{ALL, C::ID_REGEX}}, {}, SHORT, false},
        {C::ADDR, SECOND_GEN, {{SECOND_GEN, C::ADDR_REGEX}}, {}, SHORT, false},
        {C::FW, ALL, {{ALL, fw}}, {}, SHORT, false},
        // The TAV1 only ever reports status 0 before the payload; the TREKON's
        // answer is read by the dispatch itself.
        {C::TX, ALL,
            {{TAV1, QStringLiteral("^((0),(?<TX>.+)?)$")},
                {SECOND_GEN, QStringLiteral("^(([-0-9]+),(?<TX>[0-9a-fA-F]+)?)$")}},
            {"status", "payload"}, SHORT, false},
        {C::SN, TAV1, {{TAV1, QStringLiteral("^(?<SN>TAV[0-9]{11})$")}}, {}, SHORT, false},
        {C::ATXFRQ, TAV1, {{TAV1, QStringLiteral("^(?<ATXFRQ>[0-9]{1,9}(,1)?)$")}}, {}, SHORT, false},
        {C::PWR, TAV1, {{TAV1, QStringLiteral("^(?<PWR>[0-9]{3,4})$")}}, {}, SHORT, false},
        {C::AFMT, TAV1, {{TAV1, QStringLiteral("^(?<AFMT>(0|1){1},(0|16){1},(0|32){1})$")}}, {}, SHORT, false},
        {C::SAVE_CFG, NONE, {}, {}, SHORT, false},
        {C::CW, NONE, {}, {}, SHORT, false},
        {C::PREPASS_EN, ORBIT, {{ORBIT, C::PREPASS_EN_REGEX}}, {}, SHORT, false},
        {C::PREPASS_CFG, ORBIT, {{ORBIT, C::PREPASS_CFG_REGEX}},
            {"latitude", "longitude", "start", "end", "minElevation", "maxElevation", "minPassDuration",
                "maxPasses", "timeMargin", "computationStep"},
            LARGE, false},
        {C::POS, ORBIT, {{ORBIT, C::POS_REGEX}}, {"latitude", "longitude"}, SHORT, false},
        {C::AOP, ORBIT, {{ORBIT, C::AOP_REGEX}},
            {"satellite", "bulletin", "semiMajorAxis", "inclination", "ascendingNode", "ascendingNodeDrift",
                "period", "semiMajorAxisDrift", "blacklisted"},
            SHORT, LIST},
        {C::SAT, SECOND_GEN, {{SECOND_GEN, C::SAT_REGEX}}, {"satellite", "downlink", "uplink", "blacklisted"},
            SHORT, LIST},
        {C::UDATE, ORBIT, {{ORBIT, C::UDATE_REGEX}}, {}, MEDIUM, false},
        {C::NEXTPASS, ORBIT, {{ORBIT, C::NEXTPASS_REGEX}},
            {"satellite", "start", "end", "duration", "elevation"}, LARGE, false},
        {C::TXDATA, SECOND_GEN, {}, {}, SHORT, false},
        {C::TXFIFO, SECOND_GEN,
            {{SECOND_GEN, QStringLiteral("^(?<TXFIFO>(0|1),([0-9a-fA-F]+),0x([0-9a-fA-F]+)|end)$")}},
            {"transmitted", "payload", "attributes"}, LARGE, LIST},
        {C::ATXRP, SECOND_GEN, {{SECOND_GEN, QStringLiteral("^(?<ATXRP>([-0-9]+),([-0-9]+))$")}},
            {"redundancy", "period"}, SHORT, false},
        {C::ATXSTART, NONE, {}, {}, SHORT, false},
        // Downlink and beacon messages are shown from the log.
        {C::RX, TAV2, {{TAV2, QStringLiteral("^(?<RX>[0-9a-fA-F]+)$")}}, {}, SHORT, false},
        {C::BC, TAV2, {{TAV2, QStringLiteral("^(?<BC>[0-9a-fA-F]+)$")}}, {}, SHORT, false},
        {C::ASSERT, SECOND_GEN, {{SECOND_GEN, QStringLiteral("^(?<ASSERT>.*)$")}}, {}, SHORT, false},
        {C::SATDET, NONE, {}, {}, SHORT, false},
        {C::RCONF, SECOND_GEN, {{SECOND_GEN, C::RCONF_REGEX}},
            {"frequencyMin", "frequencyMax", "power", "modulation"}, SHORT, false},
        {C::PACQ, TREKON, {{TREKON, QStringLiteral("^(?<PACQ>[-0-9]+)$")}}, {}, SHORT, false},
        {C::PACQ_SENS, TREKON, {{TREKON, "^(?<PACQ_SENS>" + sensorFlags() + ")$"}}, {}, SHORT, false},
        {C::ALRT_SENS, TREKON, {{TREKON, "^(?<ALRT_SENS>" + sensorFlags() + ")$"}}, {}, SHORT, false},
        {C::ALRT_LIGHT, TREKON, {{TREKON, QStringLiteral("^(?<ALRT_LIGHT>([0|1]),([-0-9]+,[-0-9]+))$")}},
            {"enabled", "thresholds"}, SHORT, false},
        {C::ALRT_ACC, TREKON, {{TREKON, QStringLiteral("^(?<ALRT_ACC>([0|1]),([-0-9]+))$")}},
            {"enabled", "thresholds"}, SHORT, false},
        {C::ALRT_DRYC, TREKON, {{TREKON, QStringLiteral("^(?<ALRT_DRYC>([0|1]),([0|1]))$")}},
            {"enabled", "thresholds"}, SHORT, false},
        {C::ALRT_PB, TREKON, {{TREKON, QStringLiteral("^(?<ALRT_PB>[0|1])$")}}, {}, SHORT, false},
        {C::RST, TREKON, {}, {}, SHORT, false},
        {C::TAV_TX, NONE, {}, {}, SHORT, false},
        {C::TAV_REDUN, TREKON, {{TREKON, QStringLiteral("^(?<TAV_REDUN>[-0-9]+)$")}}, {}, SHORT, false},
        {C::LORA_EN, TREKON, {{TREKON, QStringLiteral("^(?<LORA_EN>[0|1])$")}}, {}, SHORT, false},
        {C::LORA_REDUN, TREKON, {{TREKON, QStringLiteral("^(?<LORA_REDUN>[-0-9]+)$")}}, {}, SHORT, false},
        {C::LORA_ACK, TREKON, {{TREKON, QStringLiteral("^(?<LORA_ACK>[0|1])$")}}, {}, SHORT, false},
        {C::LORA_DEUI, TREKON, {{TREKON, "^(?<LORA_DEUI>" + hexBytes(8) + ")$"}}, {}, SHORT, false},
        {C::LORA_AEUI, TREKON, {{TREKON, "^(?<LORA_AEUI>" + hexBytes(8) + ")$"}}, {}, SHORT, false},
        {C::LORA_AKEY, TREKON, {{TREKON, "^(?<LORA_AKEY>" + hexBytes(16) + ")$"}}, {}, SHORT, false},
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

const QString* patternOf(ModuleType::Module module, const CommandRow& row)
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

bool knows(ModuleType::Module module, AtCmdHandler::CmdId id)
{
    return (row(id).variants & VariantSet::of(module)) != 0;
}

bool hasPattern(ModuleType::Module module, AtCmdHandler::CmdId id)
{
    return patternOf(module, row(id)) != nullptr;
}

QString answerPattern(ModuleType::Module module, AtCmdHandler::CmdId id)
{
    const QString* pattern = patternOf(module, row(id));
    return pattern ? *pattern : QString();
}

QMap<AtCmdHandler::CmdId, QString> grammar(ModuleType::Module module)
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
