#include "AopDownloader.h"

#include <QEventLoop>
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QtDebug>

#include <memory>

AopDownloader::AopDownloader()
{
    const QSettings config(QStringLiteral("config.ini"), QSettings::IniFormat);
    m_url = config.value(QStringLiteral("Prepass/aopWebRequestUrl"), QString::fromLatin1(DEFAULT_URL)).toString();
}

AopDownloader::Reply AopDownloader::fetch() const
{
    QNetworkAccessManager manager;
    QNetworkRequest request {QUrl(m_url)};
    request.setTransferTimeout(TRANSFER_TIMEOUT_MS);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    // The body is taken as it comes, in small slices, so that a reply too
    // large to be orbit data is cut off as soon as it shows.
    reply->setReadBufferSize(READ_SLICE_SIZE);

    Reply result;
    bool oversized = false;
    const auto refuseIfOversized = [&](qint64 size) {
        if (size > MAX_REPLY_SIZE && !oversized) {
            oversized = true;
            reply->abort();
        }
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [&]() {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            refuseIfOversized(length.toLongLong());
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&]() {
        if (oversized)
            return;
        result.body += reply->readAll();
        refuseIfOversized(result.body.size());
    });

    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();

    if (oversized) {
        qCritical().noquote() << "AOP data error: reply larger than" << MAX_REPLY_SIZE << "bytes refused";
        result.status = OVERSIZED;
        result.body.clear();
        return result;
    }
    result.body += reply->readAll();
    if (result.body.isEmpty() || reply->error() != QNetworkReply::NoError) {
        result.networkError
            = QString::fromLatin1(QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply->error()));
        qCritical().noquote() << "Error:" << result.networkError;
        result.status = UNREACHABLE;
        result.body.clear();
        return result;
    }
    result.status = FETCHED;
    return result;
}
