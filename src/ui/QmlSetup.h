#pragma once

class QQmlEngine;

// The start-up of the window without the event loop: the application's
// identity, the QML types and singletons, and the engine's context. The
// same steps as src/main.cpp, for programs that load the window themselves.
namespace QmlSetup {

inline constexpr const char* MAIN_QML = "qrc:/qml/main.qml";

void setApplicationIdentity();
void registerTypes();
void prepareEngine(QQmlEngine& engine);

} // namespace QmlSetup
