#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class Answer;
class AtCmdHandler;
class Logger;
class TavBoard;
class TxManager;

// Applies one parsed module answer (or one line of a configuration file) to
// the board, the sensors, the profiles, the pass lists and the Tx sequence,
// through the handler its command has in the dispatch's handler table.
class ResponseDispatch : public QObject {
    Q_OBJECT

public:
    ResponseDispatch(Logger& logger, TxManager& tx, QObject* parent);

    void setBoard(TavBoard* board) { m_board = board; }
    void apply(const AtCmdHandler& codec, const QString& line);

    // The handlers of the handler table, one per kind of answer.
    void applyError(const Answer& answer);
    void applyUnsupported(const Answer& answer);
    void applyId(const Answer& answer);
    void applyAddress(const Answer& answer);
    void applySerialNumber(const Answer& answer);
    void applyFirmwareVersion(const Answer& answer);
    void applyTxFrequency(const Answer& answer);
    void applyTxPower(const Answer& answer);
    void applyTx(const Answer& answer);
    void applyMessageFormat(const Answer& answer);
    void applyPrepassEnable(const Answer& answer);
    void applyPrepassConfig(const Answer& answer);
    void applyPosition(const Answer& answer);
    void applyOrbitData(const Answer& answer);
    void applySatelliteStatus(const Answer& answer);
    void applyUtcDate(const Answer& answer);
    void applyNextPass(const Answer& answer);
    void applyTxQueue(const Answer& answer);
    void applyTxRepetition(const Answer& answer);
    void applyAssert(const Answer& answer);
    void applyRadioConf(const Answer& answer);
    void applyAcquisitionPeriod(const Answer& answer);
    void applySensorFlags(const Answer& answer);
    void applySensorAlert(const Answer& answer);
    void applyTxRedundancy(const Answer& answer);
    void applyLoRaFlag(const Answer& answer);
    void applyLoRaRedundancy(const Answer& answer);
    void applyLoRaEui(const Answer& answer);
    void applyLoRaKey(const Answer& answer);

signals:
    // The module answered +ERROR=<code>.
    void moduleErrorAnswered(uint code);

private:
    void log(const QString& text);

    Logger& m_logger;
    TxManager& m_tx;
    QPointer<TavBoard> m_board;
};
