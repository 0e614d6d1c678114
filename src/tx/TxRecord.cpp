#include "TxRecord.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace {

const char* const resultNames[] = {"sent", "failed", "no answer"};
const char* const profileNames[] = {"periodic", "prepass", "prepass-on-module"};

qint64 parseTime(const QJsonValue& value)
{
    const QDateTime date = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
    return date.isValid() ? date.toMSecsSinceEpoch() : -1;
}

// A field quoted when it holds a separator, a quote or a line break.
QByteArray csvField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') && !bytes.contains('\r'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

} // namespace

qsizetype TxRecord::footprint() const
{
    // The record itself, its message and the in-view list's block; shared
    // texts are counted once, elsewhere.
    return qsizetype(sizeof(TxRecord)) + message.capacity() + 16
        + inView.capacity() * qsizetype(sizeof(SatelliteInView)) + (inView.isEmpty() ? 0 : 16);
}

namespace TxRecordFormat {

QString resultName(TxRecord::Result result)
{
    return QLatin1String(resultNames[result]);
}

QString profileName(quint8 profile)
{
    return profile < 3 ? QLatin1String(profileNames[profile]) : QString();
}

QString isoTime(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

QString summary(const QList<TxRecord>& records)
{
    QStringList reasons;
    QList<int> counts;
    int failed = 0;
    for (const TxRecord& record : records) {
        if (record.result == TxRecord::SENT)
            continue;
        ++failed;
        const qsizetype at = reasons.indexOf(record.errorText);
        if (at < 0) {
            reasons << record.errorText;
            counts << 1;
        } else {
            ++counts[at];
        }
    }
    const QString total = QString::number(records.size());
    if (failed == 0)
        return total + QStringLiteral(" of ") + total + QStringLiteral(" transmissions sent");
    QStringList parts;
    for (qsizetype i = 0; i < reasons.size(); ++i)
        parts << reasons.at(i) + QStringLiteral(" ×") + QString::number(counts.at(i));
    return QString::number(failed) + QStringLiteral(" of ") + total
        + (records.size() == 1 ? QStringLiteral(" transmission failed (") : QStringLiteral(" transmissions failed ("))
        + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QJsonObject toJson(const TxRecord& record)
{
    QJsonObject object;
    object.insert(QStringLiteral("time"), isoTime(record.timeMs));
    object.insert(QStringLiteral("payload"), record.payload);
    object.insert(QStringLiteral("message"), QString::fromLatin1(record.message));
    object.insert(QStringLiteral("attempt"), QString::number(record.attempt) + QLatin1Char('/')
            + QString::number(record.redundancy));
    object.insert(QStringLiteral("round"), record.round);
    object.insert(QStringLiteral("profile"), profileName(record.profile));
    object.insert(QStringLiteral("result"), resultName(record.result));
    if (record.result == TxRecord::SENT) {
        object.insert(QStringLiteral("error"), QJsonValue::Null);
    } else {
        QJsonObject error {{QStringLiteral("text"), record.errorText}};
        error.insert(QStringLiteral("code"), record.errorCode != 0 ? QJsonValue(record.errorCode) : QJsonValue());
        object.insert(QStringLiteral("error"), error);
    }
    object.insert(QStringLiteral("resultTime"), isoTime(record.resultTimeMs));
    if (record.passSatellite.isEmpty()) {
        object.insert(QStringLiteral("pass"), QJsonValue::Null);
    } else {
        object.insert(QStringLiteral("pass"),
            QJsonObject {{QStringLiteral("satellite"), record.passSatellite},
                {QStringLiteral("start"), isoTime(record.passStartMs)},
                {QStringLiteral("end"), isoTime(record.passEndMs)}});
    }
    QJsonArray inView;
    for (const SatelliteInView& satellite : record.inView)
        inView.append(QJsonObject {{QStringLiteral("satellite"), satellite.satellite},
            {QStringLiteral("elevation"), std::round(satellite.elevation * 10.0) / 10.0}});
    object.insert(QStringLiteral("inView"), inView);
    return object;
}

bool fromJson(const QJsonObject& object, TxRecord* record)
{
    TxRecord r;
    r.timeMs = parseTime(object.value(QStringLiteral("time")));
    r.resultTimeMs = parseTime(object.value(QStringLiteral("resultTime")));
    const int payload = object.value(QStringLiteral("payload")).toInt(-1);
    const int round = object.value(QStringLiteral("round")).toInt(-1);
    const QStringList attempt = object.value(QStringLiteral("attempt")).toString().split(QLatin1Char('/'));
    const QString message = object.value(QStringLiteral("message")).toString();
    bool attemptOk = attempt.size() == 2;
    const uint n = attemptOk ? attempt.at(0).toUInt(&attemptOk) : 0;
    const uint of = attemptOk ? attempt.at(1).toUInt(&attemptOk) : 0;
    const qsizetype result = QStringList {resultNames[0], resultNames[1], resultNames[2]}.indexOf(
        object.value(QStringLiteral("result")).toString());
    const qsizetype profile = QStringList {profileNames[0], profileNames[1], profileNames[2]}.indexOf(
        object.value(QStringLiteral("profile")).toString());
    if (r.timeMs < 0 || r.resultTimeMs < 0 || payload < 0 || payload > 255 || round < 0 || round > 0xffff
        || !attemptOk || n > 255 || of > 255 || result < 0 || profile < 0 || message.size() > 1024)
        return false;
    r.payload = static_cast<quint8>(payload);
    r.round = static_cast<quint16>(round);
    r.attempt = static_cast<quint8>(n);
    r.redundancy = static_cast<quint8>(of);
    r.message = message.toLatin1();
    r.result = static_cast<TxRecord::Result>(result);
    r.profile = static_cast<quint8>(profile);
    const QJsonObject error = object.value(QStringLiteral("error")).toObject();
    r.errorCode = static_cast<quint16>(qBound(0, error.value(QStringLiteral("code")).toInt(), 0xffff));
    r.errorText = error.value(QStringLiteral("text")).toString().left(200);
    const QJsonObject pass = object.value(QStringLiteral("pass")).toObject();
    if (!pass.isEmpty()) {
        r.passSatellite = pass.value(QStringLiteral("satellite")).toString().left(64);
        r.passStartMs = qMax<qint64>(0, parseTime(pass.value(QStringLiteral("start"))));
        r.passEndMs = qMax<qint64>(0, parseTime(pass.value(QStringLiteral("end"))));
    }
    const QJsonArray inView = object.value(QStringLiteral("inView")).toArray();
    for (qsizetype i = 0; i < qMin<qsizetype>(inView.size(), 64); ++i) {
        const QJsonObject satellite = inView.at(i).toObject();
        r.inView.append({satellite.value(QStringLiteral("satellite")).toString().left(64),
            static_cast<float>(satellite.value(QStringLiteral("elevation")).toDouble())});
    }
    *record = r;
    return true;
}

QByteArray jsonLine(const TxRecord& record)
{
    return QJsonDocument(toJson(record)).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray csvHeader()
{
    return "time,payload,message,attempt,round,profile,result,error,resultTime,pass,inView\r\n";
}

// The nested fields flattened: error "3: text", pass "A start/end",
// inView "A 23.4; B 12.0".
QByteArray csvLine(const TxRecord& record)
{
    QString error;
    if (record.result != TxRecord::SENT)
        error = (record.errorCode != 0 ? QString::number(record.errorCode) + QStringLiteral(": ") : QString())
            + record.errorText;
    const QString pass = record.passSatellite.isEmpty()
        ? QString()
        : record.passSatellite + QLatin1Char(' ') + isoTime(record.passStartMs) + QLatin1Char('/')
            + isoTime(record.passEndMs);
    QStringList inView;
    for (const SatelliteInView& satellite : record.inView)
        inView << satellite.satellite + QLatin1Char(' ') + QString::number(satellite.elevation, 'f', 1);
    const QStringList fields {isoTime(record.timeMs), QString::number(record.payload),
        QString::fromLatin1(record.message),
        QString::number(record.attempt) + QLatin1Char('/') + QString::number(record.redundancy),
        QString::number(record.round), profileName(record.profile), resultName(record.result), error,
        isoTime(record.resultTimeMs), pass, inView.join(QStringLiteral("; "))};
    QByteArray line;
    for (const QString& field : fields)
        line += csvField(field) + ',';
    line.chop(1);
    return line + "\r\n";
}

} // namespace TxRecordFormat
