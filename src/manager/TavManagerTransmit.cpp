// Orbit data upload, next-pass request and transmit requests: what the
// transmission manager reaches the module through.
#include "ConfigurationService.h"
#include "TavManager.h"
#include "orbit/SatelliteAop.h"
#include "orbit/SatelliteAopModel.h"
#include "tx/PrepassProfile.h"

#include <QDebug>

bool TavManager::setAopDataAndConstellationStatus()
{
    return m_config->sendOrbitData();
}

bool TavManager::downloadAopData()
{
    // A download started from the passes page is not a busy operation, but
    // reports its own outcome.
    if (m_busy->busy() || m_tx->prepassProfile()->downloading())
        return false;
    BusyState::Scope busy(*m_busy, QStringLiteral("Downloading orbit data\u2026"));
    OperationTracker::Scope operation(*m_operations, QStringLiteral("downloadAopData"));
    PrepassProfile* prepass = m_tx->prepassProfile();
    const bool ok = prepass->downloadAopData();
    const SatelliteAopModel* model = prepass->satelliteAopModel();
    if (ok) {
        const QString text = QStringLiteral("%1 satellites downloaded (bulletin of %2 UTC)")
                                 .arg(model->rowCount())
                                 .arg(model->creationDateTime().toUTC().toString("yyyy-MM-dd HH:mm:ss"));
        operation.succeed(text);
        emit orbitDataOutcome(text, false);
    } else {
        const QString error = prepass->lastDownloadError();
        m_operations->noteFailure(prepass->lastNetworkError());
        operation.fail(error);
        emit orbitDataOutcome(error + ' ' + PrepassProfile::AOP_URL_HINT, true);
    }
    return ok;
}

bool TavManager::readAopData()
{
    if (m_busy->busy())
        return false;
    BusyState::Scope busy(*m_busy, QStringLiteral("Reading the orbit data of the module\u2026"));
    const bool ok = board() && sendBuiltinAtCmd(AtCmdHandler::AOP);
    if (ok) {
        emit orbitDataOutcome(
            QStringLiteral("%1 satellites read from the module")
                .arg(m_tx->prepassProfile()->satelliteAopModel()->rowCount()),
            false);
    } else {
        m_logger->log(Logger::APP, "Unable to get AOP data");
        emit orbitDataOutcome(QStringLiteral("The module did not give its orbit data"), true);
    }
    return ok;
}

bool TavManager::uploadAopData()
{
    if (m_busy->busy())
        return false;
    // The upload shows its own progress.
    const bool ok = board() && setAopDataAndConstellationStatus();
    const int rows = m_tx->prepassProfile()->satelliteAopModel()->rowCount();
    if (ok)
        emit orbitDataOutcome(QStringLiteral("Orbit data of %1 satellites uploaded to the module").arg(rows), false);
    else
        emit orbitDataOutcome(QStringLiteral("Unable to upload the orbit data to the module"), true);
    return ok;
}

bool TavManager::importPrepassData(const QString& filePath)
{
    OperationTracker::Scope operation(*m_operations, QStringLiteral("importPrepassData"));
    QString error;
    const auto refusal = QObject::connect(
        m_tx, &TxManager::loadPrepassDataCompleted, this, [&error](const QString& e) { error = e; });
    const bool ok = m_tx->importPrepassData(filePath);
    QObject::disconnect(refusal);
    if (ok) {
        operation.succeed(m_tx->prepassSource());
    } else {
        m_operations->noteFailure(error);
        operation.fail(error);
    }
    return ok;
}

void TavManager::getSatelliteNextPass()
{
    getSatelliteNextPass(Payload::Options {});
}

void TavManager::getSatelliteNextPass(Payload::Options options)
{
    BusyState::Scope busy(*m_busy, QStringLiteral("Asking the module for the next satellite pass\u2026"));
    OperationTracker::Scope operation(*m_operations, QStringLiteral("getSatelliteNextPass"));
    m_tx->setComputingSatelliteNextPass(true);
    QStringList args;
    if (options.ack || options.mail)
        args = QStringList {"3", "3"};

    PrepassProfile* prepass = m_tx->prepassProfile();
    if (prepass->satelliteAopModel()->rowCount() == 0 && !prepass->downloadAopData())
        logFailure(QStringLiteral("Unable to fetch AOP data"));

    const bool answered = sendSet(
        AtCmdHandler::NEXTPASS, args, TAV_REQUEST_LARGE_TIMEOUT_MS, "Unable to get satellite next pass");
    const PrepassModel* passes = prepass->nextPassModel();
    // The placeholder row "NA" has no date: it is no pass.
    if (!answered)
        operation.fail(QStringLiteral("Unable to get satellite next pass"));
    else if (passes->rowCount() == 0 || !passes->at(0).start().isValid())
        operation.fail(QStringLiteral("The module gave no next pass"));
    else
        operation.succeed("Next pass of " + passes->at(0).satellite() + " at " + passes->at(0).start().toString(Qt::ISODate));
    m_tx->setComputingSatelliteNextPass(false);
}

bool TavManager::requestTx(QString data, Payload::Options options, bool flush)
{
    if (!board())
        return false;
    QStringList args = {data};
    const TxManager::Profile profile = m_tx->selectedProfile();

    // Without a transmit queue each message is sent at once, and nothing is flushed.
    if (!board()->knows(AtCmdHandler::TXFIFO)) {
        if (flush)
            return true;
        return sendBuiltinAtCmd(AtCmdHandler::TX, args);
    }

    if (flush) {
        const bool flushNeeded
            = (profile == TxManager::PERIODIC && options.ack) || profile == TxManager::PREPASS_ON_MODULE;
        if (!flushNeeded)
            return true;
        m_logger->log(Logger::APP, "Flushing Tx FIFO...");
        const bool ok = sendBuiltinAtCmd(AtCmdHandler::TXFIFO, {QString()});
        m_tx->setAckPending(false);
        return ok;
    }

    const uint attribute = options.ack ? 4 : (options.mail ? 1 : 0);
    if ((profile == TxManager::PERIODIC || profile == TxManager::PREPASS_ON_MODULE) && attribute != 0)
        args << "0x" + QString::number(attribute);

    if (profile == TxManager::PREPASS_ON_MODULE) {
        const QStringList repetition = {options.important ? "10" : "4", "60000"};
        return sendBuiltinAtCmd(AtCmdHandler::ATXRP, repetition)
            && sendBuiltinAtCmd(AtCmdHandler::TXDATA, args);
    }
    return sendBuiltinAtCmd(AtCmdHandler::ATXRP, {"0"})
        && sendBuiltinAtCmd(AtCmdHandler::TX, args, TAV_REQUEST_LARGE_TIMEOUT_MS);
}
