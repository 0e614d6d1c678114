#pragma once

#include "PeriodicProfile.h"
#include "PrepassProfile.h"
#include "PrepassTypes.h"

#include <QString>
#include <QStringList>

// What the Tx side keeps between runs, as values.
struct TxSettings {
    int profile = 0;
    QString csvFilePath;
    quint8 period = PeriodicProfile::DEFAULT_PERIOD;
    quint8 periodicRedundancy = PeriodicProfile::DEFAULT_REDUNDANCY;
    quint8 delay = PeriodicProfile::DEFAULT_DELAY;
    Position position;
    PrepassConfig prepassConfig;
    quint8 prepassRedundancy = PrepassProfile::DEFAULT_REDUNDANCY;
    // In index order.
    QStringList payloads;
};

// Reads and writes TxSettings in the application's settings store (groups
// "Tx" and "Payloads"); a missing key keeps its default.
namespace TxSettingsStore {

TxSettings load();
void save(const TxSettings& settings);

} // namespace TxSettingsStore
