#pragma once

#include <QString>

// The transmitter module the simulator stands in for.
enum class Variant { TAV1, TAV2, RIX, TREKON };

// Bit set of variants, used by the command table.
using Variants = unsigned;

constexpr Variants variantBit(Variant v)
{
    return 1u << static_cast<unsigned>(v);
}

constexpr Variants ONLY_TAV1 = variantBit(Variant::TAV1);
constexpr Variants ONLY_TAV2 = variantBit(Variant::TAV2);
constexpr Variants ONLY_TREKON = variantBit(Variant::TREKON);
constexpr Variants ARGOS_KITS = variantBit(Variant::TAV2) | variantBit(Variant::RIX);
constexpr Variants PREDICTING = ARGOS_KITS | ONLY_TREKON;
constexpr Variants TRANSMITTING = ONLY_TAV1 | ARGOS_KITS | ONLY_TREKON;
constexpr Variants ALL_VARIANTS = TRANSMITTING;

// "TAV1", "TAV2", "RIX" or "TREKON" (case-insensitive); false when unknown.
bool variantFromName(const QString& name, Variant* variant);
QString variantName(Variant variant);
