#pragma once

#include "TxRecord.h"

#include <QAbstractListModel>
#include <QList>
#include <QSortFilterProxyModel>
#include <QVariantList>

// The transmissions of the campaign, newest first (row 0), with their
// counts by result. Bounded: beyond MAX_RECORDS records or MAX_BYTES of
// memory the oldest are dropped.
class TxRecordModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countsChanged)
    Q_PROPERTY(int sentCount READ sentCount NOTIFY countsChanged)
    Q_PROPERTY(int failedCount READ failedCount NOTIFY countsChanged)
    Q_PROPERTY(int noAnswerCount READ noAnswerCount NOTIFY countsChanged)

public:
    static constexpr int MAX_RECORDS = 100000;
    static constexpr qsizetype MAX_BYTES = 20 * 1024 * 1024;

    enum Roles {
        TimeRole = Qt::UserRole + 1,
        PayloadRole,
        MessageRole,
        AttemptRole,
        RoundRole,
        ProfileRole,
        ResultRole, // TxRecord::Result
        ResultNameRole,
        ErrorRole,
        ResultTimeRole,
        PassRole,
        InViewRole,
    };
    enum Format { JSON_LINES = TxRecordFormat::JSON_LINES, CSV = TxRecordFormat::CSV };
    Q_ENUM(Format)

    explicit TxRecordModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return static_cast<int>(m_records.size()); }
    int sentCount() const { return m_counts[TxRecord::SENT]; }
    int failedCount() const { return m_counts[TxRecord::FAILED]; }
    int noAnswerCount() const { return m_counts[TxRecord::NO_ANSWER]; }
    qsizetype footprint() const { return m_bytes; }
    // Oldest first.
    const QList<TxRecord>& records() const { return m_records; }

    void append(const TxRecord& record);
    // Replaces the list, e.g. with a campaign read back from its file.
    void reset(const QList<TxRecord>& records);
    Q_INVOKABLE void clear();
    // Writes the records, oldest first, to `path` (a path or a file URL) in
    // one go; the text of the failure, empty when written.
    Q_INVOKABLE QString exportTo(const QString& path, Format format) const;
    // The transmissions as the pass timeline marks them: [{timeMs, sent, result}].
    Q_INVOKABLE QVariantList marks() const;
    // "8 of 8 transmissions sent", "2 of 8 transmissions failed (reason ×2)"
    Q_INVOKABLE QString summary() const { return TxRecordFormat::summary(m_records); }

signals:
    void recordAdded(const TxRecord& record);
    void countsChanged();

private:
    void dropOldest();

    QList<TxRecord> m_records;
    int m_counts[3] = {0, 0, 0};
    qsizetype m_bytes = 0;
};

// The records as the Transmissions view lists them: one result and one
// payload, or all (-1).
class TxRecordFilter : public QSortFilterProxyModel {
    Q_OBJECT
    Q_PROPERTY(int result READ result WRITE setResult NOTIFY filterChanged)
    Q_PROPERTY(int payload READ payload WRITE setPayload NOTIFY filterChanged)

public:
    explicit TxRecordFilter(TxRecordModel* source, QObject* parent = nullptr);

    int result() const { return m_result; }
    void setResult(int result);
    int payload() const { return m_payload; }
    void setPayload(int payload);

signals:
    void filterChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    int m_result = -1;
    int m_payload = -1;
};
