#pragma once

#include "MockCore.h"

#include <QRegularExpression>
#include <QTime>
#include <QTimer>

class MockPayload : public QObject {
    Q_OBJECT

public:
    enum Status { NONE, ERROR, PENDING, ACTIVE, COMPLETE };
    Q_ENUM(Status)
};

class MockPayloadModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(QList<uint> allowedSize READ allowedSize WRITE setAllowedSize NOTIFY allowedSizeChanged)

public:
    enum Role {
        MessageRole = 257,
        RedundancyRole,
        OptionAckRole,
        OptionMailRole,
        OptionImportantRole,
        TxCountRole,
        StatusRole
    };

    struct Row {
        QString message;
        int redundancy = 4;
        bool ack = false;
        bool mail = false;
        bool important = false;
        int txCount = 0;
        int status = MockPayload::NONE;
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& = {}) const override { return m_rows.size(); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (index.row() < 0 || index.row() >= m_rows.size())
            return {};
        const Row& r = m_rows[index.row()];
        switch (role) {
        case MessageRole: return r.message;
        case RedundancyRole: return r.redundancy;
        case OptionAckRole: return r.ack;
        case OptionMailRole: return r.mail;
        case OptionImportantRole: return r.important;
        case TxCountRole: return r.txCount;
        case StatusRole: return r.status;
        default: return {};
        }
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (index.row() < 0 || index.row() >= m_rows.size())
            return false;
        Row& r = m_rows[index.row()];
        QList<int> roles {role};
        switch (role) {
        case MessageRole: r.message = value.toString().toUpper(); break;
        case RedundancyRole: r.redundancy = value.toInt(); break;
        case OptionAckRole: r.ack = value.toBool(); break;
        case OptionMailRole: r.mail = value.toBool(); break;
        case OptionImportantRole:
            r.important = value.toBool();
            r.redundancy = r.important ? 10 : 4;
            roles.append(RedundancyRole);
            break;
        case TxCountRole: r.txCount = value.toInt(); break;
        case StatusRole: r.status = value.toInt(); break;
        default: return false;
        }
        emit dataChanged(index, index, roles);
        if (role == MessageRole || role == OptionAckRole || role == OptionMailRole)
            revalidate(index.row());
        return true;
    }
    QHash<int, QByteArray> roleNames() const override
    {
        return {{MessageRole, "message"}, {RedundancyRole, "redundancy"}, {OptionAckRole, "optionAck"},
            {OptionMailRole, "optionMail"}, {OptionImportantRole, "optionImportant"},
            {TxCountRole, "txCount"}, {StatusRole, "status"}};
    }

    void add(const QString& message, int redundancy)
    {
        beginInsertRows({}, m_rows.size(), m_rows.size());
        Row r;
        r.message = message.isEmpty() ? QString::asprintf("%.8d", int(m_rows.size())) : message.toUpper();
        r.redundancy = redundancy;
        r.status = checkPayload(r.message, false) ? MockPayload::NONE : MockPayload::ERROR;
        m_rows.append(r);
        endInsertRows();
    }

    Q_INVOKABLE void remove(int index)
    {
        if (index < 0 || index >= m_rows.size())
            return;
        beginRemoveRows({}, index, index);
        m_rows.removeAt(index);
        endRemoveRows();
    }
    Q_INVOKABLE bool checkPayload(int index) const
    {
        if (index >= m_rows.size())
            return true;
        return checkPayload(m_rows[index].message, m_rows[index].ack || m_rows[index].mail);
    }
    Q_INVOKABLE bool checkPayload(const QString& message, bool options) const
    {
        if (m_allowed.isEmpty())
            return true;
        if (message.size() % 2)
            return false;
        return m_allowed.contains(uint(message.size() / 2 + (options ? 2 : 0)));
    }
    Q_INVOKABLE QVariant value(int row, const QString& role) const
    {
        return data(index(row), roleNames().key(role.toUtf8()));
    }
    Q_INVOKABLE void setValue(int row, const QString& role, const QVariant& v)
    {
        setData(index(row), v, roleNames().key(role.toUtf8()));
    }

    QList<uint> allowedSize() const { return m_allowed; }

public slots:
    void setAllowedSize(const QList<uint>& sizes)
    {
        m_allowed = sizes;
        emit allowedSizeChanged();
        for (int i = 0; i < m_rows.size(); ++i)
            revalidate(i);
    }

signals:
    void payloadChecked(int index, bool status);
    void allowedSizeChanged();

private:
    void revalidate(int row)
    {
        const bool ok = checkPayload(row);
        m_rows[row].status = ok ? MockPayload::NONE : MockPayload::ERROR;
        emit dataChanged(index(row), index(row), {StatusRole});
        emit payloadChecked(row, ok);
    }

    QList<Row> m_rows;
    QList<uint> m_allowed;
};

class MockPeriodicProfile : public QObject {
    Q_OBJECT
    Q_PROPERTY(int period MEMBER m_period NOTIFY periodChanged)
    Q_PROPERTY(int redundancy MEMBER m_redundancy NOTIFY redundancyChanged)
    Q_PROPERTY(int delay MEMBER m_delay NOTIFY delayChanged)

public:
    using QObject::QObject;

signals:
    void periodChanged();
    void redundancyChanged();
    void delayChanged();

private:
    int m_period = 5;
    int m_redundancy = 4;
    int m_delay = 60;
};

class MockPosition {
    Q_GADGET
    Q_PROPERTY(double latitude MEMBER latitude)
    Q_PROPERTY(double longitude MEMBER longitude)

public:
    double latitude = 0;
    double longitude = 0;
    bool operator==(const MockPosition& o) const
    {
        return latitude == o.latitude && longitude == o.longitude;
    }
    bool operator!=(const MockPosition& o) const { return !(*this == o); }
};

class MockPrepassConfig {
    Q_GADGET
    Q_PROPERTY(int predictionDuration MEMBER predictionDuration)
    Q_PROPERTY(double minElevation MEMBER minElevation)
    Q_PROPERTY(int minPassDuration MEMBER minPassDuration)

public:
    int predictionDuration = 0;
    double minElevation = 5.0;
    int minPassDuration = 5;
    bool operator==(const MockPrepassConfig& o) const
    {
        return predictionDuration == o.predictionDuration && minElevation == o.minElevation
            && minPassDuration == o.minPassDuration;
    }
    bool operator!=(const MockPrepassConfig& o) const { return !(*this == o); }
};

class MockPrepassModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        SatelliteRole = Qt::UserRole + 1,
        StartRole,
        EndRole,
        DurationRole,
        ElevationRole,
        StartAzimuthRole,
        EndAzimuthRole,
        ActiveRole
    };
    struct Row {
        QString satellite;
        QDateTime start;
        QDateTime end;
        int duration;
        double elevation;
        double startAzimuth;
        double endAzimuth;
        bool active;
    };

    using QAbstractListModel::QAbstractListModel;

    static QString dateText(const QDateTime& d)
    {
        return d.isValid() ? d.toUTC().toString("dd/MM/yyyy hh:mm:ss") : "NA";
    }

    int rowCount(const QModelIndex& = {}) const override { return m_rows.size(); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (index.row() < 0 || index.row() >= m_rows.size())
            return {};
        const Row& r = m_rows[index.row()];
        switch (role) {
        case SatelliteRole: return r.satellite;
        case StartRole: return dateText(r.start);
        case EndRole: return dateText(r.end);
        case DurationRole: return QTime(0, 0).addSecs(r.duration).toString("hh:mm:ss");
        case ElevationRole: return r.elevation;
        case StartAzimuthRole: return r.startAzimuth;
        case EndAzimuthRole: return r.endAzimuth;
        case ActiveRole: return r.active;
        default: return {};
        }
    }
    QHash<int, QByteArray> roleNames() const override
    {
        return {{SatelliteRole, "satellite"}, {StartRole, "start"}, {EndRole, "end"},
            {DurationRole, "duration"}, {ElevationRole, "elevation"}, {StartAzimuthRole, "startAzimuth"},
            {EndAzimuthRole, "endAzimuth"}, {ActiveRole, "active"}};
    }
    Q_INVOKABLE void add(
        const QString& satellite, const QDateTime& start, int durationSeconds, double elevation, bool active)
    {
        beginInsertRows({}, m_rows.size(), m_rows.size());
        m_rows.append({satellite, start, start.addSecs(durationSeconds), durationSeconds, elevation, 12.5,
            190.0, active});
        endInsertRows();
    }
    Q_INVOKABLE void clear()
    {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }

private:
    QList<Row> m_rows;
};

class MockSatelliteAopModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(QString creationDate READ creationDate NOTIFY creationDateChanged)

public:
    enum Role { NameRole = Qt::UserRole + 1, DownlinkRole, UplinkRole, AopRole };
    struct Row {
        QString name;
        QString downlink;
        QString uplink;
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& = {}) const override { return m_rows.size(); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (index.row() < 0 || index.row() >= m_rows.size())
            return {};
        const Row& r = m_rows[index.row()];
        switch (role) {
        case NameRole: return r.name;
        case DownlinkRole: return r.downlink;
        case UplinkRole: return r.uplink;
        case AopRole:
            return QStringLiteral(
                "<b>allcastIdent:</b> %1<br><b>date:</b> Tue Mar 5 10:00:00 2024<br>"
                "<b>semiMajorAxis:</b> 7195.6 km<br><b>semiMajorAxisDrift:</b> -0.08 meter/day<br>"
                "<b>inclination:</b> 98.54°<br><b>ascendantNodeLongitude:</b> 327.3 °<br>"
                "<b>ascendantNodeDrift:</b> -25.34°<br><b>orbitalPeriod:</b> 101.36 min")
                .arg(QChar('A' + index.row()));
        default: return {};
        }
    }
    QHash<int, QByteArray> roleNames() const override
    {
        return {{NameRole, "satelliteName"}, {DownlinkRole, "downlinkStatus"}, {UplinkRole, "uplinkStatus"},
            {AopRole, "aopData"}};
    }
    QString creationDate() const
    {
        return m_creationDate.isValid() ? m_creationDate.toString() + " (UTC)" : " (UTC)";
    }
    Q_INVOKABLE QString getDownlinkCapability(const QString& satelliteName) const
    {
        for (const Row& r : m_rows)
            if (r.name == satelliteName)
                return r.downlink.contains("OFF") ? "OFF" : "ON";
        return "NA";
    }
    Q_INVOKABLE void fill()
    {
        beginResetModel();
        m_rows = {{"SARAL", "OFF", "ARGOS-3 "}, {"METOP-B", "ARGOS-3 ", "ARGOS-3 "},
            {"NOAA-18", "OFF", "ARGOS-3 "}, {"ANGELS", "OFF", "ARGOS-Angel "},
            {"METOP-C", "ARGOS-4 ", "ARGOS-4 "}, {"OCEANSAT-3", "Spare, N/A", "OFF"}};
        endResetModel();
        m_creationDate = QDateTime(QDate(2024, 3, 5), QTime(9, 30), Qt::UTC);
        emit creationDateChanged();
    }

signals:
    void creationDateChanged();

private:
    QList<Row> m_rows;
    QDateTime m_creationDate;
};

class MockPrepassProfile : public QObject {
    Q_OBJECT
    Q_PROPERTY(MockPosition position MEMBER m_position NOTIFY positionChanged)
    Q_PROPERTY(MockPrepassConfig config MEMBER m_config NOTIFY configChanged)
    Q_PROPERTY(int redundancy MEMBER m_redundancy NOTIFY redundancyChanged)
    Q_PROPERTY(MockSatelliteAopModel* satelliteAopModel READ satelliteAopModel CONSTANT)
    Q_PROPERTY(MockPrepassModel* nextPassModel READ nextPassModel CONSTANT)
    Q_PROPERTY(bool downloadSucceeds MEMBER m_downloadSucceeds)

public:
    explicit MockPrepassProfile(CallLog* calls, QObject* parent = nullptr)
        : QObject(parent)
        , m_calls(calls)
        , m_aop(new MockSatelliteAopModel(this))
        , m_next(new MockPrepassModel(this))
    {
        m_next->add("NA", {}, 0, 0, false);
    }
    MockSatelliteAopModel* satelliteAopModel() const { return m_aop; }
    MockPrepassModel* nextPassModel() const { return m_next; }

    Q_INVOKABLE bool downloadAopData()
    {
        m_calls->record("downloadAopData()");
        if (m_downloadSucceeds)
            m_aop->fill();
        emit aopDataDownloadFinished(m_downloadSucceeds
                ? QString()
                : "Unable to fetch last AOP data from server. Check your internet access.");
        return m_downloadSucceeds;
    }

signals:
    void positionChanged();
    void configChanged();
    void redundancyChanged();
    void aopDataDownloadFinished(QString error);

private:
    CallLog* m_calls;
    MockPosition m_position;
    MockPrepassConfig m_config;
    int m_redundancy = 4;
    MockSatelliteAopModel* m_aop;
    MockPrepassModel* m_next;
    bool m_downloadSucceeds = true;
};

class MockLoRa : public QObject {
    Q_OBJECT

    static QString hex(QString text)
    {
        text.remove(QRegularExpression("[\\s,:-]"));
        return QRegularExpression("^[0-9a-fA-F]*$").match(text).hasMatch() ? text.toUpper() : QString();
    }
    Q_PROPERTY(QString devEui MEMBER m_devEui NOTIFY changed)
    Q_PROPERTY(QString appEui MEMBER m_appEui NOTIFY changed)
    Q_PROPERTY(QString appKey MEMBER m_appKey NOTIFY changed)
    Q_PROPERTY(int redundancy MEMBER m_redundancy NOTIFY changed)
    Q_PROPERTY(bool ackEnabled MEMBER m_ackEnabled NOTIFY changed)

public:
    using QObject::QObject;

    Q_INVOKABLE static bool isValidEui(const QString& text) { return hex(text).size() == 16; }
    Q_INVOKABLE static bool isValidKey(const QString& text) { return hex(text).size() == 32; }

public slots:
    bool setAppEui(const QString& v)
    {
        if (!isValidEui(v))
            return false;
        m_appEui = hex(v);
        emit changed();
        return true;
    }
    bool setAppKey(const QString& v)
    {
        if (!isValidKey(v))
            return false;
        m_appKey = hex(v);
        emit changed();
        return true;
    }
    void setRedundancy(int v)
    {
        m_redundancy = v;
        emit changed();
    }
    void setAckEnabled(bool v)
    {
        m_ackEnabled = v;
        emit changed();
    }

signals:
    void changed();

private:
    QString m_devEui = "70B3D57ED0010203";
    QString m_appEui = "0000000000000000";
    QString m_appKey = "00000000000000000000000000000000";
    int m_redundancy = 1;
    bool m_ackEnabled = false;
};

class MockModulation : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString modulationName MEMBER m_name CONSTANT)
    Q_PROPERTY(uint frequencyMin MEMBER m_min CONSTANT)
    Q_PROPERTY(uint frequencyMax MEMBER m_max CONSTANT)
    Q_PROPERTY(uint power MEMBER m_power CONSTANT)
    Q_PROPERTY(QString allowedSizeText MEMBER m_sizes CONSTANT)

public:
    using QObject::QObject;

private:
    QString m_name = "LDA2";
    uint m_min = 401620000;
    uint m_max = 401680000;
    uint m_power = 500;
    QString m_sizes = "3, 8, 16, 24";
};
