#include "TxRecordJournal.h"

#include "TxRecord.h"
#include "TxRecordModel.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

TxRecordJournal::TxRecordJournal(TxRecordModel& model, const QString& path, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_file(path)
{
    connect(&m_model, &TxRecordModel::recordAdded, this, &TxRecordJournal::onRecordAdded);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &TxRecordJournal::onModelReset);
}

bool TxRecordJournal::load(QString* error)
{
    QFile file(m_file.fileName());
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Unable to read ") + file.fileName() + QStringLiteral(": ") + file.errorString();
        return false;
    }
    // Read with a limit whatever size() says: the path may be anything.
    const QByteArray data = file.read(MAX_FILE_BYTES + 1);
    if (data.size() > MAX_FILE_BYTES) {
        *error = file.fileName() + QStringLiteral(" is larger than 64 MiB: not read back");
        return false;
    }
    // A line cut by a crash is skipped, and the next record starts a line of its own.
    m_lineOpen = !data.isEmpty() && !data.endsWith('\n');
    QList<TxRecord> records;
    for (const QByteArray& line : data.split('\n')) {
        const QJsonDocument document = QJsonDocument::fromJson(line);
        TxRecord record;
        if (document.isObject() && TxRecordFormat::fromJson(document.object(), &record))
            records.append(record);
    }
    // The model lists the newest first and drops the oldest beyond its bounds.
    m_loading = true;
    m_model.reset(records);
    m_loading = false;
    return true;
}

bool TxRecordJournal::openForAppend(QIODevice::OpenMode mode)
{
    if (m_file.isOpen() && !(mode & QIODevice::Truncate))
        return true;
    m_file.close();
    QDir().mkpath(QFileInfo(m_file.fileName()).absolutePath());
    if (!m_file.open(mode | QIODevice::WriteOnly)) {
        failed(QStringLiteral("Unable to write the transmission records to ") + m_file.fileName()
            + QStringLiteral(": ") + m_file.errorString());
        return false;
    }
    return true;
}

void TxRecordJournal::onRecordAdded(const TxRecord& record)
{
    if (!openForAppend(QIODevice::Append))
        return;
    const QByteArray line = (m_lineOpen ? QByteArray("\n") : QByteArray())
        + QJsonDocument(TxRecordFormat::toJson(record)).toJson(QJsonDocument::Compact) + '\n';
    if (m_file.write(line) != line.size() || !m_file.flush()) {
        failed(QStringLiteral("Unable to write the transmission records to ") + m_file.fileName()
            + QStringLiteral(": ") + m_file.errorString());
        m_file.close();
        return;
    }
    m_lineOpen = false;
    m_writeError.clear();
}

// The list was cleared for a new campaign: so is the file. A reset by the
// journal's own load keeps it.
void TxRecordJournal::onModelReset()
{
    if (m_loading || m_model.count() != 0)
        return;
    m_lineOpen = false;
    openForAppend(QIODevice::Truncate);
}

void TxRecordJournal::failed(const QString& error)
{
    // Said once until a write succeeds again, not at every Tx.
    if (error == m_writeError)
        return;
    m_writeError = error;
    emit writeFailed(error);
}
