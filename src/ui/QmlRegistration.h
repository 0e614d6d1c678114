#pragma once

#include <functional>

class TavManager;

// Makes the core reachable from QML, all at version 1.0: the Settings,
// Strings and Style singleton files, the enumerations of the board, payloads,
// profiles and sensors (uncreatable), and the one manager of the module
// "com.norvane.qml", created on first use and owned by the engine.
// `onManagerCreated`, when given, sees each manager before QML does.
void registerQmlTypes(std::function<void(TavManager*)> onManagerCreated = {});
