#include "AopDownloader.h"

#include <QEventLoop>
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QSslError>
#include <QTimer>
#include <QtDebug>

#include <memory>

AopDownloader::AopDownloader()
{
    const QSettings config(QStringLiteral("config.ini"), QSettings::IniFormat);
    m_url = config.value(QStringLiteral("Prepass/aopWebRequestUrl"), QString::fromLatin1(DEFAULT_URL)).toString();
    bool ok = false;
    const int total = config.value(QStringLiteral("Prepass/aopDownloadTimeoutS")).toInt(&ok);
    if (ok && total >= 1 && total <= 3600)
        m_totalTimeoutS = total;
}

void AopDownloader::abort()
{
    m_aborted = true;
    if (m_reply)
        m_reply->abort();
}

AopDownloader::Reply AopDownloader::fetch()
{
    QNetworkAccessManager manager;
    QNetworkRequest request {QUrl(m_url)};
    request.setTransferTimeout(TRANSFER_TIMEOUT_MS);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    m_reply = reply.get();
    m_aborted = false;
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

    bool untrusted = false;
    QObject::connect(reply.get(), &QNetworkReply::sslErrors, reply.get(), [&](const QList<QSslError>&) {
        untrusted = true;
    });
    // A drip of one byte a second never lets the transfer timeout run out.
    bool tooSlow = false;
    QTimer total;
    total.setSingleShot(true);
    QObject::connect(&total, &QTimer::timeout, reply.get(), [&]() {
        tooSlow = true;
        reply->abort();
    });
    total.start(m_totalTimeoutS * 1000);

    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished() && !m_aborted)
        loop.exec();
    m_reply.clear();

    const auto refuse = [&result](Status status, const QString& cause) {
        qCritical().noquote() << "Error:" << cause;
        result.status = status;
        result.cause = cause;
        result.body.clear();
        return result;
    };
    if (m_aborted)
        return refuse(CANCELLED, QStringLiteral("interrupted"));
    if (oversized) {
        qCritical().noquote() << "AOP data error: reply larger than" << MAX_REPLY_SIZE << "bytes refused";
        return refuse(OVERSIZED, "the reply is larger than " + QString::number(MAX_REPLY_SIZE / (1024 * 1024)) + " MiB");
    }
    if (tooSlow)
        return refuse(UNREACHABLE, "no complete reply within " + QString::number(m_totalTimeoutS) + " s");
    if (untrusted)
        return refuse(UNREACHABLE, QStringLiteral("the certificate is not trusted"));
    const int httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (httpStatus >= 300) {
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return refuse(REFUSED, QString::number(httpStatus) + (reason.isEmpty() ? QString() : ' ' + reason));
    }
    if (reply->error() != QNetworkReply::NoError)
        return refuse(UNREACHABLE,
            QString::fromLatin1(QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply->error())));
    result.body += reply->readAll();
    if (result.body.isEmpty())
        return refuse(REFUSED, QStringLiteral("the reply is empty"));
    result.status = FETCHED;
    return result;
}
