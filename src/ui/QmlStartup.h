#pragma once

#include <functional>

class QQmlEngine;
class TavManager;

// Where the window's QML module "com.norvane.qml" lies among the resources:
// the import path engines need, and the main window's file.
inline constexpr const char* QML_IMPORT_PATH = "qrc:/qt/qml";
inline constexpr const char* MAIN_QML = "qrc:/qt/qml/com/norvane/qml/main.qml";

// The application's name, version, organisation, desktop entry and window icon.
void setApplicationIdentity();

// What the pages expect of the engine before MAIN_QML loads: the module's
// import path and a silent console (critical messages only).
void prepareEngine(QQmlEngine& engine);

// `onManagerCreated` sees each manager the module creates (on QML's first
// use of TavManager) before QML does.
void watchManagerCreation(std::function<void(TavManager*)> onManagerCreated);
