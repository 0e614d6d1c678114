#include "PortListModel.h"

#include <QRegularExpression>

PortEntry PortEntry::node(const QString& name, const QString& path, const QString& description)
{
    PortEntry port;
    port.name = name;
    port.path = path;
    port.description = description;
    return port;
}

bool PortEntry::operator==(const PortEntry& other) const
{
    return name == other.name && path == other.path && description == other.description
        && manufacturer == other.manufacturer && serialNumber == other.serialNumber && usb == other.usb
        && vendorId == other.vendorId && productId == other.productId;
}

QString PortEntry::vidPid() const
{
    if (!usb)
        return {};
    return QStringLiteral("%1:%2").arg(vendorId, 4, 16, QLatin1Char('0')).arg(productId, 4, 16, QLatin1Char('0'));
}

QString PortEntry::details() const
{
    QStringList parts;
    for (const QString& part : {description, manufacturer, vidPid()}) {
        if (!part.isEmpty() && !parts.contains(part))
            parts << part;
    }
    if (!serialNumber.isEmpty())
        parts << QStringLiteral("S/N ") + serialNumber;
    return parts.join(QStringLiteral(", "));
}

PortListModel::PortListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int PortListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_ports.size());
}

QVariant PortListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_ports.size())
        return {};
    const PortEntry& port = m_ports.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return port.name;
    case PathRole: return port.path;
    case DescriptionRole: return port.description;
    case ManufacturerRole: return port.manufacturer;
    case VidPidRole: return port.vidPid();
    case SerialNumberRole: return port.serialNumber;
    case DetailsRole: return port.details();
    default: return {};
    }
}

QHash<int, QByteArray> PortListModel::roleNames() const
{
    return {
        {Qt::DisplayRole, "display"},
        {PathRole, "path"},
        {DescriptionRole, "description"},
        {ManufacturerRole, "manufacturer"},
        {VidPidRole, "vidPid"},
        {SerialNumberRole, "serialNumber"},
        {DetailsRole, "details"},
    };
}

QStringList PortListModel::update(const QList<PortEntry>& ports)
{
    QStringList wanted;
    for (const PortEntry& port : ports)
        wanted << port.name;

    for (int row = int(m_ports.size()) - 1; row >= 0; --row) {
        if (!wanted.contains(m_ports.at(row).name)) {
            beginRemoveRows({}, row, row);
            m_ports.removeAt(row);
            endRemoveRows();
        }
    }

    // What is left is all wanted: each row is in place, further down, or new.
    QStringList appeared;
    for (int row = 0; row < ports.size(); ++row) {
        const PortEntry& port = ports.at(row);
        if (row < m_ports.size() && m_ports.at(row).name == port.name) {
            if (m_ports.at(row) != port) {
                m_ports[row] = port;
                emit dataChanged(index(row), index(row));
            }
            continue;
        }
        const int from = rowOf(port.name, row + 1);
        if (from >= 0) {
            beginMoveRows({}, from, from, {}, row);
            m_ports.move(from, row);
            endMoveRows();
            if (m_ports.at(row) != port) {
                m_ports[row] = port;
                emit dataChanged(index(row), index(row));
            }
        } else {
            beginInsertRows({}, row, row);
            m_ports.insert(row, port);
            endInsertRows();
            appeared << port.name;
        }
    }
    return appeared;
}

QStringList PortListModel::names() const
{
    QStringList list;
    for (const PortEntry& port : m_ports)
        list << port.name;
    return list;
}

const PortEntry* PortListModel::find(const QString& name) const
{
    const int row = rowOf(name);
    return row < 0 ? nullptr : &m_ports.at(row);
}

QString PortListModel::detailsOf(const QString& name) const
{
    const PortEntry* port = find(name);
    return port ? port->details() : QString();
}

QString PortListModel::variantNamed(const QString& name) const
{
    const PortEntry* port = find(name);
    if (!port)
        return {};
    static const QRegularExpression word(QStringLiteral("\\b(TAV1|TAV2|RIX|TREKON)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList named;
    for (const QString& text : {port->name, port->description}) {
        for (auto it = word.globalMatch(text); it.hasNext();) {
            const QString variant = it.next().captured(1).toUpper();
            if (!named.contains(variant))
                named << variant;
        }
    }
    return named.size() == 1 ? named.constFirst() : QString();
}

QString PortListModel::serialNumberOf(const QString& name) const
{
    const PortEntry* port = find(name);
    return port ? port->serialNumber : QString();
}

QString PortListModel::sameDevice(const QString& name, const QString& serialNumber, const QStringList& among) const
{
    // A replugged device may come back under another node: its serial
    // number tells it from any other.
    if (!serialNumber.isEmpty()) {
        for (const QString& candidate : among) {
            const PortEntry* port = find(candidate);
            if (port && port->serialNumber == serialNumber)
                return candidate;
        }
    }
    return among.contains(name) && find(name) ? name : QString();
}

int PortListModel::rowOf(const QString& name, int from) const
{
    for (int row = from; row < m_ports.size(); ++row) {
        if (m_ports.at(row).name == name)
            return row;
    }
    return -1;
}
