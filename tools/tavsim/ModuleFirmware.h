#pragma once

#include "Constellation.h"
#include "ModuleState.h"
#include "Variant.h"

#include <QObject>
#include <QStringList>

class Transmitter;

// What the module's firmware does with one request line: the command table of
// the variant, argument checks, the stored configuration, and the lines it
// answers. Asynchronous lines (transmit results, the development kit's status
// after a reset) come out through `unsolicited`.
class ModuleFirmware : public QObject {
    Q_OBJECT

public:
    struct Timing {
        int txDelayMs = 1000;
        double passInS = 2;
        double passDurationS = 612.5;
        int resetDelayMs = 300;
    };

    ModuleFirmware(Variant variant, const Timing& timing, QObject* parent = nullptr);

    Variant variant() const { return m_variant; }
    Transmitter* transmitter() const { return m_tx; }
    // The module's own UTC clock (settable with UDATE).
    QDateTime clock() const;

    // Answer lines for one request line, CR LF stripped. A blank line gets none.
    QStringList handle(const QString& request);
    // The command word of a request line, empty when it is not an AT frame.
    static QString wordOf(const QString& request);
    bool supports(const QString& word) const;
    // An answer the module could give unasked (for flooding the line).
    QString nextUnsolicitedSample();
    // A firmware crash restarts the module: queued messages and the pass
    // prediction are lost, the stored configuration is kept.
    void reboot();

signals:
    void unsolicited(const QString& line);

private:
    using Reply = QStringList;
    using Getter = Reply (ModuleFirmware::*)();
    using Setter = Reply (ModuleFirmware::*)(const QStringList&);

    struct Command {
        const char* word;
        Variants variants;
        Getter get; // null: the command needs arguments
        Setter set; // null: the value is read-only
    };

    static const QList<Command>& commands();
    const Command* find(const QString& word) const;

    static Reply ok();
    static Reply error(int code);
    static Reply line(const char* word, const QString& data);
    Reply answer(const class ArgReader& args) const;

    // Identity and link
    Reply getPing();
    Reply getId();
    Reply getAddr();
    Reply getFirmware();
    Reply getSerialNumber();
    Reply setReset(const QStringList& args);

    // Radio and transmissions (FirmwareTransmit.cpp)
    Reply getTxFrequency();
    Reply setTxFrequency(const QStringList& args);
    Reply getTxPower();
    Reply setTxPower(const QStringList& args);
    Reply getFormat();
    Reply setFormat(const QStringList& args);
    Reply getRadioConfig();
    Reply setRadioConfig(const QStringList& args);
    bool readMessage(class ArgReader& a, QString* data, uint* attribute) const;
    Reply setTx(const QStringList& args);
    Reply setTxData(const QStringList& args);
    Reply getTxFifo();
    Reply setTxFifo(const QStringList& args);
    Reply getRepetition();
    Reply setRepetition(const QStringList& args);

    // Orbit data, clock and prediction (FirmwareOrbit.cpp)
    Reply getPrepassEnable();
    Reply setPrepassEnable(const QStringList& args);
    Reply getPrepassConfig();
    Reply setPrepassConfig(const QStringList& args);
    Reply getPosition();
    Reply setPosition(const QStringList& args);
    Reply getAop();
    Reply setAop(const QStringList& args);
    Reply getSat();
    Reply setSat(const QStringList& args);
    Reply getDate();
    Reply setDate(const QStringList& args);
    Reply getNextPass();
    Reply setNextPass(const QStringList& args);
    Reply nextPass(bool needDownlink);
    qint64 msUntilPredictedPass();

    // Development kit: LoRa, sensors, satellite link (FirmwareDevKit.cpp)
    Reply getLoraEnable();
    Reply setLoraEnable(const QStringList& args);
    Reply getLoraRedundancy();
    Reply setLoraRedundancy(const QStringList& args);
    Reply getLoraAck();
    Reply setLoraAck(const QStringList& args);
    Reply getLoraDeviceEui();
    Reply getLoraAppEui();
    Reply setLoraAppEui(const QStringList& args);
    Reply getLoraAppKey();
    Reply setLoraAppKey(const QStringList& args);
    Reply getAcquisitionPeriod();
    Reply setAcquisitionPeriod(const QStringList& args);
    Reply getAcquisitionEnables();
    Reply setAcquisitionEnables(const QStringList& args);
    Reply getAlertEnables();
    Reply setAlertEnables(const QStringList& args);
    Reply getLightAlert();
    Reply setLightAlert(const QStringList& args);
    Reply getAccAlert();
    Reply setAccAlert(const QStringList& args);
    Reply getDryContactAlert();
    Reply setDryContactAlert(const QStringList& args);
    Reply getPushButtonAlert();
    Reply setPushButtonAlert(const QStringList& args);
    Reply getTavRedundancy();
    Reply setTavRedundancy(const QStringList& args);
    Reply getTavTx();
    Reply setTavTx(const QStringList& args);

    Variant m_variant;
    Timing m_timing;
    ModuleState m_state;
    Constellation m_constellation;
    Transmitter* m_tx;
    qint64 m_clockOffsetMs = 0;
    int m_sampleTurn = 0;
};
