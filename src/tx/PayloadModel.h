#pragma once

#include "Payload.h"

#include <QAbstractListModel>
#include <QList>

// The editable list of payloads of the Tx view, walked by the sequence engine.
// Payloads are addressed by an 8-bit index, so the list holds at most 255.
class PayloadModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        MessageRole = Qt::UserRole + 1,
        RedundancyRole,
        OptionAckRole,
        OptionMailRole,
        OptionImportantRole,
        TxCountRole,
        StatusRole,
        SentCountRole,
        FailedCountRole,
        // Why the module cannot carry the message; empty when it can.
        RefusalRole,
    };
    Q_ENUM(Role)

    static constexpr int TAV_PAYLOAD_MAX_COUNT = 255;

    explicit PayloadModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Appends a payload; false (and nothing added) once the list is full. An
    // empty message becomes the row's index on 8 decimal digits.
    bool add(QString message, quint8 redundancy);
    Q_INVOKABLE void remove(quint8 index);
    bool isFull() const { return m_payloads.size() >= TAV_PAYLOAD_MAX_COUNT; }

    Q_INVOKABLE bool checkPayload(quint8 index) const;
    Q_INVOKABLE bool checkPayload(QString message, bool options) const;
    // Why `message` cannot be sent with these options; empty when it can.
    Q_INVOKABLE QString refusalText(const QString& message, bool options) const;
    QList<uint> allowedSize() const { return m_allowedSize; }

    QString getMessage(quint8 index) const;
    quint8 getRedundancy(quint8 index) const;
    Payload::Options getOptions(quint8 index) const;
    Payload::Status getStatus(quint8 index) const;
    quint8 getTxCount(quint8 index) const;

    void setRedundancy(quint8 index, quint8 redundancy);
    void setTxCount(quint8 index, quint8 txCount);
    void setStatus(quint8 index, Payload::Status status);
    void addResult(quint8 index, bool sent);
    void clearResults();
    // Why payload `index` cannot be sent as it stands; empty when it can.
    QString refusal(quint8 index) const;

public slots:
    void setAllowedSize(QList<uint> allowedSize);
    // The sizes and the name of the modulation they belong to, for the reasons.
    void setModulation(const QString& name, QList<uint> allowedSize);

signals:
    void payloadChecked(quint8 index, bool status);

private:
    Payload* at(int index) const;
    void revalidate(int row);

    QList<Payload*> m_payloads;
    QList<uint> m_allowedSize;
    QString m_modulationName;
};
