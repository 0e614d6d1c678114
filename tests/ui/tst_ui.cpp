// Qt Quick tests of the window, pages and views on the real core, talking to
// module simulators on pseudo-terminals. The types are registered as the
// application registers them; QML reaches the simulators as "Simulators".

#include "SimulatorHub.h"
#include "manager/TavManager.h"
#include "serial/SerialPortManager.h"
#include "ui/QmlStartup.h"

#include <QFile>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtQuickTest>

#include <memory>

// Typing into a control of another window than the test's own, which is
// where the key functions of TestCase send their events.
class Keyboard : public QObject {
    Q_OBJECT

public:
    // Gives the item the focus and types the text into it; false when the
    // item cannot take the focus.
    Q_INVOKABLE bool type(QQuickItem* item, const QString& text)
    {
        if (!focus(item))
            return false;
        for (const QChar c : text)
            QTest::keyClick(item->window(), c.toLatin1());
        return true;
    }

    Q_INVOKABLE bool press(QQuickItem* item, int key, int modifiers = 0)
    {
        if (!focus(item))
            return false;
        QTest::keyClick(item->window(), static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
        return true;
    }

private:
    static bool focus(QQuickItem* item)
    {
        if (!item || !item->window())
            return false;
        item->window()->requestActivate();
        if (!QTest::qWaitForWindowActive(item->window()))
            return false;
        item->forceActiveFocus();
        return item->hasActiveFocus();
    }
};

// Files a test writes for the application to read, in a directory of their own.
class TestFiles : public QObject {
    Q_OBJECT

public:
    // Writes the text to a file of that name; its path, or "" on failure.
    Q_INVOKABLE QString write(const QString& name, const QString& text)
    {
        if (!m_dir)
            m_dir = std::make_unique<QTemporaryDir>();
        QFile file(m_dir->filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0)
            return {};
        return file.fileName();
    }

    // The file's text, or "" when it cannot be read.
    Q_INVOKABLE QString read(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

class Setup : public QObject {
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        QStandardPaths::setTestModeEnabled(true);
        setApplicationIdentity();
        QCoreApplication::setOrganizationName("NorvaneUiTest");
        QSettings().clear();

        m_hub = std::make_unique<SimulatorHub>();
        QString error;
        if (!m_hub->startAll(&error))
            qFatal("cannot start the simulators: %s", qPrintable(error));
        qputenv(SerialPortManager::EXTRA_PORTS_ENV, m_hub->extraPorts().toLocal8Bit());
        SimulatorHub* hub = m_hub.get();
        watchManagerCreation([hub](TavManager* manager) { hub->attach(manager); });
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QML_IMPORT_PATH);
        engine->rootContext()->setContextProperty("QT_VERSION", QString(qVersion()));
        engine->rootContext()->setContextProperty("Simulators", m_hub.get());
        engine->rootContext()->setContextProperty("Keyboard", &m_keyboard);
        engine->rootContext()->setContextProperty("TestFiles", &m_files);
        engine->rootContext()->setContextProperty("TEST_DATA_DIR", QStringLiteral(TAV_TEST_DATA_DIR));
        // The locale a run under another desktop language must really have.
        engine->rootContext()->setContextProperty("EXPECTED_LOCALE", qEnvironmentVariable("TAV_EXPECTED_LOCALE"));
    }

    void cleanupTestCase()
    {
        m_hub.reset();
        QSettings().clear();
    }

private:
    std::unique_ptr<SimulatorHub> m_hub;
    Keyboard m_keyboard;
    TestFiles m_files;
};

QUICK_TEST_MAIN_WITH_SETUP(ui, Setup)

#include "tst_ui.moc"
