#pragma once

#include "SatelliteAop.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QDateTime>
#include <QList>

// All known satellites, in order of first appearance, filled from the
// orbit-data service and from the module's own AOP reports.
class SatelliteAopModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(QString creationDate READ creationDate NOTIFY creationDateChanged)
    // The same as a date, for the views to write their own way; invalid
    // before any download.
    Q_PROPERTY(QDateTime creationDateTime READ creationDateTime NOTIFY creationDateChanged)

public:
    enum Role {
        SatelliteNameRole = Qt::UserRole + 1,
        DownlinkStatusRole,
        UplinkStatusRole,
        AopDataRole,
        // The one-character identifier: the only name a record the module reported has.
        AllcastIdRole,
    };
    Q_ENUM(Role)

    explicit SatelliteAopModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Reads the orbit-data document; false (model untouched) when it is not
    // JSON, not an object, or reports errors.
    bool parseJsonData(QByteArray data);
    // Merges one satellite's record. A name "NA" marks a report from the
    // module: it neither renames a record nor clears its broadcast status.
    void updateAopData(QChar id, QDateTime bulletinEpoch, double semiMajorAxis, double inclination,
        double ascNodeLongitude, double ascNodeDrift, double orbitalPeriod, double semiMajorAxisDrift,
        QString satelliteName, SatelliteAop::DownlinkStatus downlinkStatus,
        SatelliteAop::UplinkStatus uplinkStatus);
    void add(SatelliteAop* record);

    // The caller keeps the row below rowCount().
    SatelliteAop* getSatelliteItem(quint8 row) const;
    SatelliteAop* getSatelliteItem(QChar id) const;
    bool isSatelliteSupported(QChar id) const;
    // The module's reports name the satellites it takes; another module
    // starts without them.
    void forgetModuleSupport() { m_supportedIds.clear(); }
    QString getSatelliteName(QChar id) const;
    Q_INVOKABLE QString getDownlinkCapability(QString satelliteName) const;

    QString creationDate() const;
    QDateTime creationDateTime() const { return m_creationDate; }

    // The service's date-time text ("2024-05-01_10:00:00"), taken as UTC.
    static QDateTime parseServiceDate(const QString& text);

signals:
    void creationDateChanged();

private:
    int rowOf(QChar id) const;

    QList<SatelliteAop*> m_records;
    QList<QChar> m_supportedIds;
    QDateTime m_creationDate;
};
