// Configuration files: the exact sequence of set commands an upload would
// send, collected instead of sent, and read back through the dispatcher.
#include "TavManager.h"

#include "ModuleConnection.h"
#include "ResponseDispatch.h"

#include <QFile>
#include <QUrl>

void TavManager::exportConfig(QString filePath)
{
    OperationTracker::Scope operation(*m_operations, QStringLiteral("exportConfig"));
    m_logger->log(Logger::APP, "Exporting config to " + filePath + "...");

    m_exportMode = true;
    uploadConfig(false);
    m_exportMode = false;
    const bool collected = m_operations->last().ok();

    const bool written = m_logger->exportLogsToFile(filePath, m_exportBuffer, false);
    m_exportBuffer.clear();
    if (!written) {
        setProcessingData(false, "Unable to export config!", true);
        logFailure("Unable to export config: " + Logger::toLocalPath(filePath) + " cannot be written");
        operation.fail(QStringLiteral("Unable to export config!"));
        return;
    }
    setProcessingData(false, "Configuration exported!", false);
    m_logger->log(Logger::APP, "Config exported successfully!");
    // The file holds the commands before the step that could not be collected.
    if (collected)
        operation.succeed(QStringLiteral("Configuration exported!"));
    else
        operation.fail(QStringLiteral("The configuration could not be collected"));
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

    QFile file(localPath);
    AtCmdHandler* codec = m_connection->codec();
    if (!codec) {
        fail(QStringLiteral("Unable to import config: no evaluation kit connected"));
        return;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        fail("Unable to open " + localPath + ": " + file.errorString());
        return;
    }

    while (!file.atEnd()) {
        // A configuration line is short: a longer one is cut and then refused.
        const QString line = QString::fromUtf8(file.readLine(64 * 1024)).trimmed();
        if (line.isEmpty())
            continue;
        if (!codec->parse(line, true)) {
            fail("Unable to parse configuration entry: " + line, line);
            return;
        }
        if (codec->getId() == AtCmdHandler::LORA_DEUI) {
            fail(QStringLiteral("Configuration not allowed: device EUI cannot be set"), line);
            return;
        }
        // The date in a file is the one it was saved at: applying it would set
        // the tool's clock, and then the module's on upload, in the past.
        if (codec->getId() == AtCmdHandler::UDATE) {
            m_logger->log(Logger::APP, "UTC date not imported: the upload sends the tool's current time");
            continue;
        }
        m_dispatch->apply(*codec, line);
    }

    setProcessingData(false, "Configuration imported!", false);
    m_logger->log(Logger::APP, "Config imported successfully!");
    operation.succeed(QStringLiteral("Configuration imported!"));
}
