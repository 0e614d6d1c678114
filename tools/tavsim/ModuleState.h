#pragma once

#include "Variant.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Everything a module stores and reports back on a get: its identity and the
// configuration written by set commands. Plain data; the firmware checks the
// values before storing them.
struct ModuleState {
    struct RadioConfig {
        qint64 frequencyMin = 0; // Hz
        qint64 frequencyMax = 0; // Hz
        int power = 0; // mW
        QString modulation;
        QByteArray blob; // the last 16-byte configuration written
    };

    struct PrepassConfig {
        double latitude = 0;
        double longitude = 0;
        QDateTime start;
        QDateTime end;
        double minElevation = 15;
        double maxElevation = 90;
        double minPassDuration = 5; // minutes
        int maxPasses = 1000;
        double timeMargin = 5; // minutes after six months
        int computationStep = 30; // seconds
    };

    struct LoRa {
        bool enabled = false;
        int redundancy = 1;
        bool ack = false;
        QByteArray deviceEui;
        QByteArray appEui;
        QByteArray appKey;
    };

    struct Alerts {
        bool lightEnabled = false;
        int lightLow = 400;
        int lightHigh = 3000;
        bool accEnabled = false;
        int accBound = 4000;
        bool dryContactEnabled = false;
        int dryContactLevel = 1;
        bool pushButtonEnabled = false;
    };

    QString id;
    QString address;
    QString firmware;
    QString serialNumber;

    qint64 txFrequency = 0; // Hz
    bool frequencyHopping = false;
    int txPower = 0; // mW
    int formatRaw = 1; // AFMT: 0 raw, 1 standard format
    int formatLength = 16;
    int formatSync = 32;

    RadioConfig radio;
    int prepassEnable = 0;
    PrepassConfig prepass;
    double latitude = 0;
    double longitude = 0;
    int repetitionCount = 0;
    int repetitionPeriodMs = 60000;

    LoRa lora;
    int acquisitionPeriod = 60; // seconds
    QList<bool> acquisitionEnables;
    QList<bool> alertEnables;
    Alerts alerts;
    int tavRedundancy = 3;
    bool tavTxEnabled = true;

    // What a module of this variant reports out of the factory.
    static ModuleState factory(Variant variant, const QDateTime& utcNow);

    // The radio configuration encoded in a 16-byte blob by this firmware:
    // frequency min and max (Hz, 32 bits each), power (mW, 16 bits) and the
    // modulation index, big-endian; false when it does not describe one.
    static bool decodeRadioBlob(const QByteArray& blob, RadioConfig* config);
    static QByteArray encodeRadioBlob(const RadioConfig& config);
    static const QStringList& modulations();
    // Largest frame of user data, in bytes, that the modulation carries.
    static int maxFrameBytes(const QString& modulation);
};
