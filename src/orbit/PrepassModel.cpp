#include "PrepassModel.h"

namespace {

QString dateText(const QDateTime& date)
{
    return date.isValid() ? date.toUTC().toString(QLatin1String(PrepassModel::DATE_FORMAT))
                          : QStringLiteral("NA");
}

} // namespace

PrepassModel::PrepassModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int PrepassModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_passes.size());
}

QVariant PrepassModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_passes.size())
        return {};
    const Prepass& pass = m_passes.at(index.row());
    switch (role) {
    case SatelliteRole: return pass.satellite();
    case StartRole: return dateText(pass.start());
    case MiddleRole: return dateText(pass.middle());
    case EndRole: return dateText(pass.end());
    case DurationRole:
        return pass.duration().isValid() ? pass.duration().toString(QLatin1String(DURATION_FORMAT))
                                         : QStringLiteral("NA");
    case ElevationRole: return pass.elevation();
    case StartAzimuthRole: return pass.startAzimuth();
    case MiddleAzimuthRole: return pass.middleAzimuth();
    case EndAzimuthRole: return pass.endAzimuth();
    case ActiveRole: return pass.active();
    default: return {};
    }
}

QHash<int, QByteArray> PrepassModel::roleNames() const
{
    return {
        {SatelliteRole, "satellite"},
        {StartRole, "start"},
        {MiddleRole, "middle"},
        {EndRole, "end"},
        {DurationRole, "duration"},
        {ElevationRole, "elevation"},
        {StartAzimuthRole, "startAzimuth"},
        {MiddleAzimuthRole, "middleAzimuth"},
        {EndAzimuthRole, "endAzimuth"},
        {ActiveRole, "active"},
    };
}

void PrepassModel::add(QString name, QDateTime start, QTime duration, double elevation, bool active)
{
    add(Prepass(name, start, duration, elevation, active));
}

void PrepassModel::add(const Prepass& pass)
{
    const int row = static_cast<int>(m_passes.size());
    beginInsertRows(QModelIndex(), row, row);
    m_passes.append(pass);
    endInsertRows();
}

void PrepassModel::setPasses(const QList<Prepass>& passes)
{
    beginResetModel();
    m_passes = passes;
    endResetModel();
}

void PrepassModel::clear()
{
    if (m_passes.isEmpty())
        return;
    beginResetModel();
    m_passes.clear();
    endResetModel();
}

void PrepassModel::remove(int row)
{
    if (row < 0 || row >= m_passes.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_passes.removeAt(row);
    endRemoveRows();
}

void PrepassModel::setActive(int row, bool active)
{
    if (row < 0 || row >= m_passes.size())
        return;
    m_passes[row].setActive(active);
    emit dataChanged(index(row), index(row), {ActiveRole});
}
