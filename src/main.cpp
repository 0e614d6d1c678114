#include <QGuiApplication>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQmlContext>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;

    QGuiApplication::setApplicationName("TavGUI");
    QGuiApplication::setApplicationVersion("4.0.2");
    QGuiApplication::setOrganizationName("Norvane");
    QGuiApplication::setOrganizationDomain("norvane.com");

    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Settings.qml"), "Settings", 1, 0, "Settings");
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Strings.qml"), "Strings", 1, 0, "Strings");
    qmlRegisterSingletonType(QUrl("qrc:/qml/singletons/Style.qml"), "Style", 1, 0, "Style");

    QLoggingCategory::setFilterRules("*.debug=false\n*.info=false\n*.warning=false\n*.critical=true");
    engine.rootContext()->setContextProperty("QT_VERSION", QString(qVersion()));

    engine.load(QUrl("qrc:/qml/main.qml"));
    if (engine.rootObjects().isEmpty())
        return -1;
    return app.exec();
}
