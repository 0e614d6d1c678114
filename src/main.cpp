#include <QGuiApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQmlEngine>

#include "QmlRegistration.h"

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

    registerQmlTypes();

    QLoggingCategory::setFilterRules("*.debug=false\n*.info=false\n*.warning=false\n*.critical=true");
    engine.rootContext()->setContextProperty("QT_VERSION", QString(qVersion()));

    engine.load(QUrl("qrc:/qml/main.qml"));
    if (engine.rootObjects().isEmpty())
        return -1;
    return app.exec();
}
