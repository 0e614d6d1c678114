#pragma once

// Stand-ins for the core objects the QML binds to, with the same QML names,
// properties, signals and invokables. They record every call the UI makes so
// the Quick tests can check what a control asks of the core.

#include <QAbstractListModel>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QStringListModel>

class CallLog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringList calls READ calls NOTIFY callsChanged)

public:
    using QObject::QObject;
    QStringList calls() const { return m_calls; }
    void record(const QString& call)
    {
        m_calls.append(call);
        emit callsChanged();
    }
    Q_INVOKABLE void clear()
    {
        m_calls.clear();
        emit callsChanged();
    }
    Q_INVOKABLE QString last() const { return m_calls.isEmpty() ? QString() : m_calls.last(); }
    Q_INVOKABLE int count(const QString& prefix) const
    {
        int n = 0;
        for (const QString& c : m_calls)
            n += c.startsWith(prefix) ? 1 : 0;
        return n;
    }

signals:
    void callsChanged();

private:
    QStringList m_calls;
};

class MockSensorModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int acquisitionPeriod READ acquisitionPeriod WRITE setAcquisitionPeriod NOTIFY
            acquisitionPeriodChanged)

public:
    enum Id { GNSS, TEMPERATURE, HUMIDITY, PRESSURE, LIGHT, ACCELEROMETER, DRY_CONTACT, PUSH_BUTTON };
    Q_ENUM(Id)
    enum Role {
        IdRole = Qt::UserRole + 1,
        NameRole,
        EnableRole,
        AlertRole,
        HasAlertCmdRole,
        ThresholdTitleRole,
        ThresholdValuesRole
    };

    struct Row {
        QString name;
        bool enable;
        bool alert;
        bool hasAlertCmd;
        QString thresholdTitle;
        QString thresholdValues;
    };

    explicit MockSensorModel(QObject* parent = nullptr)
        : QAbstractListModel(parent)
    {
        m_rows = {{"GNSS", true, false, false, "", "NA"}, {"Temperature", true, false, false, "", "NA"},
            {"Humidity", true, false, false, "", "NA"}, {"Pressure", true, false, false, "", "NA"},
            {"Light", true, false, true, "Low,High", "400,3000"},
            {"Accelerometer", true, false, true, "Bound", "4000"},
            {"Dry contact", true, false, true, "Active level", "1"},
            {"Push button", true, false, true, "", "NA"}};
    }

    int rowCount(const QModelIndex& = {}) const override { return m_rows.size(); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (index.row() < 0 || index.row() >= m_rows.size())
            return {};
        const Row& r = m_rows[index.row()];
        switch (role) {
        case IdRole: return unsigned(index.row());
        case NameRole: return r.name;
        case EnableRole: return r.enable;
        case AlertRole: return r.alert;
        case HasAlertCmdRole: return r.hasAlertCmd;
        case ThresholdTitleRole: return r.thresholdTitle;
        case ThresholdValuesRole: return r.thresholdValues;
        default: return {};
        }
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (index.row() < 0 || index.row() >= m_rows.size())
            return false;
        Row& r = m_rows[index.row()];
        if (role == EnableRole)
            r.enable = value.toBool();
        else if (role == AlertRole)
            r.alert = value.toBool();
        else if (role == ThresholdValuesRole)
            r.thresholdValues = value.toString();
        else
            return false;
        emit dataChanged(index, index, {role});
        return true;
    }
    QHash<int, QByteArray> roleNames() const override
    {
        return {{IdRole, "id"}, {NameRole, "name"}, {EnableRole, "enable"}, {AlertRole, "alert"},
            {HasAlertCmdRole, "hasAlertCmd"}, {ThresholdTitleRole, "thresholdTitle"},
            {ThresholdValuesRole, "thresholdValues"}};
    }
    Q_INVOKABLE QVariant value(int row, const QString& role) const
    {
        return data(index(row), roleNames().key(role.toUtf8()));
    }
    int acquisitionPeriod() const { return m_acquisitionPeriod; }

public slots:
    void setAcquisitionPeriod(int seconds)
    {
        m_acquisitionPeriod = seconds;
        emit acquisitionPeriodChanged();
    }

signals:
    void acquisitionPeriodChanged();

private:
    QList<Row> m_rows;
    int m_acquisitionPeriod = 3600;
};

class MockBoard : public QObject {
    Q_OBJECT
    Q_PROPERTY(Module module READ module NOTIFY moduleChanged)
    Q_PROPERTY(QString name READ name NOTIFY nameChanged)
    Q_PROPERTY(QString port READ port NOTIFY portChanged)
    Q_PROPERTY(QString id READ id NOTIFY idChanged)
    Q_PROPERTY(QString serialNumber READ serialNumber NOTIFY serialNumberChanged)
    Q_PROPERTY(QString addr READ addr NOTIFY addrChanged)
    Q_PROPERTY(QString firmwareVersion READ firmwareVersion NOTIFY firmwareVersionChanged)
    Q_PROPERTY(uint txFrequency READ txFrequency NOTIFY txFrequencyChanged)
    Q_PROPERTY(ushort txPower READ txPower NOTIFY txPowerChanged)
    Q_PROPERTY(MockSensorModel* sensorListModel READ sensorListModel CONSTANT)
    Q_PROPERTY(bool isAwake READ isAwake NOTIFY isAwakeChanged)
    Q_PROPERTY(bool loraCompatible READ loraCompatible NOTIFY loraCompatibleChanged)
    Q_PROPERTY(bool loraStackIntegrated READ loraStackIntegrated NOTIFY loraStackIntegratedChanged)
    Q_PROPERTY(QString loraMinVersion READ loraMinVersion CONSTANT)

public:
    enum Module { NA, TAV1, TAV2, RIX, TREKON };
    Q_ENUM(Module)

    MockBoard(Module module, const QString& port, QObject* parent = nullptr)
        : QObject(parent)
        , m_module(module)
        , m_port(port)
    {
        if (module == TREKON) {
            m_sensors = new MockSensorModel(this);
            m_loraCompatible = true;
            m_isAwake = false;
        }
    }

    Module module() const { return m_module; }
    QString name() const
    {
        static const char* names[] = {"NA", "TAV1", "TAV2", "RIX", "TREKON"};
        return names[m_module];
    }
    QString port() const { return m_port; }
    QString id() const { return m_id; }
    QString serialNumber() const { return m_serialNumber; }
    QString addr() const { return m_addr; }
    QString firmwareVersion() const { return m_firmwareVersion; }
    uint txFrequency() const { return m_txFrequency; }
    ushort txPower() const { return m_txPower; }
    MockSensorModel* sensorListModel() const { return m_sensors; }
    bool isAwake() const { return m_isAwake; }
    bool loraCompatible() const { return m_loraCompatible; }
    bool loraStackIntegrated() const { return m_loraStackIntegrated; }
    QString loraMinVersion() const { return m_loraCompatible ? "1.4" : ""; }

public slots:
    void setId(const QString& v)
    {
        m_id = v.toUpper();
        emit idChanged();
    }
    void setAddr(const QString& v)
    {
        m_addr = v.toUpper();
        emit addrChanged();
    }
    void setSerialNumber(const QString& v)
    {
        m_serialNumber = v;
        emit serialNumberChanged();
    }
    void setFirmwareVersion(const QString& v)
    {
        m_firmwareVersion = v;
        emit firmwareVersionChanged();
        if (m_module == TREKON) {
            m_loraStackIntegrated = v.contains("SW1.4") || v.contains("SW2");
            emit loraStackIntegratedChanged();
        }
    }
    void setTxFrequency(uint v)
    {
        m_txFrequency = v;
        emit txFrequencyChanged();
    }
    void setTxPower(ushort v)
    {
        m_txPower = v;
        emit txPowerChanged();
    }
    void setIsAwake(bool v)
    {
        m_isAwake = v;
        emit isAwakeChanged();
    }

signals:
    void moduleChanged();
    void nameChanged();
    void portChanged();
    void idChanged();
    void serialNumberChanged();
    void addrChanged();
    void firmwareVersionChanged();
    void txFrequencyChanged();
    void txPowerChanged();
    void isAwakeChanged();
    void loraCompatibleChanged();
    void loraStackIntegratedChanged();

private:
    Module m_module;
    QString m_port;
    QString m_id = "NA";
    QString m_serialNumber = "NA";
    QString m_addr;
    QString m_firmwareVersion = "NA";
    uint m_txFrequency = 0;
    ushort m_txPower = 0;
    MockSensorModel* m_sensors = nullptr;
    bool m_isAwake = true;
    bool m_loraCompatible = false;
    bool m_loraStackIntegrated = false;
};

class MockSerialPort : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringListModel* portListModel READ portListModel CONSTANT)
    Q_PROPERTY(int enumerateCount READ enumerateCount NOTIFY portListModelChanged)

public:
    explicit MockSerialPort(QObject* parent = nullptr)
        : QObject(parent)
        , m_ports(new QStringListModel(this))
    {
        m_ports->setStringList({"/dev/ttyUSB0", "/dev/ttyUSB1"});
    }
    QStringListModel* portListModel() const { return m_ports; }
    int enumerateCount() const { return m_enumerateCount; }
    Q_INVOKABLE void enumerate()
    {
        ++m_enumerateCount;
        emit portListModelChanged();
    }
    Q_INVOKABLE void setPorts(const QStringList& ports) { m_ports->setStringList(ports); }

signals:
    void portListModelChanged();
    void doneReading(QString data);
    void serialError(QString error);

private:
    QStringListModel* m_ports;
    int m_enumerateCount = 0;
};

class MockLogger : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString lastExportPath MEMBER m_lastExportPath NOTIFY exported)
    Q_PROPERTY(QString lastExportLogs MEMBER m_lastExportLogs NOTIFY exported)
    Q_PROPERTY(bool lastExportFiltered MEMBER m_lastExportFiltered NOTIFY exported)
    Q_PROPERTY(bool exportSucceeds MEMBER m_exportSucceeds)

public:
    using QObject::QObject;
    enum Source { APP, TAV, TRK };
    Q_ENUM(Source)

    Q_INVOKABLE void clearLogs() { emit logsCleared(); }
    Q_INVOKABLE bool exportLogsToFile(QString filePath, QString logs, bool filterAtCmds)
    {
        m_lastExportPath = filePath;
        m_lastExportLogs = logs;
        m_lastExportFiltered = filterAtCmds;
        emit exported();
        return m_exportSucceeds;
    }
    // Test helper: one line in the format of the device log.
    Q_INVOKABLE void emitLine(const QString& source, const QString& text)
    {
        emit logCreated(
            "[" + QDateTime::currentDateTimeUtc().toString("hh:mm:ss:zzz") + "] [" + source + "] " + text);
    }

signals:
    void logCreated(QString log);
    void logsCleared();
    void exported();

private:
    QString m_lastExportPath;
    QString m_lastExportLogs;
    bool m_lastExportFiltered = false;
    bool m_exportSucceeds = true;
};
