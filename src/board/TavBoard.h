#pragma once

#include "SensorModel.h"
#include "log/Logger.h"
#include "protocol/AtCmdHandler.h"
#include "protocol/ModuleType.h"
#include "serial/PortSettings.h"

#include <QMap>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>

struct VariantCapabilities;

// What the tool knows of the connected module or evaluation board: what the
// user picked (module, port), what was read from it, and the fixed data each
// variant supplies (serial settings, response grammar, log source, sensors).
class TavBoard : public QObject, public ModuleType {
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
    Q_PROPERTY(SensorModel* sensorListModel READ sensorListModel CONSTANT)
    Q_PROPERTY(bool isAwake READ isAwake NOTIFY isAwakeChanged)
    Q_PROPERTY(bool loraCompatible READ loraCompatible NOTIFY loraCompatibleChanged)
    Q_PROPERTY(bool loraStackIntegrated READ loraStackIntegrated NOTIFY loraStackIntegratedChanged)
    Q_PROPERTY(QString loraMinVersion READ loraMinVersion CONSTANT)
    Q_PROPERTY(QStringList commandWords READ commandWords NOTIFY moduleChanged)

public:
    // The variants (Module, TAV1...) are the protocol's, the line settings
    // the serial line's.
    using PortSettings = ::PortSettings;

    // Shown for every value the module has not given yet.
    static constexpr const char* NOT_AVAILABLE_STR = "NA";

    ~TavBoard() override = 0;

    PortSettings getPortSettings() const { return m_portSettings; }
    QMap<AtCmdHandler::CmdId, QString> getAtCmdRegexMap() const { return m_atCmdRegexMap; }
    Logger::Source loggerSrc() const { return m_loggerSrc; }
    const VariantCapabilities& capabilities() const;
    // True when the variant's firmware knows the command.
    bool knows(AtCmdHandler::CmdId id) const;
    // "AT+WORD=" for every command the variant knows, for completion.
    QStringList commandWords() const;

    Module module() const { return m_module; }
    QString name() const;
    QString port() const { return m_port; }
    QString id() const { return m_id; }
    QString serialNumber() const { return m_serialNumber; }
    QString addr() const { return m_addr; }
    QString firmwareVersion() const { return m_firmwareVersion; }
    uint txFrequency() const { return m_txFrequency; }
    ushort txPower() const { return m_txPower; }
    SensorModel* sensorListModel() const { return m_sensorListModel; }
    bool isAwake() const { return m_isAwake; }
    bool loraCompatible() const { return m_loraCompatible; }
    bool loraStackIntegrated() const { return m_loraStackIntegrated; }
    QString loraMinVersion() const { return m_loraMinVersion; }

public slots:
    // Every setter signals on each call, changed or not: the views refresh
    // on every answer of the module, also when it repeats itself.
    void setModule(TavBoard::Module module);
    void setPort(const QString& port);
    void setId(const QString& id);
    void setAddr(const QString& addr);
    void setSerialNumber(const QString& serialNumber);
    virtual void setFirmwareVersion(const QString& version);
    void setTxFrequency(uint frequency);
    void setTxPower(ushort power);
    void setIsAwake(bool awake);

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

protected:
    // Takes the grammar and the fixed data of `module` from the command
    // table and the variant's capabilities.
    TavBoard(QObject* parent, Module module, QSerialPort::BaudRate baudRate);

    // 8 data bits, no parity, one stop bit, no flow control: the line of every variant.
    static PortSettings portSettingsAt(QSerialPort::BaudRate baudRate);

    void setLoraStackIntegrated(bool integrated);

    PortSettings m_portSettings;
    QMap<AtCmdHandler::CmdId, QString> m_atCmdRegexMap;
    SensorModel* m_sensorListModel;
    bool m_isAwake;
    Logger::Source m_loggerSrc;
    bool m_loraCompatible;
    bool m_loraStackIntegrated;
    QString m_loraMinVersion;
    Module m_module;

private:
    QString m_firmwareVersion;
    QString m_port;
    QString m_id;
    QString m_addr;
    QString m_serialNumber;
    uint m_txFrequency;
    ushort m_txPower;
};
