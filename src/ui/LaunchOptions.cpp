#include "LaunchOptions.h"

#include "log/Helper.h"
#include "log/Logger.h"
#include "manager/TavManager.h"
#include "serial/SerialPortManager.h"
#include "tx/PayloadModel.h"
#include "tx/TxManager.h"

#include <QCommandLineParser>
#include <QTextStream>
#include <QTimer>

LaunchOptions::LaunchOptions(QObject* parent)
    : QObject(parent)
{
}

void LaunchOptions::addTo(QCommandLineParser& parser)
{
    parser.addOption({"module", "Connect at start-up to a module of this type: TAV1, TAV2, RIX or TREKON.", "type"});
    parser.addOption({"port", "The serial port (name or device path) to connect to at start-up.", "path"});
    parser.addOption({"reconnect", "When the port vanishes, wait for it to come back and connect again."});
    parser.addOption({"tx",
        "Once connected, run a periodic transmission sequence of this payload (repeatable), with the saved "
        "period, redundancy and delay.",
        "message"});
    parser.addOption({"repeat", "Repetitions of the sequence started with --tx (1 to 255).", "n", "1"});
    parser.addOption({"predict-every",
        "Predict the passes over the beacon position now and again every N minutes (1 to 1440), from the "
        "orbit data in hand, downloading them first when there are none.",
        "minutes"});
    parser.addOption({"log", "Append the device log to FILE (same lines as the log pane).", "file"});
    parser.addOption({"demo",
        "Try the tool without hardware: list one simulated module of each variant first among the ports."});
}

bool LaunchOptions::read(const QCommandLineParser& parser, QString* error)
{
    if (parser.isSet("module")) {
        const int module = Helper::strToEnum<TavBoard::Module>(parser.value("module").toUpper());
        if (module <= 0) {
            *error = "unknown module '" + parser.value("module") + "' (TAV1, TAV2, RIX or TREKON)";
            return false;
        }
        m_module = static_cast<TavBoard::Module>(module);
    }
    m_port = parser.value("port");
    if (connects() != !m_port.isEmpty()) {
        *error = QStringLiteral("--module and --port go together");
        return false;
    }
    m_reconnect = parser.isSet("reconnect");
    m_payloads = parser.values("tx");
    bool ok = false;
    m_repeat = parser.value("repeat").toInt(&ok);
    if (!ok || m_repeat < 1 || m_repeat > 255) {
        *error = QStringLiteral("--repeat takes a number from 1 to 255");
        return false;
    }
    if (!connects() && (m_reconnect || !m_payloads.isEmpty())) {
        *error = QStringLiteral("--reconnect and --tx need --module and --port");
        return false;
    }
    if (parser.isSet("predict-every")) {
        m_predictEveryMinutes = parser.value("predict-every").toInt(&ok);
        if (!ok || m_predictEveryMinutes < 1 || m_predictEveryMinutes > 1440) {
            *error = QStringLiteral("--predict-every takes a number of minutes from 1 to 1440");
            return false;
        }
    }
    m_logPath = parser.value("log");
    m_demo = parser.isSet("demo");
    return true;
}

bool LaunchOptions::startDemo(QString* error)
{
    if (!m_demo)
        return true;
    // The simulated user presses the TREKON's button 1.5 s after the port opens.
    return m_demoModules.start({TavBoard::TAV1, TavBoard::TAV2, TavBoard::RIX, TavBoard::TREKON}, 1500, error);
}

void LaunchOptions::listDemo(TavManager* manager) const
{
    if (m_demo)
        manager->serialPort()->setNamedPorts(m_demoModules.ports());
}

bool LaunchOptions::apply(TavManager* manager, [[maybe_unused]] QString* error)
{
    m_manager = manager;
    // A log file that cannot be written is told in the window, which works
    // on without it.
    const auto tell = [this, manager](const QString& text) {
        manager->logger()->log(Logger::APP, text);
        manager->setProcessingData(false, text, true);
    };
    QString reason;
    if (!m_logPath.isEmpty() && !m_log.open(m_logPath, &reason)) {
        QTimer::singleShot(0, this, [tell, this, reason]() {
            tell("Unable to open the log file " + m_logPath + ": " + reason);
        });
    } else if (!m_logPath.isEmpty()) {
        m_log.follow(manager->logger());
        connect(&m_log, &LogFile::writeFailed, this,
            [tell, this](const QString& why) { tell("Unable to write the log file " + m_logPath + ": " + why); });
    }
    // Switches the window's own choice on; without the option the saved
    // choice stands.
    if (m_reconnect)
        manager->setReconnect(true);
    if (connects())
        QTimer::singleShot(0, this, &LaunchOptions::run);
    if (m_predictEveryMinutes > 0) {
        m_predictTimer = new QTimer(this);
        m_predictTimer->setInterval(m_predictEveryMinutes * 60 * 1000);
        TxManager* tx = manager->tx();
        // As the planner's "Predict passes" button does; the outcome is logged.
        connect(m_predictTimer, &QTimer::timeout, tx, &TxManager::predictPasses);
        m_predictTimer->start();
        QTimer::singleShot(0, tx, &TxManager::predictPasses);
    }
    return true;
}

void LaunchOptions::run()
{
    bool connected = false;
    const auto once = connect(m_manager, &TavManager::connected, this, [&connected]() { connected = true; });
    m_manager->connect(m_module, m_port, QStringLiteral("Default"));
    disconnect(once);
    if (!connected) {
        QTextStream(stderr) << "tavgui: unable to connect to " << m_port << Qt::endl;
        return;
    }
    if (m_payloads.isEmpty())
        return;
    TxManager* tx = m_manager->tx();
    // The module's own setting may have chosen another profile meanwhile.
    tx->setSelectedProfile(TxManager::PERIODIC);
    PayloadModel* payloads = tx->payloadListModel();
    while (payloads->rowCount() > 0)
        payloads->remove(0);
    for (const QString& payload : std::as_const(m_payloads))
        tx->addPayloadItem(payload);
    tx->start(static_cast<quint8>(m_repeat));
}
