#pragma once

#include <QFile>
#include <QObject>
#include <QString>

class TxRecordModel;
struct TxRecord;

// Keeps the campaign on disk as it happens: each record is appended to a
// JSON Lines file and flushed, so that a crash or a closed laptop loses
// nothing, and the last campaign is read back on the next start. A new
// campaign (the list cleared) starts the file again.
class TxRecordJournal : public QObject {
    Q_OBJECT

public:
    // A campaign file holds at most the model's records: well under this.
    static constexpr qint64 MAX_FILE_BYTES = 64 * 1024 * 1024;

    TxRecordJournal(TxRecordModel& model, const QString& path, QObject* parent = nullptr);

    // Reads the file back into the model; lines that do not parse are
    // skipped. False, with the reason, when the file cannot be read.
    bool load(QString* error);
    QString path() const { return m_file.fileName(); }
    // The reason the last write failed; empty while writes succeed.
    QString writeError() const { return m_writeError; }

signals:
    void writeFailed(const QString& error);

private:
    void onRecordAdded(const TxRecord& record);
    void onModelReset();
    bool openForAppend(QIODevice::OpenMode mode);
    void failed(const QString& error);

    TxRecordModel& m_model;
    QFile m_file;
    QString m_writeError;
    bool m_loading = false;
    bool m_lineOpen = false;
};
