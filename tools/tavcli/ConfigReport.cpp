#include "ConfigReport.h"

#include "board/Sensor.h"
#include "board/SensorModel.h"
#include "manager/TavManager.h"
#include "orbit/PrepassModel.h"
#include "orbit/SatelliteAop.h"
#include "orbit/SatelliteAopModel.h"
#include "tx/LoRaConnectivity.h"
#include "tx/ModulationModel.h"
#include "tx/PeriodicProfile.h"
#include "tx/PrepassProfile.h"

#include <QJsonArray>
#include <QMetaEnum>

namespace ConfigReport {

namespace {

QString profileName(TxManager::Profile profile)
{
    return QString::fromLatin1(QMetaEnum::fromType<TxManager::Profile>().valueToKey(profile));
}

} // namespace

QJsonObject identity(const TavManager& manager)
{
    QJsonObject out;
    const TavBoard* board = manager.board();
    if (!board)
        return out;
    out["module"] = board->name();
    out["port"] = board->port();
    out["id"] = board->id();
    out["firmwareVersion"] = board->firmwareVersion();
    if (board->knows(AtCmdHandler::SN))
        out["serialNumber"] = board->serialNumber();
    if (board->knows(AtCmdHandler::ATXFRQ)) {
        out["txFrequency"]
            = board->txFrequency() ? QJsonValue(qint64(board->txFrequency())) : QJsonValue("NA");
        out["txPower"] = board->txPower() ? QJsonValue(board->txPower()) : QJsonValue("NA");
    }
    if (board->knows(AtCmdHandler::ADDR))
        out["address"] = board->addr();
    if (board->knows(AtCmdHandler::RCONF)) {
        const ModulationModel* modulation = manager.tx()->modulationModel();
        out["frequencyMin"] = qint64(modulation->frequencyMin());
        out["frequencyMax"] = qint64(modulation->frequencyMax());
        out["power"] = qint64(modulation->power());
        out["modulation"] = QString::fromLatin1(
            QMetaEnum::fromType<ModulationModel::Modulation>().valueToKey(modulation->modulation()));
    }
    if (board->loraCompatible())
        out["loraStackIntegrated"] = board->loraStackIntegrated();
    return out;
}

// The sensors' acquisition period and each sensor's flags and alert.
static QJsonObject sensorsObject(const SensorModel& sensors)
{
    QJsonObject sensorObject;
    sensorObject["acquisitionPeriod"] = sensors.acquisitionPeriod();
    QJsonArray list;
    const auto map = sensors.getSensorMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        QJsonObject s;
        s["name"] = it.value()->name();
        s["enable"] = it.value()->enable();
        s["alertsEnabled"] = it.value()->alertEnable();
        if (it.value()->hasAlertCmd()) {
            s["alert"] = it.value()->alert();
            s["thresholds"] = it.value()->thresholdValues();
        }
        list.append(s);
    }
    sensorObject["list"] = list;
    return sensorObject;
}

QJsonObject configuration(const TavManager& manager)
{
    const TxManager* tx = manager.tx();
    const PrepassProfile* prepass = tx->prepassProfile();
    QJsonObject out;
    out["profile"] = profileName(tx->selectedProfile());
    out["utcTime"] = tx->getUtcTime().toString(Qt::ISODate);

    QJsonObject periodic;
    periodic["period"] = tx->periodicProfile()->period();
    periodic["redundancy"] = tx->periodicProfile()->redundancy();
    periodic["delay"] = tx->periodicProfile()->delay();
    out["periodic"] = periodic;

    // A module without prediction settings holds no orbit data, LoRa or sensors either.
    const TavBoard* board = manager.board();
    if (board && !board->knows(AtCmdHandler::PREPASS_CFG))
        return out;

    const PrepassConfig config = prepass->config();
    QJsonObject prediction;
    prediction["latitude"] = prepass->position().latitude;
    prediction["longitude"] = prepass->position().longitude;
    prediction["redundancy"] = prepass->redundancy();
    prediction["predictionDuration"] = config.predictionDuration;
    prediction["minElevation"] = config.minElevation;
    prediction["maxElevation"] = config.maxElevation;
    prediction["minPassDuration"] = config.minPassDuration;
    prediction["maxPasses"] = config.maxPasses;
    prediction["timeMargin"] = config.timeMargin;
    prediction["computationStep"] = config.computationStep;
    out["prepass"] = prediction;

    if (board && board->loraCompatible()) {
        const LoRaConnectivity* lora = tx->loraConfig();
        QJsonObject loraObject;
        loraObject["enabled"] = tx->loraEnabled();
        loraObject["devEui"] = lora->devEui();
        loraObject["appEui"] = lora->appEui();
        loraObject["appKey"] = lora->appKey();
        loraObject["ackEnabled"] = lora->ackEnabled();
        loraObject["redundancy"] = lora->redundancy();
        out["lora"] = loraObject;
    }

    if (board && board->sensorListModel())
        out["sensors"] = sensorsObject(*board->sensorListModel());
    return out;
}

QJsonObject satellites(const TavManager& manager)
{
    const SatelliteAopModel* model = manager.tx()->prepassProfile()->satelliteAopModel();
    QJsonArray list;
    for (int row = 0; row < model->rowCount(); ++row) {
        const SatelliteAop* sat = model->getSatelliteItem(static_cast<quint8>(row));
        const QStringList params = sat->getAopParams();
        QJsonObject s;
        s["id"] = QString(sat->allcastId());
        s["name"] = sat->satelliteName();
        s["downlink"] = sat->downlinkStatus().trimmed();
        s["uplink"] = sat->uplinkStatus().trimmed();
        s["bulletinDate"] = params.value(1);
        s["semiMajorAxis"] = sat->semiMajorAxis();
        s["inclination"] = sat->inclination();
        s["ascNodeLongitude"] = sat->ascNodeLongitude();
        s["ascNodeDrift"] = sat->ascNodeDrift();
        s["orbitalPeriod"] = sat->orbitalPeriod();
        s["semiMajorAxisDrift"] = sat->semiMajorAxisDrift();
        list.append(s);
    }
    QJsonObject out;
    // Only a downloaded document has a creation date.
    if (model->creationDateTime().isValid())
        out["creationDate"] = model->creationDateTime().toUTC().toString(Qt::ISODate);
    out["satellites"] = list;
    return out;
}

QJsonObject nextPass(const TavManager& manager)
{
    const PrepassModel* model = manager.tx()->prepassProfile()->nextPassModel();
    QJsonObject out;
    if (model->rowCount() == 0)
        return out;
    const Prepass& pass = model->at(0);
    out["satellite"] = pass.satellite();
    out["start"] = pass.start().toString(Qt::ISODate);
    out["end"] = pass.end().toString(Qt::ISODate);
    out["durationSeconds"] = qint64(pass.durationMs() / 1000);
    out["elevation"] = pass.elevation();
    return out;
}

QString toText(const QJsonObject& object, int indent)
{
    QString text;
    const QString pad(indent, ' ');
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QJsonValue value = it.value();
        if (value.isObject()) {
            text += pad + it.key() + ":\n" + toText(value.toObject(), indent + 2);
        } else if (value.isArray()) {
            text += pad + it.key() + ":\n";
            for (const QJsonValue& element : value.toArray()) {
                if (element.isObject())
                    text += toText(element.toObject(), indent + 2).replace(indent, 1, '-');
                else
                    text += pad + "  - " + element.toVariant().toString() + "\n";
            }
        } else {
            text += pad + it.key() + ": " + value.toVariant().toString() + "\n";
        }
    }
    return text;
}

} // namespace ConfigReport
