#pragma once

#include <QObject>

// The module variants, as the protocol, the files and the views number them;
// the board names them TavBoard::Module.
class ModuleType {
    Q_GADGET

public:
    enum Module { NA = 0, TAV1 = 1, TAV2 = 2, RIX = 3, TREKON = 4 };
    Q_ENUM(Module)
};
