#pragma once

#include "ConfigComparison.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>

class TavManager;

// The window's import of a configuration file: first what the file changes
// against the views, without a word to the module; then, on the user's word,
// the file loaded into the views, or loaded, uploaded and, once the module
// has restored its parameters, read back to name every field that did not
// take.
class ConfigCheck : public QObject {
    Q_OBJECT
    Q_PROPERTY(TavManager* manager READ manager WRITE setManager NOTIFY managerChanged)
    // One map per field the file changes: "name", "views", "file" (an empty
    // text where the views show no such field).
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

    // Compares the file (a URL or a path) with the views; false, with the
    // reason shown as any failed operation, when it cannot be read.
    Q_INVOKABLE bool compareWithViews(const QString& fileUrl);
    // Loads the compared file into the views; nothing goes to the module.
    Q_INVOKABLE void load();
    // Loads the compared file, uploads it, and verifies it once uploaded.
    Q_INVOKABLE void loadUploadAndVerify();

    // What the window shows after the read-back.
    static QString verifyMessage(const QList<ConfigDifference>& left);

signals:
    void managerChanged();
    void differencesChanged();

private:
    void onProcessingDataChanged(const QString& message, bool error);
    void verify();
    // False when the file could not be loaded.
    bool loadFile();

    QPointer<TavManager> m_manager;
    QString m_filePath;
    QList<ConfigField> m_wanted;
    QList<ConfigDifference> m_differences;
    bool m_awaitingUpload = false;
    bool m_lastError = false;
};
