#pragma once

// What the targets that drive the dispatch share: one manager per module,
// each with its board and codec but a port that does not exist, so nothing is
// written anywhere. Qt's own messages are silenced; a finding is a crash.
#include "FuzzTarget.h"
#include "manager/TavManager.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

struct ManagerRig {
    ManagerRig()
    {
        QStandardPaths::setTestModeEnabled(true);
        silenceQtMessages();
        const TavBoard::Module modules[4] = {TavBoard::TAV1, TavBoard::TAV2, TavBoard::RIX, TavBoard::TREKON};
        for (int i = 0; i < 4; ++i) {
            managers[i] = std::make_unique<TavManager>();
            managers[i]->connect(modules[i], dir.filePath("no-such-port"), "Default");
        }
    }
    // The two low bits of a selector byte pick the module.
    TavManager& manager(uint8_t selector) { return *managers[selector & 3]; }

    int argc = 1;
    char name[16] = "fuzz";
    char* argv[2] = {name, nullptr};
    QCoreApplication app {argc, argv};
    QTemporaryDir dir;
    std::unique_ptr<TavManager> managers[4];
};
