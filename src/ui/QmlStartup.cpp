#include "QmlStartup.h"

#include "QmlTypes.h"
#include "TavVersion.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QQmlEngine>

void watchManagerCreation(std::function<void(TavManager*)> onManagerCreated)
{
    TavManagerType::setOnCreated(std::move(onManagerCreated));
}

void setApplicationIdentity()
{
    QGuiApplication::setApplicationName("TavGUI");
    QGuiApplication::setApplicationVersion(TAV_VERSION);
    QGuiApplication::setOrganizationName("Norvane");
    QGuiApplication::setOrganizationDomain("norvane.com");
    // Matches the installed desktop entry, so the window gets its icon and name.
    QGuiApplication::setDesktopFileName("com.norvane.TavGUI");
    QGuiApplication::setWindowIcon(QIcon(":/images/norvane_logo_dark_small.svg"));
}

void prepareEngine(QQmlEngine& engine)
{
    engine.addImportPath(QML_IMPORT_PATH);
    // Only critical messages by default; rules in QT_LOGGING_RULES still
    // apply on top, so that a developer can turn a category back on.
    QString rules = QStringLiteral("*.debug=false\n*.info=false\n*.warning=false\n*.critical=true");
    const QString extra = qEnvironmentVariable("QT_LOGGING_RULES");
    if (!extra.isEmpty())
        rules += '\n' + QString(extra).replace(';', '\n');
    QLoggingCategory::setFilterRules(rules);
}
