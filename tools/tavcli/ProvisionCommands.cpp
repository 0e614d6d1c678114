// Comparing the module with a configuration file, verifying an upload, and
// provisioning one port for `provision`.
#include "CliCommands.h"

#include "CliSession.h"
#include "log/FileAccess.h"
#include "provisioning/ConfigComparison.h"
#include "provisioning/ModuleConfigReader.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace CliCommands {

namespace {

bool readConfigFields(const QString& path, QList<ConfigField>* fields, QString* error)
{
    QStringList lines;
    if (!FileAccess::readConfigLines(path, &lines, error)) {
        *error = "cannot read " + path + ": " + *error;
        return false;
    }
    QString problem;
    *fields = ConfigComparison::fieldsOfRequests(lines, &problem);
    if (!problem.isEmpty()) {
        *error = path + ": " + problem;
        return false;
    }
    return true;
}

void printDifferences(const QList<ConfigDifference>& differences)
{
    QTextStream out(stdout);
    for (const ConfigDifference& difference : differences)
        out << difference.text() << Qt::endl;
}

// The module's fields against the file's: a lost device or a Ctrl-C ends
// the comparison with its own status instead of a list of unread fields.
int compareWith(CliSession& session, const QList<ConfigField>& wanted, QList<ConfigDifference>* differences)
{
    session.clearFailures();
    ModuleConfigReader reader(session.manager());
    *differences = reader.differencesFrom(wanted);
    if (session.interrupted())
        return session.fail("interrupted", CliSession::EXIT_INTERRUPTED);
    if (!session.lastSerialError().isEmpty())
        return session.fail(session.lastSerialError(), CliSession::EXIT_PORT);
    return CliSession::EXIT_OK;
}

} // namespace

int diffConfig(CliSession& session, const QString& path)
{
    QList<ConfigField> wanted;
    QString error;
    if (!readConfigFields(path, &wanted, &error))
        return session.fail(error);
    QList<ConfigDifference> differences;
    const int status = compareWith(session, wanted, &differences);
    if (status != CliSession::EXIT_OK)
        return status;
    printDifferences(differences);
    return ConfigComparison::countDifferent(differences) == 0 ? CliSession::EXIT_OK : CliSession::EXIT_FAILED;
}

int verifyUpload(CliSession& session, const QString& path)
{
    QList<ConfigField> wanted;
    QString error;
    if (!readConfigFields(path, &wanted, &error))
        return session.fail(error);
    QList<ConfigDifference> left;
    const int status = compareWith(session, wanted, &left);
    if (status != CliSession::EXIT_OK)
        return status;
    if (ConfigComparison::countDifferent(left) > 0) {
        printDifferences(left);
        return session.fail(ConfigComparison::uploadFailure(left));
    }
    session.say("Configuration verified.");
    return CliSession::EXIT_OK;
}

int provisionPort(CliSession& session, const QString& path)
{
    QJsonObject result;
    const TavBoard* board = session.manager().board();
    result["identifier"] = board->id();
    result["firmware"] = board->firmwareVersion();
    QTextStream out(stdout);
    const auto finish = [&](const QString& outcome, int status, const QString& error = QString()) {
        result["result"] = outcome;
        if (!error.isEmpty())
            result["error"] = error;
        out << QJsonDocument(result).toJson(QJsonDocument::Compact) << Qt::endl;
        return status;
    };

    QList<ConfigField> wanted;
    QString error;
    if (!readConfigFields(path, &wanted, &error))
        return finish("failed", session.fail(error), error);
    QList<ConfigDifference> found;
    int status = compareWith(session, wanted, &found);
    if (status != CliSession::EXIT_OK)
        return finish(session.interrupted() ? "interrupted" : "failed", status, session.lastSerialError());
    result["differencesFound"] = ConfigComparison::countDifferent(found);

    // Write-only fields cannot be compared: the upload always goes out. A get
    // the kit refused while comparing is no reason to stop it.
    session.clearFailures();
    status = importConfig(session, path, false);
    if (status != CliSession::EXIT_OK)
        return finish(session.interrupted() ? "interrupted" : "failed", status, session.lastFailure());

    QList<ConfigDifference> left;
    status = compareWith(session, wanted, &left);
    if (status != CliSession::EXIT_OK)
        return finish(session.interrupted() ? "interrupted" : "failed", status, session.lastSerialError());
    result["differencesLeft"] = ConfigComparison::countDifferent(left);
    if (ConfigComparison::countDifferent(left) > 0)
        return finish("differs", CliSession::EXIT_FAILED, ConfigComparison::uploadFailure(left));
    return finish("verified", CliSession::EXIT_OK);
}

} // namespace CliCommands
