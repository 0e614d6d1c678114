// Applies one parsed module answer (or one line of a configuration file) to
// the board, the sensors, the profiles, the pass lists and the Tx sequence.
#include "Helper.h"
#include "LoRaConnectivity.h"
#include "ModulationModel.h"
#include "PeriodicProfile.h"
#include "PrepassModel.h"
#include "PrepassProfile.h"
#include "SatelliteAop.h"
#include "SatelliteAopModel.h"
#include "SensorModel.h"
#include "TavManager.h"

#include <QDateTime>
#include <QDebug>
#include <QRegularExpression>
#include <QTime>

#include <limits>

namespace {

QDateTime moduleDate(const QString& text)
{
    QDateTime date = QDateTime::fromString(text, TavManager::TAV_ISO_DATE_FORMAT);
    date.setOffsetFromUtc(0);
    return date;
}

// A TREKON's grammar has no pattern for TX, so its answers keep no fields;
// read them with the form the other variants give.
const QRegularExpression& genericTxPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\+TX[=:]?(([-0-9]+),(?<TX>[0-9a-fA-F]+)?)$"));
    return pattern;
}

// A status field that is no unsigned number ("-1") gives a code no status has.
uint statusCode(const QString& field)
{
    bool ok = false;
    const uint code = field.toUInt(&ok, 10);
    return ok ? code : std::numeric_limits<uint>::max();
}

} // namespace

void TavManager::applyTxResponse()
{
    AtCmdHandler::Error error = m_atCmdHandler->getData<AtCmdHandler::Error>(1);
    QString status = m_atCmdHandler->getData<QString>(1);
    QString data = m_atCmdHandler->getData<QString>(0);

    if (m_board && !m_board->getAtCmdRegexMap().contains(AtCmdHandler::TX)) {
        const QRegularExpressionMatch match = genericTxPattern().match(m_lastLine);
        if (match.hasMatch()) {
            status = match.captured(2);
            error = static_cast<AtCmdHandler::Error>(status.toUInt());
            data = match.captured("TX");
        }
    }

    if (error != 0) {
        m_logger->log(Logger::APP, "A Tx error occured (" + status + ")");
        // Counted as not sent (which clears the pending Tx), so that a failed
        // last Tx of a round does not hold the sequence.
        m_tx->handleTxResponse(QString());
        return;
    }
    m_tx->handleTxResponse(data);
}

void TavManager::applyReset()
{
    const QString text = m_atCmdHandler->getData<QString>(0);
    qCritical().noquote() << "TAV ASSERT!" << text;
    m_logger->log(Logger::APP, "TAV ASSERT! " + text);
    m_logger->log(
        Logger::APP, "A reset was triggered on device, stopping sequence and restoring UTC time...");
    m_tx->stop();
    m_tx->setCustomUtcTime(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    if (m_tx->ackPending())
        m_tx->setAckPending(false);
}

void TavManager::dealWithAtCmd()
{
    AtCmdHandler* codec = m_atCmdHandler;
    if (!codec)
        return;
    PrepassProfile* prepass = m_tx->prepassProfile();
    SatelliteAopModel* satellites = prepass->satelliteAopModel();
    SensorModel* sensors = m_board ? m_board->sensorListModel() : nullptr;
    LoRaConnectivity* lora = m_tx->loraConfig();

    switch (codec->getId()) {
    case AtCmdHandler::OK:
    case AtCmdHandler::RX:
    case AtCmdHandler::BC:
    case AtCmdHandler::SATDET:
    case AtCmdHandler::RST: break;

    case AtCmdHandler::ERROR:
        m_requestFailed = true;
        m_logger->log(Logger::APP, codec->getErrorAsStr());
        break;

    case AtCmdHandler::ID:
        if (m_board)
            m_board->setId(codec->getData<QString>(0));
        break;
    case AtCmdHandler::ADDR:
        if (m_board)
            m_board->setAddr(codec->getData<QString>(0));
        break;
    case AtCmdHandler::SN:
        if (m_board)
            m_board->setSerialNumber(codec->getData<QString>(0));
        break;
    case AtCmdHandler::FW:
        if (m_board)
            m_board->setFirmwareVersion(codec->getData<QString>(0));
        break;
    case AtCmdHandler::ATXFRQ:
        if (m_board)
            m_board->setTxFrequency(codec->getData<uint>(0));
        break;
    case AtCmdHandler::PWR:
        if (m_board)
            m_board->setTxPower(static_cast<ushort>(codec->getData<uint>(0)));
        break;

    case AtCmdHandler::TX: applyTxResponse(); break;

    case AtCmdHandler::AFMT:
        m_logger->log(Logger::APP,
            QString("Message format: ")
                + (codec->getData<QString>(0).contains('0') ? "Raw format" : "Norvane standard format"));
        break;

    case AtCmdHandler::PREPASS_EN:
        m_tx->setSelectedProfile(
            codec->getData<uint>(0) != 0 ? TxManager::PREPASS_ON_MODULE : TxManager::PERIODIC);
        break;

    case AtCmdHandler::PREPASS_CFG: {
        const QDateTime start = QDateTime::fromString(codec->getData<QString>(3), TAV_ISO_DATE_FORMAT);
        const QDateTime end = QDateTime::fromString(codec->getData<QString>(4), TAV_ISO_DATE_FORMAT);
        const qint64 days = start.daysTo(end);
        PrepassConfig config;
        config.predictionDuration = static_cast<quint8>(days < 0 ? 0 : days);
        config.minElevation = codec->getData<double>(5);
        config.minPassDuration = static_cast<quint8>(static_cast<int>(codec->getData<double>(7)));
        config.maxElevation = codec->getData<double>(6);
        config.maxPasses = static_cast<quint16>(codec->getData<uint>(8));
        config.timeMargin = codec->getData<double>(9);
        config.computationStep = static_cast<quint8>(codec->getData<uint>(10));
        prepass->setConfig(config);
        m_logger->log(Logger::APP, "Prediction pass configuration (respective order):");
        m_logger->log(Logger::APP,
            "latitude (°), longitude (°), start date (UTC), end date (UTC), min elevation (°), max "
            "elevation (°), min pass duration (mn), max nb of passes per satellite, linear time margin "
            "(nb of mn after 6 months),computation step (s)");
        break;
    }

    case AtCmdHandler::POS: {
        Position position;
        position.latitude = codec->getData<double>(1);
        position.longitude = codec->getData<double>(2);
        prepass->setPosition(position);
        m_logger->log(Logger::APP, "Beacon latitude: " + QString::number(position.latitude) + "°");
        m_logger->log(Logger::APP, "Beacon longitude: " + QString::number(position.longitude) + "°");
        break;
    }

    case AtCmdHandler::AOP:
        if (codec->getData<QString>(0) == QLatin1String("end")) {
            m_logger->log(Logger::APP, "AOP parameters (respective order):");
            m_logger->log(Logger::APP,
                "satellite id, bulletin date (UTC), semi-major axis (km), orbit inclination (°), "
                "ascending node longitude (°), ascending node drift (°), orbit period (mn), semi-major "
                "axis drift (meter/day)");
        } else {
            satellites->updateAopData(codec->getData<QChar>(1).toUpper(),
                moduleDate(codec->getData<QString>(2)), codec->getData<double>(3), codec->getData<double>(4),
                codec->getData<double>(5), codec->getData<double>(6), codec->getData<double>(7),
                codec->getData<double>(8), TAV_NOT_AVAILABLE_STR, SatelliteAop::DNLK_NA,
                SatelliteAop::UPLK_NA);
        }
        break;

    case AtCmdHandler::SAT:
        if (codec->getData<QString>(0) != QLatin1String("end")) {
            const QChar id = codec->getData<QChar>(1);
            const auto downlink
                = SatelliteAop::downlinkStatusFromCode(statusCode(codec->getData<QString>(2)));
            const auto uplink = SatelliteAop::uplinkStatusFromCode(statusCode(codec->getData<QString>(3)));
            m_logger->log(Logger::APP,
                "Satellite " + satellites->getSatelliteName(id) + " (" + QString(id).toUpper() + ") - "
                    + Helper::enumToStr(downlink) + " - " + Helper::enumToStr(uplink));
        }
        break;

    case AtCmdHandler::UDATE: {
        const QDateTime date = moduleDate(codec->getData<QString>(0));
        m_logger->log(Logger::APP, "UTC time: " + date.toString(TAV_UI_DATE_FORMAT));
        m_tx->setCustomUtcTime(date.toString(Qt::ISODate));
        break;
    }

    case AtCmdHandler::NEXTPASS: {
        const QString name = satellites->getSatelliteName(codec->getData<QChar>(1));
        const QDateTime start = moduleDate(codec->getData<QString>(2));
        // The module gives the duration in seconds as a real number: keep whole seconds.
        const int seconds = static_cast<int>(codec->getData<double>(4));
        const QTime duration = QTime(0, 0).addSecs(seconds);
        const double elevation = codec->getData<double>(5);
        const bool active = start < m_tx->getUtcTime();
        PrepassModel* nextPass = prepass->nextPassModel();
        nextPass->clear();
        nextPass->add(name, start, duration, elevation, active);
        m_logger->log(Logger::APP, "Next satellite pass: " + start.toString(TAV_UI_DATE_FORMAT));
        break;
    }

    case AtCmdHandler::TXFIFO:
        if (codec->getData<QString>(0) == QLatin1String("end")) {
            m_logger->log(Logger::APP, "Tx FIFO content description (respective order):");
            m_logger->log(Logger::APP, "transmitted (0 or 1), data (hexadecimal), attribute bitmap");
        }
        break;

    case AtCmdHandler::ATXRP:
        m_logger->log(Logger::APP, "---- Tx configuration ----");
        m_logger->log(Logger::APP,
            "Redundancy: " + codec->getData<QString>(1)
                + " - Period: " + QString::number(codec->getData<uint>(2) / 1000) + "s");
        break;

    case AtCmdHandler::ASSERT: applyReset(); break;

    case AtCmdHandler::RCONF: {
        ModulationModel* modulation = m_tx->modulationModel();
        modulation->setFrequencyMin(codec->getData<uint>(1));
        modulation->setFrequencyMax(codec->getData<uint>(2));
        modulation->setPower(codec->getData<uint>(3));
        // An unknown name gives -1, which the model turns into NA.
        modulation->setModulation(Helper::strToEnum<ModulationModel::Modulation>(codec->getData<QString>(4)));
        break;
    }

    case AtCmdHandler::PACQ:
        if (sensors)
            sensors->setAcquisitionPeriod(static_cast<ushort>(codec->getData<uint>(0)));
        break;

    case AtCmdHandler::PACQ_SENS:
    case AtCmdHandler::ALRT_SENS:
        if (sensors) {
            for (int i = 0; i + 2 <= codec->getDataLength(); ++i)
                sensors->setEnable(
                    static_cast<uchar>(i), codec->getData<uint>(static_cast<quint8>(i + 1)) != 0);
        }
        break;

    case AtCmdHandler::ALRT_LIGHT:
    case AtCmdHandler::ALRT_ACC:
    case AtCmdHandler::ALRT_DRYC:
        if (sensors) {
            SensorModel::Id sensor = SensorModel::GNSS;
            const auto& alertMap = SensorModel::sensorAlertAtCmdMap;
            for (auto it = alertMap.cbegin(); it != alertMap.cend(); ++it) {
                if (it.value() == codec->getId()) {
                    sensor = it.key();
                    break;
                }
            }
            sensors->setAlert(sensor, codec->getData<uint>(1) != 0);
            sensors->setThresholdValues(sensor, codec->getData<QString>(2));
        }
        break;

    case AtCmdHandler::ALRT_PB:
        if (sensors)
            sensors->setAlert(SensorModel::PUSH_BUTTON, codec->getData<uint>(0) != 0);
        break;

    case AtCmdHandler::TAV_REDUN: {
        const auto redundancy = static_cast<quint8>(codec->getData<uint>(0));
        if (m_tx->selectedProfile() == TxManager::PERIODIC)
            m_tx->periodicProfile()->setRedundancy(redundancy);
        else
            prepass->setRedundancy(redundancy);
        break;
    }

    case AtCmdHandler::LORA_EN: m_tx->setLoraEnabled(codec->getData<uint>(0) == 1); break;
    case AtCmdHandler::LORA_REDUN: lora->setRedundancy(static_cast<quint8>(codec->getData<uint>(0))); break;
    case AtCmdHandler::LORA_ACK: lora->setAckEnabled(codec->getData<uint>(0) == 1); break;

    case AtCmdHandler::LORA_DEUI:
    case AtCmdHandler::LORA_AEUI: {
        if (codec->getDataLength() != 9) {
            m_logger->log(Logger::APP, "Invalid EUI value!");
            break;
        }
        QString eui;
        for (quint8 i = 1; i <= 8; ++i)
            eui += codec->getData<QString>(i);
        if (codec->getId() == AtCmdHandler::LORA_DEUI)
            lora->setDevEui(eui);
        else
            lora->setAppEui(eui);
        break;
    }

    case AtCmdHandler::LORA_AKEY: {
        if (codec->getDataLength() != 17) {
            m_logger->log(Logger::APP, "Invalid key value!");
            break;
        }
        QString key;
        for (quint8 i = 1; i <= 16; ++i)
            key += codec->getData<QString>(i);
        lora->setAppKey(key);
        break;
    }

    default: m_logger->log(Logger::APP, "Unsupported AT command"); break;
    }
}
