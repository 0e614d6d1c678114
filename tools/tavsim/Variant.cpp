#include "Variant.h"

bool variantFromName(const QString& name, Variant* variant)
{
    for (Variant v : {Variant::TAV1, Variant::TAV2, Variant::RIX, Variant::TREKON}) {
        if (name.compare(variantName(v), Qt::CaseInsensitive) == 0) {
            *variant = v;
            return true;
        }
    }
    return false;
}

QString variantName(Variant variant)
{
    switch (variant) {
    case Variant::TAV1: return QStringLiteral("TAV1");
    case Variant::TAV2: return QStringLiteral("TAV2");
    case Variant::RIX: return QStringLiteral("RIX");
    case Variant::TREKON: return QStringLiteral("TREKON");
    }
    return {};
}
