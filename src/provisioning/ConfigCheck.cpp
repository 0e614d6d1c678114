#include "ConfigCheck.h"

#include "ModuleConfigReader.h"
#include "log/FileAccess.h"
#include "manager/TavManager.h"

#include <QFile>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

ConfigCheck::ConfigCheck(QObject* parent)
    : QObject(parent)
{
}

void ConfigCheck::setManager(TavManager* manager)
{
    if (m_manager == manager)
        return;
    if (m_manager)
        QObject::disconnect(m_manager, nullptr, this, nullptr);
    m_manager = manager;
    if (m_manager)
        QObject::connect(m_manager, &TavManager::processingDataChanged, this, &ConfigCheck::onProcessingDataChanged);
    emit managerChanged();
}

QVariantList ConfigCheck::differences() const
{
    QVariantList list;
    for (const ConfigDifference& d : m_differences) {
        list.append(QVariantMap {{"name", d.name}, {"views", d.moduleValue}, {"file", d.fileValue}});
    }
    return list;
}

bool ConfigCheck::compareWithViews(const QString& fileUrl)
{
    if (!m_manager)
        return false;
    const QUrl url(fileUrl);
    const QString path = url.isLocalFile() ? url.toLocalFile() : fileUrl;
    const auto fail = [this](const QString& why) {
        m_manager->logger()->log(Logger::APP, why);
        m_manager->setProcessingData(false, "Unable to import config!", true);
        return false;
    };
    if (!m_manager->board())
        return fail("Unable to import config: no evaluation kit connected");
    QStringList lines;
    QString error;
    if (!FileAccess::readConfigLines(path, &lines, &error))
        return fail("Unable to open " + path + ": " + error);
    QString problem;
    const QList<ConfigField> wanted = ConfigComparison::fieldsOfRequests(lines, &problem);
    if (!problem.isEmpty())
        return fail("Unable to import config: " + problem);

    // Everything the views hold can be compared, the application key too; a
    // field they do not show (the prediction settings of a periodic profile)
    // is one the file changes.
    QList<ConfigField> shown = ConfigComparison::fieldsOfRequests(m_manager->viewConfigLines());
    QList<ConfigField> readableWanted = wanted;
    for (ConfigField& field : shown)
        field.readable = true;
    for (ConfigField& field : readableWanted)
        field.readable = true;
    m_differences = ConfigComparison::compare(shown, readableWanted);
    for (ConfigDifference& difference : m_differences)
        difference.kind = ConfigDifference::DIFFERENT;
    m_wanted = wanted;
    m_filePath = path;
    emit differencesChanged();
    return true;
}

bool ConfigCheck::loadFile()
{
    if (!m_manager || m_filePath.isEmpty())
        return false;
    m_lastError = false;
    m_manager->importConfig(m_filePath);
    return !m_lastError && m_manager->board();
}

void ConfigCheck::load()
{
    m_awaitingUpload = false;
    loadFile();
}

void ConfigCheck::loadUploadAndVerify()
{
    m_awaitingUpload = false;
    if (!loadFile())
        return;
    m_awaitingUpload = true;
    m_manager->uploadConfig();
    // A module that does not report its reset is done with the upload now.
    if (m_awaitingUpload && !m_manager->processingData())
        onProcessingDataChanged(QString(), false);
}

void ConfigCheck::onProcessingDataChanged(const QString&, bool error)
{
    m_lastError = m_lastError || error;
    if (!m_awaitingUpload || m_manager->processingData())
        return;
    m_awaitingUpload = false;
    if (error)
        return;
    // Not from inside the handler of the line that ended the upload: the
    // read-back waits for answers of its own.
    QTimer::singleShot(0, this, &ConfigCheck::verify);
}

void ConfigCheck::verify()
{
    if (!m_manager || !m_manager->board())
        return;
    m_manager->setProcessingData(true);
    ModuleConfigReader reader(*m_manager);
    const QList<ConfigDifference> left = reader.differencesFrom(m_wanted);
    m_manager->setProcessingData(
        false, verifyMessage(left), ConfigComparison::countDifferent(left) > 0);
}

QString ConfigCheck::verifyMessage(const QList<ConfigDifference>& left)
{
    if (ConfigComparison::countDifferent(left) == 0)
        return QStringLiteral("Configuration uploaded and verified!");
    return ConfigComparison::uploadFailure(left);
}
