#include "PrepassProfile.h"

#include <QtDebug>

const QString PrepassProfile::AOP_DEFAULT_URL = QString::fromLatin1(AopDownloader::DEFAULT_URL);
const QString PrepassProfile::AOP_FETCH_ERROR
    = QStringLiteral("Unable to fetch last AOP data from server. Check your internet access.");
const QString PrepassProfile::AOP_PARSE_ERROR = QStringLiteral("Unable to parse AOP data from server.");
const QString PrepassProfile::AOP_REFUSED_ERROR
    = QStringLiteral("The orbit-data service did not send its data.");
const QString PrepassProfile::AOP_EMPTY_ERROR = QStringLiteral("the orbit data list no satellite");
const QString PrepassProfile::AOP_BUSY_ERROR = QStringLiteral("A download of orbit data is already under way.");
const QString PrepassProfile::AOP_URL_HINT = QStringLiteral(
    "The orbit-data service URL is set with the Prepass/aopWebRequestUrl key of config.ini.");

PrepassProfile::PrepassProfile(QObject* parent)
    : QObject(parent)
    , m_satelliteAopModel(new SatelliteAopModel(this))
    , m_nextPassModel(new PrepassModel(this))
{
    m_nextPassModel->add(QStringLiteral("NA"), QDateTime(), QTime(), 0, false);
}

bool PrepassProfile::downloadAopData()
{
    if (m_downloading) {
        m_lastDownloadError = AOP_BUSY_ERROR;
        m_lastNetworkError.clear();
        return false;
    }
    m_lastDownloadError.clear();
    m_lastNetworkError.clear();
    m_downloading = true;
    emit downloadingChanged();
    const auto finish = [this](const QString& error) {
        m_downloading = false;
        emit downloadingChanged();
        m_lastDownloadError = error;
        emit aopDataDownloadFinished(error);
        return error.isEmpty();
    };
    const AopDownloader::Reply reply = m_downloader.fetch();
    m_lastNetworkError = reply.cause;
    switch (reply.status) {
    case AopDownloader::FETCHED: break;
    case AopDownloader::OVERSIZED: return finish(AOP_PARSE_ERROR);
    case AopDownloader::REFUSED: return finish(AOP_REFUSED_ERROR);
    case AopDownloader::UNREACHABLE:
    case AopDownloader::CANCELLED: return finish(AOP_FETCH_ERROR);
    }
    // A document of no satellite would take the place of the list there is.
    SatelliteAopModel parsed;
    if (!parsed.parseJsonData(reply.body))
        return finish(AOP_PARSE_ERROR);
    if (parsed.rowCount() == 0) {
        qCritical() << "AOP data error: the document lists no satellite";
        return finish(AOP_EMPTY_ERROR);
    }
    m_satelliteAopModel->parseJsonData(reply.body);
    return finish(QString());
}

void PrepassProfile::setPosition(Position position)
{
    m_position = position;
    emit positionChanged();
}

void PrepassProfile::setConfig(PrepassConfig config)
{
    m_config = config;
    emit configChanged();
}

void PrepassProfile::setRedundancy(quint8 redundancy)
{
    m_redundancy = redundancy;
    emit redundancyChanged();
}

void PrepassProfile::setConfigPredictionDuration(quint8 days)
{
    m_config.predictionDuration = days;
    emit configChanged();
}

void PrepassProfile::setConfigMinElevation(double minElevation)
{
    m_config.minElevation = minElevation;
    emit configChanged();
}

void PrepassProfile::setConfigMinPassDuration(quint8 minutes)
{
    m_config.minPassDuration = minutes;
    emit configChanged();
}
