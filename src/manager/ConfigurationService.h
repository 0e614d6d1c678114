#pragma once

#include "protocol/AtCmdHandler.h"
#include "tx/PrepassTypes.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class BusyState;
class Logger;
class ModuleConnection;
class OperationTracker;
class RequestEngine;
class TxManager;

// One setting of the module's configuration as the window holds it: the name
// the window gives it, and the set command that writes it.
struct ConfigCommand {
    QString name; // "Beacon position"; a satellite's orbit data by the satellite
    AtCmdHandler::CmdId id;
    QStringList args;
    quint16 timeoutMs;
    // Logged when the module refuses it; empty when nothing is logged.
    QString failure;
    // Logged when it is reached, sent or written to a file.
    QStringList notes;
    // The window's progress text while it goes out; empty leaves it.
    QString progress;
    // What sending it changes in the tool, told whether the module took it;
    // a file written from it changes nothing.
    std::function<void(bool taken)> after;
};

// The whole configuration written to the module: one sequence of set
// commands, built from the window's values, that an upload sends through the
// request engine and an export collects for a file. Each step is built just
// before it goes (the date is the one at that moment, the orbit data may be
// downloaded first), and a step that fails ends the sequence, in both.
class ConfigurationService : public QObject {
    Q_OBJECT

public:
    // The steps of the sequence that can end it.
    enum Step { NO_STEP, SENSORS, TX_PROFILE, PREPASS, RESET };
    Q_ENUM(Step)

    ConfigurationService(ModuleConnection& connection, RequestEngine& requests, Logger& logger, TxManager& tx,
        BusyState& busy, OperationTracker& operations, QObject* parent);

    // What the window shows when `step` could not be uploaded:
    // "Unable to set sensor configuration!".
    static QString uploadFailure(Step step);
    // "sensor configuration".
    static QString stepName(Step step);

    // Sends the sequence; the step that failed, NO_STEP when all went. With
    // `announceReset` the reset is logged before it goes.
    Step upload(bool announceReset);
    // The same sequence, collected instead of sent; `failed` is the step that
    // could not be collected (the list then ends before it).
    QList<ConfigCommand> collect(Step* failed);
    // The settings the views hold, as the sequence writes them, without the
    // date, the orbit data and the reset: what a file is compared with
    // before it is loaded into the views.
    QList<ConfigCommand> viewCommands() const;
    // The text of a configuration file: the frames of `commands`, in order.
    QString fileText(const QList<ConfigCommand>& commands) const;

    // The single settings, as the window's setters send them.
    ConfigCommand position(double latitude, double longitude) const;
    ConfigCommand utcDate(const QString& isoDate) const;
    ConfigCommand prepassEnable(bool enable) const;
    ConfigCommand txRedundancy(quint8 redundancy) const;
    ConfigCommand prepassConfig(const PrepassConfig& config) const;
    ConfigCommand loraEnable() const;
    ConfigCommand reset() const;

    // Sends one setting; true when the module took it.
    bool send(const ConfigCommand& command);
    // The sensor settings, the LoRa settings and the orbit data, each on its
    // own as the window sends them, and inside the sequence.
    bool sendSensors();
    bool sendLoRa();
    bool sendOrbitData();

private:
    using Writer = std::function<bool(const ConfigCommand&)>;

    Step writeAll(const Writer& write, bool announceReset);
    bool writeEach(const Writer& write, const QList<ConfigCommand>& commands);
    bool writeSensors(const Writer& write);
    bool writeLoRa(const Writer& write);
    bool writeOrbitData(const Writer& write);
    QList<ConfigCommand> sensorCommands() const;
    ConfigCommand beaconPosition() const;
    // The profile's prepass enable and redundancy.
    QList<ConfigCommand> profileCommands() const;
    // The prediction settings, when a prepass profile is selected.
    QList<ConfigCommand> predictionCommands() const;
    QList<ConfigCommand> loraCommands() const;
    // One AOP (and SAT where the variant knows it) per supported satellite;
    // `closingNotes` are those met after the last one.
    QList<ConfigCommand> orbitCommands(QStringList* closingNotes) const;
    void logNotes(const QStringList& notes);
    QString boardName() const;

    ModuleConnection& m_connection;
    RequestEngine& m_requests;
    Logger& m_logger;
    TxManager& m_tx;
    BusyState& m_busy;
    OperationTracker& m_operations;
};
