#pragma once

#include <functional>

class QQmlApplicationEngine;
class TavManager;

// The application's name, version, organisation, desktop entry and window icon.
void setApplicationIdentity();

// What the pages expect of the engine before qrc:/qml/main.qml loads: a
// silent console (critical messages only) and the "QT_VERSION" property.
void prepareEngine(QQmlApplicationEngine& engine);

// Makes the core reachable from QML, all at version 1.0: the Settings,
// Strings and Style singleton files, the enumerations of the board, payloads,
// profiles and sensors (uncreatable), and the one manager of the module
// "com.norvane.qml", created on first use and owned by the engine.
// `onManagerCreated`, when given, sees each manager before QML does.
void registerQmlTypes(std::function<void(TavManager*)> onManagerCreated = {});
