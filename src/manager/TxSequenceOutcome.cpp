#include "TxSequenceOutcome.h"

#include "tx/TxManager.h"
#include "tx/TxSequenceEngine.h"

#include <QTimer>

const QString TxSequenceOutcome::OPERATION = QStringLiteral("txSequence");

TxSequenceOutcome::TxSequenceOutcome(TxManager& tx, OperationTracker& operations, QObject* parent)
    : QObject(parent)
    , m_tx(tx)
    , m_operations(operations)
{
    connect(&m_tx, &TxManager::sequenceRunningChanged, this, &TxSequenceOutcome::onRunningChanged);
    connect(&m_tx, &TxManager::sequenceEnded, this, [this](int failed, int total) {
        if (failed == 0)
            finish(OperationResult::done(QStringLiteral("Tx sequence complete")));
        else
            finish(OperationResult::failed(TxSequenceEngine::failureText(failed, total), m_cause));
    });
    connect(&m_tx, &TxManager::txErrorOccured, this,
        [this](const QString& error) { finish(OperationResult::failed(error, m_cause)); });
}

void TxSequenceOutcome::arm()
{
    m_armed = true;
    m_cause.clear();
}

void TxSequenceOutcome::deviceLost(const QString& error)
{
    finish({OperationResult::DEVICE_LOST, error, error, {}});
}

void TxSequenceOutcome::noteRequest(const RequestResult& result)
{
    if (m_armed && !result.ok() && m_cause.isEmpty())
        m_cause = result.text;
}

void TxSequenceOutcome::onRunningChanged()
{
    if (m_tx.sequenceRunning()) {
        if (!m_armed)
            arm();
        return;
    }
    // The engine names why it stopped just after stopping: a stop still
    // armed once that is done was asked for.
    QTimer::singleShot(0, this, [this]() {
        if (!m_tx.sequenceRunning())
            finish({OperationResult::CANCELLED, QStringLiteral("Tx sequence stopped"), {}, {}});
    });
}

void TxSequenceOutcome::finish(OperationResult result)
{
    if (!m_armed)
        return;
    m_armed = false;
    m_operations.report(OPERATION, result);
}
