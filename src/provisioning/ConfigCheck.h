#pragma once

#include "ConfigComparison.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>

class TavManager;

// The window's import of a configuration file: first the differences between
// the module and the file, then, on the user's word, the import and upload,
// and once the module has restored its parameters, a read-back that names
// every field that did not take.
class ConfigCheck : public QObject {
    Q_OBJECT
    Q_PROPERTY(TavManager* manager READ manager WRITE setManager NOTIFY managerChanged)
    // One map per field: "name", "module", "file", "readable", "text".
    Q_PROPERTY(QVariantList differences READ differences NOTIFY differencesChanged)
    Q_PROPERTY(int differentCount READ differentCount NOTIFY differencesChanged)
    Q_PROPERTY(QString filePath READ filePath NOTIFY differencesChanged)

public:
    explicit ConfigCheck(QObject* parent = nullptr);

    TavManager* manager() const { return m_manager; }
    void setManager(TavManager* manager);
    QVariantList differences() const;
    int differentCount() const { return ConfigComparison::countDifferent(m_differences); }
    QString filePath() const { return m_filePath; }

    // Reads the module and compares it with the file (a URL or a path);
    // false, with the reason shown as any failed operation, when it cannot.
    Q_INVOKABLE bool compareWithFile(const QString& fileUrl);
    // Imports the compared file, uploads it, and verifies it once uploaded.
    Q_INVOKABLE void uploadFile();

    // What the window shows after the read-back.
    static QString verifyMessage(const QList<ConfigDifference>& left);

signals:
    void managerChanged();
    void differencesChanged();

private:
    void onProcessingDataChanged(const QString& message, bool error);
    void verify();

    QPointer<TavManager> m_manager;
    QString m_filePath;
    QList<ConfigField> m_wanted;
    QList<ConfigDifference> m_differences;
    bool m_awaitingUpload = false;
    bool m_lastError = false;
};
