// Configuration files: the sequence of set commands an upload sends,
// collected by the configuration service instead of sent, and read back
// through the dispatcher.
#include "TavManager.h"

#include "ConfigurationService.h"
#include "ModuleConnection.h"
#include "ResponseDispatch.h"
#include "log/FileAccess.h"
#include "log/Helper.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

void TavManager::exportConfig(QString filePath)
{
    OperationTracker::Scope operation(*m_operations, QStringLiteral("exportConfig"));
    m_logger->log(Logger::APP, "Exporting config to " + filePath + "...");
    setProcessingData(true);

    ConfigurationService::Step failed = ConfigurationService::NO_STEP;
    const QList<ConfigCommand> commands = m_config->collect(&failed);
    // A partial file would upload a partial configuration when imported: the
    // file already there, if any, is left as it was.
    if (failed != ConfigurationService::NO_STEP) {
        setProcessingData(false, "Unable to export config!", true);
        logFailure("Unable to export config: the " + ConfigurationService::stepName(failed)
            + " could not be collected");
        operation.fail(QStringLiteral("Unable to export config!"), operation.failedRequests());
        return;
    }
    // Written whole or not at all: a failure keeps the file already there.
    if (!m_logger->exportLogsToFile(filePath, m_config->fileText(commands), false)) {
        setProcessingData(false, "Unable to export config!", true);
        logFailure("Unable to export config: " + Logger::toLocalPath(filePath) + ": " + m_logger->lastWriteError());
        operation.fail(QStringLiteral("Unable to export config!"));
        return;
    }
    setProcessingData(false, "Configuration exported!", false);
    m_logger->log(Logger::APP, "Config exported successfully!");
    operation.succeed(QStringLiteral("Configuration exported!"));
}

void TavManager::importConfig(QString filePath)
{
    const QString localPath = QUrl(filePath).isLocalFile() ? QUrl(filePath).toLocalFile() : filePath;
    m_logger->log(Logger::APP, "Importing config from " + filePath + "...");

    OperationTracker::Scope operation(*m_operations, QStringLiteral("importConfig"));
    // `entry` is the line of the file that was refused, if any.
    auto fail = [&](const QString& cause, const QString& entry = QString()) {
        logFailure(cause);
        setProcessingData(false, "Unable to import config!", true);
        m_logger->log(Logger::APP, "Unable to import config!");
        operation.fail(QStringLiteral("Unable to import config!"), entry.isEmpty() ? QStringList() : QStringList {entry});
    };

    AtCmdHandler* codec = m_connection->codec();
    if (!codec) {
        fail(QStringLiteral("Unable to import config: no evaluation kit connected"));
        return;
    }
    QStringList lines;
    QString error;
    if (!FileAccess::readConfigLines(localPath, &lines, &error)) {
        fail("Unable to open " + localPath + ": " + error);
        return;
    }

    // Whatever was applied shows in the views, even before a refused line.
    bool applied = false;
    QString entry;
    const QString cause = applyConfigLines(lines, *codec, &applied, &entry);
    if (applied)
        setNotUploadedFile(QFileInfo(localPath).fileName());
    if (!cause.isEmpty()) {
        fail(cause, entry);
        return;
    }
    // An empty file (or one holding only the date) would upload the views
    // as they are, and restart the kit, as though the file had set them.
    if (!applied) {
        fail("Unable to import config: " + localPath + " holds no configuration entry");
        return;
    }

    setProcessingData(false, "Configuration imported!", false);
    m_logger->log(Logger::APP, "Config imported successfully!");
    operation.succeed(QStringLiteral("Configuration imported!"));
}

QString TavManager::applyConfigLines(const QStringList& lines, AtCmdHandler& codec, bool* applied, QString* entry)
{
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        *entry = line;
        if (!codec.parse(line, true))
            return "Unable to parse configuration entry: " + Helper::shownText(line);
        if (codec.getId() == AtCmdHandler::LORA_DEUI)
            return QStringLiteral("Configuration not allowed: device EUI cannot be set");
        // The date in a file is the one it was saved at: applying it would set
        // the tool's clock, and then the module's on upload, in the past.
        if (codec.getId() == AtCmdHandler::UDATE) {
            m_logger->log(Logger::APP, "UTC date not imported: the upload sends the tool's current time");
            continue;
        }
        m_dispatch->apply(codec, line);
        *applied = true;
    }
    entry->clear();
    return {};
}

QStringList TavManager::viewConfigLines() const
{
    return m_config->fileText(m_config->viewCommands()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

void TavManager::setNotUploadedFile(const QString& fileName)
{
    if (m_notUploadedFile == fileName)
        return;
    m_notUploadedFile = fileName;
    emit notUploadedFileChanged();
}
