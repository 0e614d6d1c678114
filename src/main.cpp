#include <QGuiApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQmlEngine>

#include "Payload.h"
#include "SensorModel.h"
#include "TavBoard.h"
#include "TavManager.h"
#include "TxManager.h"

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;

    QGuiApplication::setApplicationName("TavGUI");
    QGuiApplication::setApplicationVersion("4.0.2");
    QGuiApplication::setOrganizationName("Norvane");
    QGuiApplication::setOrganizationDomain("norvane.com");
    // Matches the installed desktop entry, so the window gets its icon and name.
    QGuiApplication::setDesktopFileName("tavgui");
    QGuiApplication::setWindowIcon(QIcon(":/images/norvane_logo_dark_small.svg"));

    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Settings.qml"), "Settings", 1, 0, "Settings");
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Strings.qml"), "Strings", 1, 0, "Strings");
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Style.qml"), "Style", 1, 0, "Style");

    qmlRegisterUncreatableMetaObject(TavBoard::staticMetaObject, "TavBoard", 1, 0, "Module", QString());
    qmlRegisterUncreatableMetaObject(Payload::staticMetaObject, "Payload", 1, 0, "Status", QString());
    qmlRegisterUncreatableMetaObject(TxManager::staticMetaObject, "TxManager", 1, 0, "Profile", QString());
    qmlRegisterUncreatableMetaObject(SensorModel::staticMetaObject, "Sensor", 1, 0, "Id", QString());

    // The manager comes into being when QML first touches it and lives as
    // long as the engine.
    qmlRegisterModule("com.norvane.qml", 1, 0);
    qmlRegisterSingletonType<TavManager>("com.norvane.qml", 1, 0, "TavManager",
                                         [](QQmlEngine*, QJSEngine*) -> QObject* { return new TavManager(); });

    QLoggingCategory::setFilterRules("*.debug=false\n*.info=false\n*.warning=false\n*.critical=true");
    engine.rootContext()->setContextProperty("QT_VERSION", QString(qVersion()));

    engine.load(QUrl("qrc:/qml/main.qml"));
    if (engine.rootObjects().isEmpty())
        return -1;
    return app.exec();
}
