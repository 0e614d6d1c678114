// Configuration files: the exact sequence of set commands an upload would
// send, collected instead of sent, and read back through the dispatcher.
#include "TavManager.h"

#include "ResponseDispatch.h"

#include <QFile>
#include <QUrl>

void TavManager::exportConfig(QString filePath)
{
    m_logger->log(Logger::APP, "Exporting config to " + filePath + "...");

    m_exportMode = true;
    uploadConfig(false);
    m_exportMode = false;

    const bool written = m_logger->exportLogsToFile(filePath, m_exportBuffer, false);
    m_exportBuffer.clear();
    if (!written) {
        setProcessingData(false, "Unable to export config!", true);
        m_logger->log(
            Logger::APP, "Unable to export config: " + Logger::toLocalPath(filePath) + " cannot be written");
        return;
    }
    setProcessingData(false, "Configuration exported!", false);
    m_logger->log(Logger::APP, "Config exported successfully!");
}

void TavManager::importConfig(QString filePath)
{
    const QString localPath = QUrl(filePath).isLocalFile() ? QUrl(filePath).toLocalFile() : filePath;
    m_logger->log(Logger::APP, "Importing config from " + filePath + "...");

    auto fail = [this]() {
        setProcessingData(false, "Unable to import config!", true);
        m_logger->log(Logger::APP, "Unable to import config!");
    };

    QFile file(localPath);
    if (!m_atCmdHandler || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (!m_atCmdHandler)
            m_logger->log(Logger::APP, "Unable to import config: no evaluation kit connected");
        else
            m_logger->log(Logger::APP, "Unable to open " + localPath + ": " + file.errorString());
        fail();
        return;
    }

    while (!file.atEnd()) {
        // A configuration line is short: a longer one is cut and then refused.
        const QString line = QString::fromUtf8(file.readLine(64 * 1024)).trimmed();
        if (line.isEmpty())
            continue;
        if (!m_atCmdHandler->parse(line, true)) {
            m_logger->log(Logger::APP, "Unable to parse configuration entry: " + line);
            fail();
            return;
        }
        if (m_atCmdHandler->getId() == AtCmdHandler::LORA_DEUI) {
            m_logger->log(Logger::APP, "Configuration not allowed: device EUI cannot be set");
            fail();
            return;
        }
        // The date in a file is the one it was saved at: applying it would set
        // the tool's clock, and then the module's on upload, in the past.
        if (m_atCmdHandler->getId() == AtCmdHandler::UDATE) {
            m_logger->log(Logger::APP, "UTC date not imported: the upload sends the tool's current time");
            continue;
        }
        m_dispatch->apply(*m_atCmdHandler, line);
    }

    setProcessingData(false, "Configuration imported!", false);
    m_logger->log(Logger::APP, "Config imported successfully!");
}
