#include "PrepassProfile.h"

#include <QEventLoop>
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QtDebug>

#include <memory>

const QString PrepassProfile::AOP_DEFAULT_URL
    = QStringLiteral("https://norvane.com/uda/resources/"
                     "allcast?login=MURLAPENT&password=ZUB4817QOL&application=allcast-app");
const QString PrepassProfile::AOP_FETCH_ERROR
    = QStringLiteral("Unable to fetch last AOP data from server. Check your internet access.");
const QString PrepassProfile::AOP_PARSE_ERROR = QStringLiteral("Unable to parse AOP data from server.");
const QString PrepassProfile::AOP_URL_HINT = QStringLiteral(
    "The orbit-data service URL is set with the Prepass/aopWebRequestUrl key of config.ini.");

PrepassProfile::PrepassProfile(QObject* parent)
    : QObject(parent)
    , m_satelliteAopModel(new SatelliteAopModel(this))
    , m_nextPassModel(new PrepassModel(this))
{
    m_nextPassModel->add(QStringLiteral("NA"), QDateTime(), QTime(), 0, false);
    const QSettings config(QStringLiteral("config.ini"), QSettings::IniFormat);
    m_aopWebRequestUrl = config.value(QStringLiteral("Prepass/aopWebRequestUrl"), AOP_DEFAULT_URL).toString();
}

bool PrepassProfile::downloadAopData()
{
    m_lastDownloadError.clear();
    m_lastNetworkError.clear();
    const auto finish = [this](const QString& error) {
        m_lastDownloadError = error;
        emit aopDataDownloadFinished(error);
        return error.isEmpty();
    };
    QNetworkAccessManager manager;
    QNetworkRequest request {QUrl(m_aopWebRequestUrl)};
    request.setTransferTimeout(AOP_TRANSFER_TIMEOUT_MS);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    // The body is taken as it comes, in small slices, so that a reply too
    // large to be orbit data is cut off as soon as it shows.
    reply->setReadBufferSize(READ_SLICE_SIZE);

    QByteArray body;
    bool oversized = false;
    const auto refuseIfOversized = [&](qint64 size) {
        if (size > AOP_MAX_REPLY_SIZE && !oversized) {
            oversized = true;
            reply->abort();
        }
    };
    connect(reply.get(), &QNetworkReply::metaDataChanged, this, [&]() {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            refuseIfOversized(length.toLongLong());
    });
    connect(reply.get(), &QNetworkReply::readyRead, this, [&]() {
        if (oversized)
            return;
        body += reply->readAll();
        refuseIfOversized(body.size());
    });

    QEventLoop loop;
    connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();

    if (oversized) {
        qCritical().noquote() << "AOP data error: reply larger than" << AOP_MAX_REPLY_SIZE << "bytes refused";
        return finish(AOP_PARSE_ERROR);
    }
    body += reply->readAll();
    // Never the reply's error string: it quotes the URL and its credentials.
    if (body.isEmpty() || reply->error() != QNetworkReply::NoError) {
        m_lastNetworkError
            = QString::fromLatin1(QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply->error()));
        qCritical().noquote() << "Error:" << m_lastNetworkError;
        return finish(AOP_FETCH_ERROR);
    }
    if (!m_satelliteAopModel->parseJsonData(body))
        return finish(AOP_PARSE_ERROR);
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
