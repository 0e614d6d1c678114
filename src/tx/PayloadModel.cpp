#include "PayloadModel.h"

PayloadModel::PayloadModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int PayloadModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_payloads.size());
}

Payload* PayloadModel::at(int index) const
{
    return index >= 0 && index < m_payloads.size() ? m_payloads.at(index) : nullptr;
}

QVariant PayloadModel::data(const QModelIndex& index, int role) const
{
    const Payload* payload = at(index.row());
    if (!index.isValid() || !payload)
        return {};
    switch (role) {
    case MessageRole: return payload->message();
    case RedundancyRole: return payload->redundancy();
    case OptionAckRole: return payload->options().ack;
    case OptionMailRole: return payload->options().mail;
    case OptionImportantRole: return payload->options().important;
    case TxCountRole: return payload->txCount();
    case StatusRole: return static_cast<int>(payload->status());
    case SentCountRole: return payload->sentCount();
    case FailedCountRole: return payload->failedCount();
    case RefusalRole: return refusal(static_cast<quint8>(index.row()));
    default: return {};
    }
}

bool PayloadModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Payload* payload = at(index.row());
    if (!index.isValid() || !payload)
        return false;
    Payload::Options options = payload->options();
    QList<int> changedRoles {role};
    bool recheck = false;
    switch (role) {
    case MessageRole:
        payload->setMessage(value.toString().toUpper());
        recheck = true;
        break;
    case RedundancyRole: payload->setRedundancy(static_cast<quint8>(value.toUInt())); break;
    case OptionAckRole:
        options.ack = value.toBool();
        payload->setOptions(options);
        recheck = true;
        break;
    case OptionMailRole:
        options.mail = value.toBool();
        payload->setOptions(options);
        recheck = true;
        break;
    case OptionImportantRole:
        options.important = value.toBool();
        payload->setOptions(options);
        payload->setRedundancy(options.important ? Payload::TAV_PAYLOAD_IMPORTANT_REDUNDANCY
                                                 : Payload::TAV_PAYLOAD_DEFAULT_REDUNDANCY);
        changedRoles.append(RedundancyRole);
        break;
    case TxCountRole: payload->setTxCount(static_cast<quint8>(value.toUInt())); break;
    case StatusRole: payload->setStatus(static_cast<Payload::Status>(value.toInt())); break;
    default: return false;
    }
    emit dataChanged(index, index, changedRoles);
    if (recheck)
        revalidate(index.row());
    return true;
}

Qt::ItemFlags PayloadModel::flags(const QModelIndex& index) const
{
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

QHash<int, QByteArray> PayloadModel::roleNames() const
{
    return {
        {MessageRole, "message"},
        {RedundancyRole, "redundancy"},
        {OptionAckRole, "optionAck"},
        {OptionMailRole, "optionMail"},
        {OptionImportantRole, "optionImportant"},
        {TxCountRole, "txCount"},
        {StatusRole, "status"},
        {SentCountRole, "sentCount"},
        {FailedCountRole, "failedCount"},
        {RefusalRole, "refusal"},
    };
}

bool PayloadModel::add(QString message, quint8 redundancy)
{
    if (isFull())
        return false;
    const int row = static_cast<int>(m_payloads.size());
    if (message.isEmpty())
        message = QString::asprintf("%.8d", row);
    // The module's Tx answers are compared upper-cased with the message.
    auto* payload = new Payload(this, message.toUpper(), redundancy);
    beginInsertRows(QModelIndex(), row, row);
    m_payloads.append(payload);
    endInsertRows();
    const bool accepted = checkPayload(static_cast<quint8>(row));
    payload->setStatus(accepted ? Payload::NONE : Payload::ERROR);
    emit dataChanged(index(row), index(row), {StatusRole, RefusalRole});
    return true;
}

void PayloadModel::remove(quint8 index)
{
    if (index >= m_payloads.size())
        return;
    beginRemoveRows(QModelIndex(), index, index);
    delete m_payloads.takeAt(index);
    endRemoveRows();
}

bool PayloadModel::checkPayload(quint8 index) const
{
    const Payload* payload = at(index);
    if (!payload)
        return true;
    return checkPayload(payload->message(), payload->options().ack || payload->options().mail);
}

bool PayloadModel::checkPayload(QString message, bool options) const
{
    return PayloadRules::refusal(message, options, m_allowedSize, m_modulationName).isEmpty();
}

QString PayloadModel::refusalText(const QString& message, bool options) const
{
    return PayloadRules::refusal(message.toUpper(), options, m_allowedSize, m_modulationName);
}

QString PayloadModel::refusal(quint8 index) const
{
    const Payload* payload = at(index);
    if (!payload)
        return {};
    return PayloadRules::refusal(
        payload->message(), payload->options().ack || payload->options().mail, m_allowedSize, m_modulationName);
}

void PayloadModel::setAllowedSize(QList<uint> allowedSize)
{
    setModulation(m_modulationName, allowedSize);
}

void PayloadModel::setModulation(const QString& name, QList<uint> allowedSize)
{
    m_allowedSize = allowedSize;
    m_modulationName = name;
    for (int row = 0; row < m_payloads.size(); ++row)
        revalidate(row);
}

void PayloadModel::addResult(quint8 index, bool sent)
{
    if (Payload* payload = at(index)) {
        payload->addResult(sent);
        emit dataChanged(this->index(index), this->index(index), {sent ? SentCountRole : FailedCountRole});
    }
}

void PayloadModel::clearResults()
{
    for (Payload* payload : std::as_const(m_payloads))
        payload->clearResults();
    if (!m_payloads.isEmpty())
        emit dataChanged(index(0), index(rowCount() - 1), {SentCountRole, FailedCountRole});
}

void PayloadModel::revalidate(int row)
{
    const bool accepted = checkPayload(static_cast<quint8>(row));
    m_payloads.at(row)->setStatus(accepted ? Payload::NONE : Payload::ERROR);
    emit dataChanged(index(row), index(row), {StatusRole, RefusalRole});
    emit payloadChecked(static_cast<quint8>(row), accepted);
}

QString PayloadModel::getMessage(quint8 index) const
{
    const Payload* payload = at(index);
    return payload ? payload->message() : QString();
}

quint8 PayloadModel::getRedundancy(quint8 index) const
{
    const Payload* payload = at(index);
    return payload ? payload->redundancy() : 0;
}

Payload::Options PayloadModel::getOptions(quint8 index) const
{
    const Payload* payload = at(index);
    return payload ? payload->options() : Payload::Options {};
}

Payload::Status PayloadModel::getStatus(quint8 index) const
{
    const Payload* payload = at(index);
    return payload ? payload->status() : Payload::NONE;
}

quint8 PayloadModel::getTxCount(quint8 index) const
{
    const Payload* payload = at(index);
    return payload ? payload->txCount() : 0;
}

void PayloadModel::setRedundancy(quint8 index, quint8 redundancy)
{
    setData(this->index(index), redundancy, RedundancyRole);
}

void PayloadModel::setTxCount(quint8 index, quint8 txCount)
{
    setData(this->index(index), txCount, TxCountRole);
}

void PayloadModel::setStatus(quint8 index, Payload::Status status)
{
    setData(this->index(index), static_cast<int>(status), StatusRole);
}
