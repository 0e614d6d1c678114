#include "QmlRegistration.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQmlContext>

#include "CommandHistory.h"
#include "ConfigCheck.h"
#include "DecimalInput.h"
#include "LogModel.h"
#include "LogSearch.h"
#include "LogViewModel.h"
#include "NotificationModel.h"
#include "PassTimeline.h"
#include "Payload.h"
#include "SensorModel.h"
#include "SkyPlot.h"
#include "TavBoard.h"
#include "TavManager.h"
#include "TxManager.h"

#include <QQmlEngine>
#include <QUrl>

void registerQmlTypes(std::function<void(TavManager*)> onManagerCreated)
{
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Settings.qml"), "Settings", 1, 0, "Settings");
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Strings.qml"), "Strings", 1, 0, "Strings");
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Style.qml"), "Style", 1, 0, "Style");

    qmlRegisterSingletonType<DecimalInput>("Decimal", 1, 0, "Decimal",
        [](QQmlEngine*, QJSEngine*) -> QObject* { return new DecimalInput(); });
    qmlRegisterSingletonType<NotificationModel>("Notifications", 1, 0, "Notifications",
        [](QQmlEngine*, QJSEngine*) -> QObject* { return new NotificationModel(); });

    qmlRegisterUncreatableMetaObject(TavBoard::staticMetaObject, "TavBoard", 1, 0, "Module", QString());
    qmlRegisterUncreatableMetaObject(Payload::staticMetaObject, "Payload", 1, 0, "Status", QString());
    qmlRegisterUncreatableMetaObject(TxManager::staticMetaObject, "TxManager", 1, 0, "Profile", QString());
    qmlRegisterUncreatableMetaObject(SensorModel::staticMetaObject, "Sensor", 1, 0, "Id", QString());

    // The manager comes into being when QML first touches it and lives as
    // long as the engine.
    qmlRegisterModule("com.norvane.qml", 1, 0);
    qmlRegisterType<ConfigCheck>("com.norvane.qml", 1, 0, "ConfigCheck");
    qmlRegisterType<PassTimeline>("com.norvane.qml", 1, 0, "PassTimeline");
    qmlRegisterType<SkyPlot>("com.norvane.qml", 1, 0, "SkyPlot");
    qmlRegisterType<LogViewModel>("com.norvane.qml", 1, 0, "LogViewModel");
    qmlRegisterType<CommandHistory>("com.norvane.qml", 1, 0, "CommandHistory");
    qmlRegisterUncreatableType<LogModel>("com.norvane.qml", 1, 0, "LogModel", "the logger's history");
    qmlRegisterUncreatableType<LogSearch>("com.norvane.qml", 1, 0, "LogSearch", "a view model's search");
    qmlRegisterSingletonType<TavManager>("com.norvane.qml", 1, 0, "TavManager",
        [onManagerCreated](QQmlEngine*, QJSEngine*) -> QObject* {
            auto* manager = new TavManager();
            if (onManagerCreated)
                onManagerCreated(manager);
            return manager;
        });
}

void setApplicationIdentity()
{
    QGuiApplication::setApplicationName("TavGUI");
    QGuiApplication::setApplicationVersion("4.0.2");
    QGuiApplication::setOrganizationName("Norvane");
    QGuiApplication::setOrganizationDomain("norvane.com");
    // Matches the installed desktop entry, so the window gets its icon and name.
    QGuiApplication::setDesktopFileName("tavgui");
    QGuiApplication::setWindowIcon(QIcon(":/images/norvane_logo_dark_small.svg"));
}

void prepareEngine(QQmlApplicationEngine& engine)
{
    // Only critical messages by default; rules in QT_LOGGING_RULES still
    // apply on top, so that a developer can turn a category back on.
    QString rules = QStringLiteral("*.debug=false\n*.info=false\n*.warning=false\n*.critical=true");
    const QString extra = qEnvironmentVariable("QT_LOGGING_RULES");
    if (!extra.isEmpty())
        rules += '\n' + QString(extra).replace(';', '\n');
    QLoggingCategory::setFilterRules(rules);
    engine.rootContext()->setContextProperty("QT_VERSION", QString(qVersion()));
}
