#include "TxSettingsStore.h"

#include <QList>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

namespace TxSettingsStore {

TxSettings load()
{
    const auto toUint8 = [](const QVariant& value) { return static_cast<quint8>(value.toUInt()); };
    TxSettings result;
    QSettings settings;
    settings.beginGroup(QStringLiteral("Tx"));
    result.profile = settings.value(QStringLiteral("profile"), 0).toInt();
    result.csvFilePath = settings.value(QStringLiteral("csvFilePath"), QString()).toString();
    settings.beginGroup(QStringLiteral("Periodic"));
    result.period = toUint8(settings.value(QStringLiteral("period"), PeriodicProfile::DEFAULT_PERIOD));
    result.periodicRedundancy
        = toUint8(settings.value(QStringLiteral("redundancy"), PeriodicProfile::DEFAULT_REDUNDANCY));
    result.delay = toUint8(settings.value(QStringLiteral("delay"), PeriodicProfile::DEFAULT_DELAY));
    settings.endGroup();
    settings.beginGroup(QStringLiteral("Prepass"));
    result.position.latitude = settings.value(QStringLiteral("latitude"), 0.0).toDouble();
    result.position.longitude = settings.value(QStringLiteral("longitude"), 0.0).toDouble();
    result.prepassConfig.predictionDuration = toUint8(settings.value(QStringLiteral("predictionDuration"), 0));
    result.prepassConfig.minElevation = settings.value(QStringLiteral("minElevation"), 5.0).toDouble();
    result.prepassConfig.minPassDuration = toUint8(settings.value(QStringLiteral("minPassDuration"), 5));
    result.prepassRedundancy
        = toUint8(settings.value(QStringLiteral("redundancy"), PrepassProfile::DEFAULT_REDUNDANCY));
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
        result.payloads.append(settings.value(QStringLiteral("msg") + QString::number(index)).toString());
    settings.endGroup();
    return result;
}

void save(const TxSettings& values)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Tx"));
    settings.setValue(QStringLiteral("profile"), values.profile);
    settings.setValue(QStringLiteral("csvFilePath"), values.csvFilePath);
    settings.beginGroup(QStringLiteral("Periodic"));
    settings.setValue(QStringLiteral("period"), static_cast<uint>(values.period));
    settings.setValue(QStringLiteral("redundancy"), static_cast<uint>(values.periodicRedundancy));
    settings.setValue(QStringLiteral("delay"), static_cast<uint>(values.delay));
    settings.endGroup();
    settings.beginGroup(QStringLiteral("Prepass"));
    settings.setValue(QStringLiteral("latitude"), values.position.latitude);
    settings.setValue(QStringLiteral("longitude"), values.position.longitude);
    settings.setValue(
        QStringLiteral("predictionDuration"), static_cast<uint>(values.prepassConfig.predictionDuration));
    settings.setValue(QStringLiteral("minElevation"), values.prepassConfig.minElevation);
    settings.setValue(QStringLiteral("minPassDuration"), static_cast<uint>(values.prepassConfig.minPassDuration));
    settings.setValue(QStringLiteral("redundancy"), static_cast<uint>(values.prepassRedundancy));
    settings.endGroup();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("Payloads"));
    settings.remove(QString());
    for (int i = 0; i < values.payloads.size(); ++i)
        settings.setValue(QStringLiteral("msg") + QString::number(i), values.payloads.at(i));
    settings.endGroup();
    settings.sync();
}

} // namespace TxSettingsStore
