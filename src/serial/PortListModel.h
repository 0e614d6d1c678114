#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QStringList>

// One serial port as the connection page lists it.
struct PortEntry {
    QString name; // what the list shows and the port is opened by
    QString path; // the device node
    QString description;
    QString manufacturer;
    QString serialNumber;
    bool usb = false; // vendorId and productId hold
    quint16 vendorId = 0;
    quint16 productId = 0;

    // A port known only by its name and node (and what it is).
    static PortEntry node(const QString& name, const QString& path, const QString& description = {});

    bool operator==(const PortEntry& other) const;
    bool operator!=(const PortEntry& other) const { return !(*this == other); }

    // "0403:6001", or "" for a port that is not on USB.
    QString vidPid() const;
    // Description, manufacturer, VID:PID and serial number, those known, ", "
    // between them.
    QString details() const;
};

// The serial ports of the machine. A new list is brought in by update(),
// which removes, inserts, moves and changes rows one by one instead of
// resetting, so that a view keeps its place while devices come and go.
class PortListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        PathRole = Qt::UserRole + 1,
        DescriptionRole,
        ManufacturerRole,
        VidPidRole,
        SerialNumberRole,
        DetailsRole,
    };
    Q_ENUM(Role)

    explicit PortListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Brings the rows to `ports` (names unique), in its order; returns the
    // names that were not listed before.
    QStringList update(const QList<PortEntry>& ports);

    const QList<PortEntry>& ports() const { return m_ports; }
    QStringList names() const;
    // The entry of that name, or nullptr.
    const PortEntry* find(const QString& name) const;
    // The details of the port of that name; "" when it is not listed.
    Q_INVOKABLE QString detailsOf(const QString& name) const;
    // The module variant ("TAV1", "TAV2", "RIX", "TREKON") the port's name
    // or description names as a word, as the demo ports do; "" when it names
    // none or several.
    Q_INVOKABLE QString variantNamed(const QString& name) const;
    // The serial number of the port of that name; "" when unknown.
    Q_INVOKABLE QString serialNumberOf(const QString& name) const;
    // Which of `among` (names just listed) is the device that was on `name`
    // with `serialNumber`: the same serial number, else the same name; ""
    // when none is.
    Q_INVOKABLE QString sameDevice(const QString& name, const QString& serialNumber, const QStringList& among) const;

private:
    int rowOf(const QString& name, int from = 0) const;

    QList<PortEntry> m_ports;
};
