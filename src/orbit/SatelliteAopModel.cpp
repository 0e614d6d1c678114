#include "SatelliteAopModel.h"

#include "log/Helper.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>

namespace {

const QString notAvailable = QStringLiteral("NA");

} // namespace

SatelliteAopModel::SatelliteAopModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int SatelliteAopModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_records.size());
}

QVariant SatelliteAopModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_records.size())
        return {};
    const SatelliteAop* record = m_records.at(index.row());
    switch (role) {
    case SatelliteNameRole: return record->satelliteName();
    case DownlinkStatusRole: return record->downlinkStatus();
    case UplinkStatusRole: return record->uplinkStatus();
    case AopDataRole: return record->aopData();
    case AllcastIdRole: return QString(record->allcastId());
    default: return {};
    }
}

QHash<int, QByteArray> SatelliteAopModel::roleNames() const
{
    return {
        {SatelliteNameRole, "satelliteName"},
        {DownlinkStatusRole, "downlinkStatus"},
        {UplinkStatusRole, "uplinkStatus"},
        {AopDataRole, "aopData"},
        {AllcastIdRole, "allcastId"},
    };
}

QDateTime SatelliteAopModel::parseServiceDate(const QString& text)
{
    QString iso = text;
    iso.replace(QLatin1Char('_'), QLatin1Char('T'));
    QDateTime date = QDateTime::fromString(iso + QLatin1Char('Z'), Qt::ISODateWithMs);
    // A text that already carries its zone reads as it stands.
    if (!date.isValid())
        date = QDateTime::fromString(iso, Qt::ISODateWithMs);
    return date;
}

bool SatelliteAopModel::parseJsonData(QByteArray data)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (document.isNull()) {
        qCritical().noquote() << "Error:" << parseError.errorString();
        return false;
    }
    if (!document.isObject() || document.object().contains(QLatin1String("errors"))) {
        qCritical() << "AOP data error (no consistent object)";
        return false;
    }
    const QJsonObject root = document.object();
    m_creationDate = parseServiceDate(root.value(QLatin1String("creationDate")).toString());

    const QJsonArray satellites = root.value(QLatin1String("satellitesInformation")).toArray();
    for (const QJsonValue& element : satellites) {
        const QJsonObject satellite = element.toObject();
        const QJsonObject status = satellite.value(QLatin1String("broadcastedStatus")).toObject();
        const QJsonObject aop = satellite.value(QLatin1String("aop")).toObject();
        const QString ident = status.value(QLatin1String("allcastIdent")).toString();
        if (ident.isEmpty()) {
            // Without its letter a record could never be uploaded nor merged.
            qCritical() << "AOP data error: satellite without allcastIdent skipped";
            continue;
        }
        const auto number = [&aop](const char* key) { return aop.value(QLatin1String(key)).toDouble(0); };
        updateAopData(ident.at(0).toUpper(), parseServiceDate(aop.value(QLatin1String("date")).toString()),
            number("semiMajorAxis"), number("inclination"), number("ascendantNodeLongitude"),
            number("ascendantNodeDrift"), number("orbitalPeriod"), number("semiMajorAxisDrift"),
            Helper::shownText(satellite.value(QLatin1String("satellite")).toString()),
            SatelliteAop::downlinkStatusFromText(status.value(QLatin1String("downlinkStatus")).toString()),
            SatelliteAop::uplinkStatusFromText(status.value(QLatin1String("operatingStatus")).toString()));
    }
    emit creationDateChanged();
    return true;
}

void SatelliteAopModel::updateAopData(QChar id, QDateTime bulletinEpoch, double semiMajorAxis,
    double inclination, double ascNodeLongitude, double ascNodeDrift, double orbitalPeriod,
    double semiMajorAxisDrift, QString satelliteName, SatelliteAop::DownlinkStatus downlinkStatus,
    SatelliteAop::UplinkStatus uplinkStatus)
{
    const int row = rowOf(id);
    if (satelliteName == notAvailable && !m_supportedIds.contains(id))
        m_supportedIds.append(id);

    if (row < 0) {
        auto* record = new SatelliteAop(this, satelliteName, id, downlinkStatus, uplinkStatus);
        record->setAopParams(bulletinEpoch, semiMajorAxis, inclination, ascNodeLongitude, ascNodeDrift,
            orbitalPeriod, semiMajorAxisDrift);
        add(record);
        const QModelIndex last = index(static_cast<int>(m_records.size()) - 1);
        emit dataChanged(last, last, {SatelliteNameRole, DownlinkStatusRole, UplinkStatusRole, AopDataRole});
        return;
    }

    SatelliteAop* record = m_records.at(row);
    if (satelliteName != notAvailable)
        record->setSatelliteName(satelliteName);
    if (downlinkStatus != SatelliteAop::DNLK_NA && uplinkStatus != SatelliteAop::UPLK_NA)
        record->setBcastStatus(downlinkStatus, uplinkStatus);
    record->setAopParams(bulletinEpoch, semiMajorAxis, inclination, ascNodeLongitude, ascNodeDrift,
        orbitalPeriod, semiMajorAxisDrift);
    emit dataChanged(
        index(row), index(row), {SatelliteNameRole, DownlinkStatusRole, UplinkStatusRole, AopDataRole});
}

void SatelliteAopModel::add(SatelliteAop* record)
{
    const int row = static_cast<int>(m_records.size());
    beginInsertRows(QModelIndex(), row, row);
    record->setParent(this);
    m_records.append(record);
    endInsertRows();
}

int SatelliteAopModel::rowOf(QChar id) const
{
    for (int row = 0; row < m_records.size(); ++row) {
        if (m_records.at(row)->allcastId() == id)
            return row;
    }
    return -1;
}

SatelliteAop* SatelliteAopModel::getSatelliteItem(quint8 row) const
{
    Q_ASSERT(row < m_records.size());
    return row < m_records.size() ? m_records.at(row) : nullptr;
}

SatelliteAop* SatelliteAopModel::getSatelliteItem(QChar id) const
{
    const int row = rowOf(id);
    return row < 0 ? nullptr : m_records.at(row);
}

bool SatelliteAopModel::isSatelliteSupported(QChar id) const
{
    for (const QChar supported : m_supportedIds) {
        if (supported.toUpper() == id.toUpper())
            return true;
    }
    return false;
}

QString SatelliteAopModel::getSatelliteName(QChar id) const
{
    for (const SatelliteAop* record : m_records) {
        if (record->allcastId().toUpper() == id.toUpper())
            return record->satelliteName();
    }
    return notAvailable;
}

QString SatelliteAopModel::getDownlinkCapability(QString satelliteName) const
{
    for (const SatelliteAop* record : m_records) {
        if (record->satelliteName() == satelliteName)
            return record->downlinkStatus().contains(SatelliteAop::TEXT_OFF) ? SatelliteAop::TEXT_OFF
                                                                             : SatelliteAop::TEXT_ON;
    }
    return notAvailable;
}

QString SatelliteAopModel::creationDate() const
{
    return m_creationDate.toUTC().toString(Qt::TextDate) + QStringLiteral(" (UTC)");
}
