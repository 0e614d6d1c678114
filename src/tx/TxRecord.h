#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// A satellite above the beacon's horizon mask when a Tx was requested.
struct SatelliteInView {
    QString satellite;
    float elevation = 0; // degrees
};

// One transmission as it happened: when it was asked of the module, what,
// and what the module made of it. Kept compact: a campaign holds up to
// 100 000 of them. Texts that repeat (satellite names, error texts) are
// implicitly shared.
struct TxRecord {
    enum Result : quint8 { SENT, FAILED, NO_ANSWER };

    qint64 timeMs = 0; // UTC ms since 1970, the request
    qint64 resultTimeMs = 0; // the answer, or the end of its wait
    QByteArray message; // hexadecimal, as sent
    quint16 round = 1;
    quint8 payload = 0;
    quint8 attempt = 1;
    quint8 redundancy = 1;
    quint8 profile = 0; // TxManager::Profile
    Result result = SENT;
    // The module's status for a refused Tx, 0 when it gave none.
    quint16 errorCode = 0;
    QString errorText;
    // The pass a prepass Tx was meant for; empty satellite for none.
    QString passSatellite;
    qint64 passStartMs = 0;
    qint64 passEndMs = 0;
    QList<SatelliteInView> inView;

    // A rough count of the memory a record holds, for the model's bound.
    qsizetype footprint() const;
};

// The record as a report writes it: a JSON Lines object with the keys
// `time`, `payload`, `message`, `attempt`, `round`, `profile`, `result`,
// `error`, `resultTime`, `pass`, `inView`, or a CSV row of the same columns.
namespace TxRecordFormat {

enum Format { JSON_LINES, CSV };

QString resultName(TxRecord::Result result);
QString profileName(quint8 profile);
QString isoTime(qint64 ms);
// "2 of 8 transmissions failed (The message queue is already full ×2)", or
// "8 of 8 transmissions sent".
QString summary(const QList<TxRecord>& records);

QJsonObject toJson(const TxRecord& record);
// False, and the record untouched, when the object is not one toJson wrote.
bool fromJson(const QJsonObject& object, TxRecord* record);
QByteArray jsonLine(const TxRecord& record); // ends with '\n'
QByteArray csvHeader(); // ends with "\r\n"
QByteArray csvLine(const TxRecord& record); // ends with "\r\n"

} // namespace TxRecordFormat
