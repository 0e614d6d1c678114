#include "TxRecordModel.h"

#include <QSaveFile>
#include <QUrl>

TxRecordModel::TxRecordModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int TxRecordModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant TxRecordModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const TxRecord& r = m_records.at(m_records.size() - 1 - index.row());
    switch (role) {
    case TimeRole: return TxRecordFormat::isoTime(r.timeMs);
    case PayloadRole: return r.payload;
    case MessageRole: return QString::fromLatin1(r.message);
    case AttemptRole: return QString::number(r.attempt) + QLatin1Char('/') + QString::number(r.redundancy);
    case RoundRole: return r.round;
    case ProfileRole: return TxRecordFormat::profileName(r.profile);
    case ResultRole: return int(r.result);
    case ResultNameRole: return TxRecordFormat::resultName(r.result);
    case ErrorRole:
        return r.result == TxRecord::SENT
            ? QString()
            : (r.errorCode != 0 ? QString::number(r.errorCode) + QStringLiteral(": ") : QString()) + r.errorText;
    case ResultTimeRole: return TxRecordFormat::isoTime(r.resultTimeMs);
    case PassRole:
        return r.passSatellite.isEmpty() ? QString()
                                         : r.passSatellite + QLatin1Char(' ') + TxRecordFormat::isoTime(r.passStartMs);
    case InViewRole: {
        QStringList names;
        for (const SatelliteInView& satellite : r.inView)
            names << satellite.satellite + QLatin1Char(' ') + QString::number(satellite.elevation, 'f', 1)
                    + QStringLiteral("°");
        return names.join(QStringLiteral(", "));
    }
    default: return {};
    }
}

QHash<int, QByteArray> TxRecordModel::roleNames() const
{
    return {{TimeRole, "time"}, {PayloadRole, "payload"}, {MessageRole, "message"}, {AttemptRole, "attempt"},
        {RoundRole, "round"}, {ProfileRole, "profile"}, {ResultRole, "result"}, {ResultNameRole, "resultName"},
        {ErrorRole, "error"}, {ResultTimeRole, "resultTime"}, {PassRole, "pass"}, {InViewRole, "inView"}};
}

void TxRecordModel::append(const TxRecord& record)
{
    beginInsertRows(QModelIndex(), 0, 0);
    m_records.append(record);
    m_bytes += record.footprint();
    ++m_counts[record.result];
    endInsertRows();
    dropOldest();
    emit countsChanged();
    emit recordAdded(record);
}

void TxRecordModel::dropOldest()
{
    qsizetype drop = 0;
    qsizetype bytes = m_bytes;
    while (m_records.size() - drop > MAX_RECORDS || bytes > MAX_BYTES) {
        bytes -= m_records.at(drop).footprint();
        ++drop;
    }
    if (drop == 0)
        return;
    // The oldest are the last rows.
    beginRemoveRows(QModelIndex(), count() - int(drop), count() - 1);
    for (qsizetype i = 0; i < drop; ++i)
        --m_counts[m_records.at(i).result];
    m_records.remove(0, drop);
    m_bytes = bytes;
    endRemoveRows();
}

void TxRecordModel::reset(const QList<TxRecord>& records)
{
    beginResetModel();
    m_records = records;
    m_bytes = 0;
    m_counts[0] = m_counts[1] = m_counts[2] = 0;
    for (const TxRecord& record : std::as_const(m_records)) {
        m_bytes += record.footprint();
        ++m_counts[record.result];
    }
    endResetModel();
    dropOldest();
    emit countsChanged();
}

void TxRecordModel::clear()
{
    reset({});
}

QString TxRecordModel::exportTo(const QString& path, Format format) const
{
    const QUrl url(path);
    const QString file = url.isLocalFile() ? url.toLocalFile() : path;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return QStringLiteral("Unable to write ") + file + QStringLiteral(": ") + out.errorString();
    if (format == CSV)
        out.write(TxRecordFormat::csvHeader());
    for (const TxRecord& record : m_records)
        out.write(format == CSV ? TxRecordFormat::csvLine(record) : TxRecordFormat::jsonLine(record));
    if (!out.commit())
        return QStringLiteral("Unable to write ") + file + QStringLiteral(": ") + out.errorString();
    return {};
}

QVariantList TxRecordModel::marks() const
{
    QVariantList marks;
    marks.reserve(m_records.size());
    for (const TxRecord& record : m_records)
        marks.append(QVariantMap {{QStringLiteral("timeMs"), record.timeMs},
            {QStringLiteral("sent"), record.result == TxRecord::SENT}, {QStringLiteral("result"), int(record.result)}});
    return marks;
}

// --- filter ----------------------------------------------------------------------

TxRecordFilter::TxRecordFilter(TxRecordModel* source, QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setSourceModel(source);
}

void TxRecordFilter::setResult(int result)
{
    if (m_result == result)
        return;
    m_result = result;
    invalidateFilter();
    emit filterChanged();
}

void TxRecordFilter::setPayload(int payload)
{
    if (m_payload == payload)
        return;
    m_payload = payload;
    invalidateFilter();
    emit filterChanged();
}

bool TxRecordFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    return (m_result < 0 || index.data(TxRecordModel::ResultRole).toInt() == m_result)
        && (m_payload < 0 || index.data(TxRecordModel::PayloadRole).toInt() == m_payload);
}
