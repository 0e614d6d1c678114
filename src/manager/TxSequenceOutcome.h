#pragma once

#include "OperationTracker.h"

#include <QObject>

class TxManager;

// Turns what the sequence engine reports into the outcome of one Tx
// sequence: complete, failed with the engine's error, stopped, or ended by
// the loss of the device. Armed when a sequence starts (or is asked to).
class TxSequenceOutcome : public QObject {
    Q_OBJECT

public:
    static const QString OPERATION;

    TxSequenceOutcome(TxManager& tx, OperationTracker& operations, QObject* parent = nullptr);

    // The next error of the engine, even one refusing to start, is this
    // sequence's.
    void arm();
    // The device vanished and is not waited for.
    void deviceLost(const QString& error);
    // A request failed while the sequence ran: the first one is the cause.
    void noteRequest(const RequestResult& result);

private:
    void finish(OperationResult result);
    void onRunningChanged();

    TxManager& m_tx;
    OperationTracker& m_operations;
    bool m_armed = false;
    QString m_cause;
};
