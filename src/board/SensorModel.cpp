#include "SensorModel.h"

const QMap<SensorModel::Id, AtCmdHandler::CmdId>& SensorModel::sensorAlertAtCmdMap()
{
    static const QMap<Id, AtCmdHandler::CmdId> commands = {{LIGHT, AtCmdHandler::ALRT_LIGHT},
        {ACCELEROMETER, AtCmdHandler::ALRT_ACC}, {DRY_CONTACT, AtCmdHandler::ALRT_DRYC},
        {PUSH_BUTTON, AtCmdHandler::ALRT_PB}};
    return commands;
}

SensorModel::SensorModel(QObject* parent, const QMap<Id, Sensor*>& sensorMap)
    : QAbstractListModel(parent)
    , m_sensorMap(sensorMap)
    , m_acquisitionPeriod(DEFAULT_ACQUISITION_PERIOD)
{
}

int SensorModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_sensorMap.size());
}

// Rows follow the ids in ascending order, as getSensorIndex counts them.
Sensor* SensorModel::sensorAt(int row) const
{
    if (row < 0 || row >= m_sensorMap.size())
        return nullptr;
    return std::next(m_sensorMap.cbegin(), row).value();
}

QVariant SensorModel::data(const QModelIndex& index, int role) const
{
    const Sensor* sensor = sensorAt(index.row());
    if (!index.isValid() || sensor == nullptr)
        return {};

    switch (role) {
    case IdRole: return static_cast<uint>(std::next(m_sensorMap.cbegin(), index.row()).key());
    case NameRole: return sensor->name();
    case EnableRole: return sensor->enable();
    case AlertRole: return sensor->alert();
    case HasAlertCmdRole: return sensor->hasAlertCmd();
    case ThresholdTitleRole: return sensor->thresholdTitle();
    case ThresholdValuesRole: return sensor->thresholdValues();
    case AlertEnableRole: return sensor->alertEnable();
    default: return {};
    }
}

bool SensorModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Sensor* sensor = sensorAt(index.row());
    if (!index.isValid() || sensor == nullptr)
        return false;

    switch (role) {
    case EnableRole: sensor->setEnable(value.toBool()); break;
    case AlertRole: sensor->setAlert(value.toBool()); break;
    case ThresholdValuesRole: sensor->setThresholdValues(value.toString()); break;
    case AlertEnableRole: sensor->setAlertEnable(value.toBool()); break;
    default: return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags SensorModel::flags(const QModelIndex& index) const
{
    if (sensorAt(index.row()) == nullptr)
        return Qt::NoItemFlags;
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

QHash<int, QByteArray> SensorModel::roleNames() const
{
    return {
        {IdRole, "id"},
        {NameRole, "name"},
        {EnableRole, "enable"},
        {AlertRole, "alert"},
        {HasAlertCmdRole, "hasAlertCmd"},
        {ThresholdTitleRole, "thresholdTitle"},
        {ThresholdValuesRole, "thresholdValues"},
        {AlertEnableRole, "alertEnable"},
    };
}

void SensorModel::setEnable(uchar row, bool enable)
{
    setData(index(row), enable, EnableRole);
}

void SensorModel::setAlertEnable(uchar row, bool enable)
{
    setData(index(row), enable, AlertEnableRole);
}

void SensorModel::setAcquisitionEnables(const QList<bool>& flags)
{
    for (int row = 0; row < flags.size(); ++row)
        setEnable(static_cast<uchar>(row), flags.at(row));
}

void SensorModel::setAlertEnables(const QList<bool>& flags)
{
    for (int row = 0; row < flags.size(); ++row)
        setAlertEnable(static_cast<uchar>(row), flags.at(row));
}

void SensorModel::setAlert(uchar row, bool alert)
{
    setData(index(row), alert, AlertRole);
}

void SensorModel::setAlert(Id id, bool alert)
{
    setData(index(getSensorIndex(id)), alert, AlertRole);
}

void SensorModel::setThresholdValues(Id id, const QString& values)
{
    setData(index(getSensorIndex(id)), values, ThresholdValuesRole);
}

int SensorModel::getSensorIndex(Id id) const
{
    const auto keys = m_sensorMap.keys();
    const auto position = keys.indexOf(id);
    return position < 0 ? static_cast<int>(keys.size()) : static_cast<int>(position);
}

void SensorModel::setAcquisitionPeriod(ushort seconds)
{
    m_acquisitionPeriod = seconds;
    emit acquisitionPeriodChanged();
}
