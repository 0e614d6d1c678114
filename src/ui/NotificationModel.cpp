#include "NotificationModel.h"

const QString NotificationModel::TIME_FORMAT = QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'");

NotificationModel::NotificationModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int NotificationModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant NotificationModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry& entry = m_entries.at(index.row());
    switch (role) {
    case TimeRole: return entry.time.toUTC().toString(TIME_FORMAT);
    case Qt::DisplayRole:
    case TextRole: return entry.text;
    case ErrorRole: return entry.error;
    default: return {};
    }
}

QHash<int, QByteArray> NotificationModel::roleNames() const
{
    return {{TimeRole, "time"}, {TextRole, "text"}, {ErrorRole, "error"}};
}

void NotificationModel::add(const QString& text, bool error)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return;
    if (m_entries.size() >= MAX_ENTRIES) {
        beginRemoveRows({}, MAX_ENTRIES - 1, static_cast<int>(m_entries.size()) - 1);
        m_entries.resize(MAX_ENTRIES - 1);
        endRemoveRows();
    }
    beginInsertRows({}, 0, 0);
    m_entries.prepend({QDateTime::currentDateTimeUtc(), trimmed, error});
    endInsertRows();
    emit countChanged();
    setUnread(qMin(m_unread + 1, static_cast<int>(m_entries.size())));
}

void NotificationModel::markAllRead()
{
    setUnread(0);
}

void NotificationModel::clear()
{
    if (!m_entries.isEmpty()) {
        beginResetModel();
        m_entries.clear();
        endResetModel();
        emit countChanged();
    }
    setUnread(0);
}

void NotificationModel::setUnread(int unread)
{
    if (unread == m_unread)
        return;
    m_unread = unread;
    emit unreadChanged();
}
