// Qt Quick tests of the pages and controls, run against the stand-ins of
// mock/ registered under the core's QML names.

#include "MockManager.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>
#include <QStandardPaths>
#include <QtQuickTest>

class Setup : public QObject {
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName("TavGUI");
        QCoreApplication::setOrganizationName("NorvaneUiTest");
        QSettings().clear();
        registerUiSingletons();
        registerMockCore();
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->rootContext()->setContextProperty("QT_VERSION", QString(qVersion()));
    }

    void cleanupTestCase() { QSettings().clear(); }
};

QUICK_TEST_MAIN_WITH_SETUP(ui, Setup)

#include "tst_ui.moc"
