#include "CliCommands.h"

#include "CliSession.h"
#include "ConfigReport.h"
#include "log/FileAccess.h"
#include "orbit/PrepassModel.h"
#include "orbit/SatelliteAopModel.h"
#include "protocol/VariantCapabilities.h"
#include "serial/SerialPortManager.h"
#include "tx/PayloadModel.h"
#include "tx/PeriodicProfile.h"
#include "tx/PrepassProfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextStream>

#include <optional>
#include <unistd.h>

namespace CliCommands {

namespace {

int printReport(const QJsonObject& report, bool json)
{
    QTextStream out(stdout);
    if (json)
        out << QJsonDocument(report).toJson(QJsonDocument::Indented);
    else
        out << ConfigReport::toText(report);
    out.flush();
    return CliSession::EXIT_OK;
}

// Reads what the module holds of its configuration. The evaluation kit has
// read it all while connecting; a module without prediction settings holds none.
void readConfiguration(CliSession& session)
{
    TavManager& manager = session.manager();
    const TavBoard* board = manager.board();
    if (board->capabilities().configurationFile || !board->knows(AtCmdHandler::PREPASS_CFG))
        return;
    manager.getPrepassEnable();
    manager.getModuleUtcDate();
    manager.getGnssPosition();
    manager.getAopData();
    manager.getPrepassConfig();
}

// The line of `path` that holds `entry`, counted from 1; 0 when not found.
int lineNumberOf(const QString& path, const QString& entry)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        if (QString::fromUtf8(file.readLine(64 * 1024)).trimmed() == entry)
            return number;
    }
    return 0;
}

QString oneLine(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace('\n', ' ');
}

} // namespace

int listPorts(CliSession& session, bool details)
{
    const QList<PortEntry>& ports = session.manager().serialPort()->portListModel()->ports();
    QTextStream out(stdout);
    for (const PortEntry& port : ports) {
        out << port.name;
        if (details && !port.details().isEmpty())
            out << '\t' << port.details();
        out << Qt::endl;
    }
    if (ports.isEmpty())
        session.say("No serial port found.");
    return CliSession::EXIT_OK;
}

int info(CliSession& session, bool json)
{
    // The identity was read while connecting.
    if (!session.requestFailure().isEmpty())
        return session.fail(session.requestFailure());
    return printReport(ConfigReport::identity(session.manager()), json);
}

int getConfig(CliSession& session, bool json)
{
    TavManager& manager = session.manager();
    readConfiguration(session);
    if (!session.requestFailure().isEmpty())
        return session.failOrInterrupted(session.requestFailure());
    // JSON sorts its keys; the text keeps the identity first.
    QList<QPair<QString, QJsonObject>> sections = {
        {"identity", ConfigReport::identity(manager)},
        {"configuration", ConfigReport::configuration(manager)},
    };
    if (manager.board()->knows(AtCmdHandler::AOP))
        sections.append({"orbitData", ConfigReport::satellites(manager)});
    QJsonObject report;
    for (const auto& [name, section] : std::as_const(sections))
        report[name] = section;
    if (json)
        return printReport(report, true);
    for (const auto& [name, section] : std::as_const(sections))
        printReport(QJsonObject {{name, section}}, false);
    return CliSession::EXIT_OK;
}

int exportConfig(CliSession& session, const QString& path)
{
    // The evaluation kit has read its whole configuration while connecting.
    if (!session.requestFailure().isEmpty())
        return session.failOrInterrupted(session.requestFailure());
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    session.clearFailures();
    session.manager().exportConfig(absolutePath);
    // A step that could not be collected leaves a file of the commands before it.
    const OperationResult exported = session.manager().lastOperationResult();
    if (!exported.ok())
        return session.fail(exported.cause.isEmpty()
                ? QStringLiteral("the configuration could not be collected")
                : exported.cause);
    session.say("Configuration written to " + path);
    return CliSession::EXIT_OK;
}

int importConfig(CliSession& session, const QString& path, bool verify)
{
    TavManager& manager = session.manager();
    // The kit's configuration was read while connecting: what the file does
    // not set keeps the kit's value.
    if (!session.requestFailure().isEmpty())
        return session.failOrInterrupted(session.requestFailure());

    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    session.clearFailures();
    manager.importConfig(absolutePath);
    const OperationResult imported = manager.lastOperationResult();
    if (!imported.ok()) {
        // A refused entry is named with its line.
        if (!imported.failures.isEmpty()) {
            const int line = lineNumberOf(absolutePath, imported.failures.constFirst());
            return session.fail(path + ":" + QString::number(line) + ": " + imported.reason());
        }
        return session.fail(imported.reason());
    }
    session.say("Configuration read from " + path + ", uploading...");

    // A kit ends the upload when it has restored its parameters; an
    // unplugged one ends it too.
    session.clearFailures();
    std::optional<OperationResult> upload;
    const auto finished = QObject::connect(&manager, &TavManager::operationFinished, &session,
        [&upload](const QString& operation, const OperationResult& result) {
            if (operation == QLatin1String("uploadConfig"))
                upload = result;
        });
    manager.uploadConfig();
    if (!upload && !session.interrupted()) {
        session.say("Waiting for the evaluation kit to restore its parameters...");
        session.waitFor([&upload]() { return upload.has_value(); }, 30000);
    }
    QObject::disconnect(finished);
    if (!upload)
        return session.failOrInterrupted(QStringLiteral("the evaluation kit did not confirm the upload"));
    if (!upload->ok() || session.interrupted())
        return session.failOrInterrupted(upload->reason());
    session.say("Configuration uploaded.");
    return verify ? verifyUpload(session, path) : CliSession::EXIT_OK;
}

QString unreadableConfig(const QString& path)
{
    QStringList lines;
    QString error;
    if (QFileInfo(path).isDir())
        return QStringLiteral("it is a folder");
    if (!FileAccess::readConfigLines(path, &lines, &error))
        return error;
    for (const QString& line : std::as_const(lines)) {
        if (!line.trimmed().isEmpty())
            return {};
    }
    return QStringLiteral("it holds no configuration entry");
}

int customCommand(CliSession& session, const QString& command)
{
    session.clearFailures();
    // The request ends on its own answer (a list at its end marker) or at
    // its timeout; lines the module sends meanwhile of its own accord are
    // in the log, not in the answer.
    const bool ok = session.manager().sendCustomAtCmd(command);
    QTextStream out(stdout);
    for (const QString& line : session.manager().lastRequestAnswer())
        out << line << Qt::endl;
    const RequestResult result = session.manager().lastRequestResult();
    // Silence (or only lines that are no answer) ends in "no answer".
    if (!ok)
        return session.failOrInterrupted(
            result.text.isEmpty() ? QStringLiteral("the command failed") : result.text);
    return session.interrupted() ? session.fail("interrupted", CliSession::EXIT_INTERRUPTED)
                                 : CliSession::EXIT_OK;
}

bool fetchAop(CliSession& session, QString* failure)
{
    if (session.manager().downloadAopData())
        return true;
    // The cause of a failed download is the network error's name.
    const OperationResult result = session.manager().lastOperationResult();
    *failure = result.text.isEmpty() ? QStringLiteral("Unable to fetch AOP data") : result.text;
    if (!result.cause.isEmpty())
        *failure += " (" + result.cause + ")";
    *failure += "\n  " + PrepassProfile::AOP_URL_HINT;
    return false;
}

int downloadAop(CliSession& session)
{
    QString failure;
    if (!fetchAop(session, &failure))
        return session.failOrInterrupted(failure);
    return printReport(ConfigReport::satellites(session.manager()), false);
}

int uploadAop(CliSession& session)
{
    TavManager& manager = session.manager();
    // The module's own list names the satellites it takes.
    session.clearFailures();
    if (manager.tx()->prepassProfile()->satelliteAopModel()->rowCount() == 0)
        manager.getAopData();
    if (!session.requestFailure().isEmpty())
        return session.failOrInterrupted(session.requestFailure());
    QString failure;
    if (!fetchAop(session, &failure))
        return session.failOrInterrupted(failure);
    session.clearFailures();
    if (!manager.setAopDataAndConstellationStatus()) {
        const QString cause = manager.lastOperationResult().cause;
        return session.failOrInterrupted(
            cause.isEmpty() ? QStringLiteral("no satellite of the module to upload") : cause);
    }
    session.say("Orbit data uploaded.");
    return CliSession::EXIT_OK;
}

int nextPass(CliSession& session, bool json)
{
    TavManager& manager = session.manager();
    const PrepassProfile* prepass = manager.tx()->prepassProfile();
    session.clearFailures();
    // The module predicts from its own orbit data: with that read back, the
    // manager needs nothing from the orbit-data service.
    if (prepass->satelliteAopModel()->rowCount() == 0)
        manager.getAopData();
    session.clearFailures();
    manager.getSatelliteNextPass();
    const OperationResult pass = manager.lastOperationResult();
    if (!pass.ok())
        return session.failOrInterrupted(
            pass.cause.isEmpty() ? QStringLiteral("the module gave no next pass") : pass.cause);
    return printReport(ConfigReport::nextPass(manager), json);
}

namespace {

// The time until the next transmission: rewritten in place on a terminal,
// one line per new wait otherwise.
class Countdown {
public:
    explicit Countdown(bool quiet)
        : m_quiet(quiet)
        , m_tty(::isatty(STDOUT_FILENO) != 0)
        , m_out(stdout)
    {
    }

    void show(int seconds)
    {
        if (m_quiet || seconds <= 0)
            return;
        if (m_tty) {
            m_out << "\r\033[Knext transmission in " << seconds << " s" << Qt::flush;
            m_shown = true;
        } else if (seconds > m_last) {
            m_out << "next transmission in " << seconds << " s" << Qt::endl;
        }
        m_last = seconds;
    }

    void line(const QString& text)
    {
        if (m_quiet)
            return;
        if (m_shown)
            m_out << "\r\033[K";
        m_shown = false;
        m_out << text << Qt::endl;
    }

    void finish()
    {
        if (m_shown)
            m_out << "\r\033[K" << Qt::flush;
        m_shown = false;
    }

private:
    bool m_quiet;
    bool m_tty;
    bool m_shown = false;
    int m_last = 0;
    QTextStream m_out;
};

// Puts the request's payloads and periodic settings in place and selects
// its profile; why a payload cannot be carried, or empty.
QString loadPayloads(TxManager& tx, const TxRequest& request)
{
    PayloadModel* payloads = tx.payloadListModel();
    while (payloads->rowCount() > 0)
        payloads->remove(0);
    for (const QString& message : request.messages) {
        tx.addPayloadItem(message);
        const QModelIndex index = payloads->index(payloads->rowCount() - 1);
        payloads->setData(index, request.ack, PayloadModel::OptionAckRole);
        payloads->setData(index, request.mail, PayloadModel::OptionMailRole);
        payloads->setData(index, request.important, PayloadModel::OptionImportantRole);
    }
    PeriodicProfile* periodic = tx.periodicProfile();
    if (request.period >= 0)
        periodic->setPeriod(static_cast<quint8>(request.period));
    if (request.redundancy >= 0)
        periodic->setRedundancy(static_cast<quint8>(request.redundancy));
    if (request.delay >= 0)
        periodic->setDelay(static_cast<quint8>(request.delay));
    // Selecting the profile gives the payloads its redundancy.
    tx.setSelectedProfile(request.profile);
    // A payload the module cannot carry never reaches the wire.
    for (int i = 0; i < payloads->rowCount(); ++i) {
        const QString refusal = payloads->refusal(static_cast<quint8>(i));
        if (!refusal.isEmpty())
            return "payload " + payloads->getMessage(static_cast<quint8>(i)) + ": " + refusal;
    }
    return {};
}

// The exit status of a sequence that ended with `outcome`; a report that
// could not be written fails a sequence that went well.
int sequenceStatus(
    CliSession& session, const std::optional<OperationResult>& ended, const QString& reportError)
{
    // The wait ends on the outcome or on an interruption.
    if (session.interrupted() || !ended)
        return session.fail("interrupted", CliSession::EXIT_INTERRUPTED);
    const OperationResult& outcome = *ended;
    if (outcome.status == OperationResult::CANCELLED)
        return session.fail(QStringLiteral("the sequence stopped"));
    if (!outcome.ok())
        return session.fail(oneLine(outcome.text),
            outcome.status == OperationResult::DEVICE_LOST ? CliSession::EXIT_PORT : CliSession::EXIT_FAILED);
    if (!reportError.isEmpty())
        return session.fail(reportError);
    return CliSession::EXIT_OK;
}

// Appends each record to `report` as its Tx ends, so a killed run keeps
// every record up to the kill. A line that does not reach the file fails the
// command at its end, naming the system's reason, in `error`; the sequence
// itself goes on.
void appendRecords(
    CliSession& session, TxRecordModel& records, QFile& report, const TxRequest& request, QString* error)
{
    QObject::connect(
        &records, &TxRecordModel::recordAdded, &session, [&report, &request, error](const TxRecord& record) {
            if (!report.isOpen())
                return;
            const QByteArray line
                = request.reportCsv ? TxRecordFormat::csvLine(record) : TxRecordFormat::jsonLine(record);
            if ((report.write(line) != line.size() || !report.flush()) && error->isEmpty())
                *error = "unable to write " + request.reportPath + ": " + report.errorString();
        });
}

// Opens the Tx report for appending, a CSV one with its header when new.
bool openReport(QFile& report, bool csv)
{
    if (!report.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    if (csv && report.size() == 0)
        report.write(TxRecordFormat::csvHeader());
    return report.flush();
}

} // namespace

int transmit(CliSession& session, const TxRequest& request)
{
    TavManager& manager = session.manager();
    TxManager* tx = manager.tx();
    if (request.profile == TxManager::PREPASS && !manager.importPrepassData(request.csvPath)) {
        const QString cause = manager.lastOperationResult().cause;
        return session.fail(cause.isEmpty() ? "unable to import " + request.csvPath : cause);
    }

    const QString refusal = loadPayloads(*tx, request);
    if (!refusal.isEmpty())
        return session.fail(refusal, CliSession::EXIT_USAGE);

    // The report is opened before anything is sent: a file that cannot be
    // written stops the command, not the campaign's record.
    QFile report(request.reportPath);
    if (!request.reportPath.isEmpty() && !openReport(report, request.reportCsv))
        return session.fail(
            "unable to write " + request.reportPath + ": " + report.errorString(), CliSession::EXIT_USAGE);
    QString reportError;
    appendRecords(session, *tx->txRecords(), report, request, &reportError);

    std::optional<OperationResult> outcome;
    Countdown countdown(session.quiet());
    const auto finished = QObject::connect(&manager, &TavManager::operationFinished, &session,
        [&outcome](const QString& operation, const OperationResult& result) {
            if (operation == QLatin1String("txSequence") && !outcome)
                outcome = result;
        });
    // A vanished device ends the sequence: nothing more can reach the module,
    // unless it is to be waited for.
    manager.setReconnect(request.reconnect);
    // The lines that tell how the sequence goes are echoed, whatever they say.
    QObject::connect(manager.logger(), &Logger::eventLogged, &session,
        [&countdown](Logger::Event, const QString& line) { countdown.line(line); });
    QObject::connect(tx, &TxManager::timeUntilNextTxChanged, &session,
        [tx, &countdown]() { countdown.show(tx->timeUntilNextTx()); });

    manager.startTxSequence(request.repeat);
    session.waitFor([&outcome]() { return outcome.has_value(); }, -1);
    if (tx->sequenceRunning())
        tx->stop();
    countdown.finish();
    QObject::disconnect(finished);
    QObject::disconnect(tx, nullptr, &session, nullptr);
    QObject::disconnect(tx->txRecords(), nullptr, &session, nullptr);
    QObject::disconnect(manager.logger(), &Logger::eventLogged, &session, nullptr);
    if (report.isOpen()) {
        report.close();
        if (tx->txRecords()->count() > 0)
            QTextStream(stdout) << tx->txRecords()->summary() << Qt::endl;
    }
    return sequenceStatus(session, outcome, reportError);
}

} // namespace CliCommands
