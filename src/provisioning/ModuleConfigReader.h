#pragma once

#include "ConfigComparison.h"

#include <QStringList>

class TavManager;

// Reads back from the connected module the fields a configuration sets: one
// get per command word, each answer kept as the module gave it. The answers
// also reach the views, as those of any other get.
class ModuleConfigReader {
public:
    explicit ModuleConfigReader(TavManager& manager);

    // The module's fields for the commands of `wanted`; a command the module
    // does not answer leaves its fields out (they then compare as not read).
    QList<ConfigField> read(const QList<ConfigField>& wanted);
    // The commands whose get failed during the last read.
    QStringList failedCommands() const { return m_failed; }

    // Reads the module and compares it with `wanted` in one go.
    QList<ConfigDifference> differencesFrom(const QList<ConfigField>& wanted);

private:
    TavManager& m_manager;
    QStringList m_failed;
};
