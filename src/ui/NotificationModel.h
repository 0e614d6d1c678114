#pragma once

#include <QAbstractListModel>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <QtQml/qqmlregistration.h>

// What the window told the user, kept so that nothing shown for a moment is
// lost from sight: errors and passing messages with their time (UTC), the
// newest first. Reached from QML as the singleton "Notifications".
class NotificationModel : public QAbstractListModel {
    Q_OBJECT
    QML_NAMED_ELEMENT(Notifications)
    QML_SINGLETON
    Q_PROPERTY(int count READ rowCount NOTIFY countChanged)
    Q_PROPERTY(int unread READ unread NOTIFY unreadChanged)

public:
    enum Role { TimeRole = Qt::UserRole + 1, TextRole, ErrorRole };
    // The oldest entries go beyond this many: a module that fails every
    // second for a day must not grow the list without bound.
    static constexpr int MAX_ENTRIES = 500;
    static const QString TIME_FORMAT;

    explicit NotificationModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int unread() const { return m_unread; }

    Q_INVOKABLE void add(const QString& text, bool error);
    Q_INVOKABLE void markAllRead();
    Q_INVOKABLE void clear();

signals:
    void countChanged();
    void unreadChanged();

private:
    struct Entry {
        QDateTime time;
        QString text;
        bool error;
    };
    void setUnread(int unread);

    QVector<Entry> m_entries;
    int m_unread = 0;
};
