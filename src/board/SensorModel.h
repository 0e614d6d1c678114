#pragma once

#include "Sensor.h"
#include "protocol/AtCmdHandler.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QMap>

// The sensors of the board as the sensor page shows and edits them, one row
// per sensor in id order, plus the period at which the board samples them.
class SensorModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(ushort acquisitionPeriod READ acquisitionPeriod WRITE setAcquisitionPeriod NOTIFY
            acquisitionPeriodChanged)

public:
    enum Id { GNSS = 0, TEMPERATURE, HUMIDITY, PRESSURE, LIGHT, ACCELEROMETER, DRY_CONTACT, PUSH_BUTTON };
    Q_ENUM(Id)

    enum Role {
        IdRole = Qt::UserRole + 1,
        NameRole,
        EnableRole,
        AlertRole,
        HasAlertCmdRole,
        ThresholdTitleRole,
        ThresholdValuesRole,
        AlertEnableRole
    };

    // The command that reads and writes each sensor's alert; sensors not
    // listed have none.
    static const QMap<Id, AtCmdHandler::CmdId>& sensorAlertAtCmdMap();

    static constexpr ushort DEFAULT_ACQUISITION_PERIOD = 3600;

    SensorModel(QObject* parent, const QMap<Id, Sensor*>& sensorMap);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE void setEnable(uchar row, bool enable);
    Q_INVOKABLE void setAlertEnable(uchar row, bool enable);
    // The module's two sets, one flag per row from the first: acquisition
    // enables and alert enables, each read from its own answer.
    void setAcquisitionEnables(const QList<bool>& flags);
    void setAlertEnables(const QList<bool>& flags);
    Q_INVOKABLE void setAlert(uchar row, bool alert);
    void setAlert(Id id, bool alert);
    void setThresholdValues(Id id, const QString& values);

    // Row of `id`, or the row count when the board has no such sensor.
    int getSensorIndex(Id id) const;
    QMap<Id, Sensor*> getSensorMap() const { return m_sensorMap; }

    ushort acquisitionPeriod() const { return m_acquisitionPeriod; }

public slots:
    void setAcquisitionPeriod(ushort seconds);

signals:
    void acquisitionPeriodChanged();

private:
    Sensor* sensorAt(int row) const;

    QMap<Id, Sensor*> m_sensorMap;
    ushort m_acquisitionPeriod;
};
