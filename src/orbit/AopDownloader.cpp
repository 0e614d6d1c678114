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

namespace {

// What went wrong while a reply came, as the watchers of fetch() saw it.
struct Faults {
    bool aborted = false;
    bool oversized = false;
    bool tooSlow = false;
    bool untrusted = false;
};

// The finished `reply` as orbit data, or why it is refused.
AopDownloader::Reply judged(
    QNetworkReply& reply, AopDownloader::Reply result, const Faults& faults, int totalTimeoutS)
{
    using D = AopDownloader;
    const auto refuse = [&result](D::Status status, const QString& cause) {
        qCritical().noquote() << "Error:" << cause;
        result.status = status;
        result.cause = cause;
        result.body.clear();
        return result;
    };
    if (faults.aborted)
        return refuse(D::CANCELLED, QStringLiteral("interrupted"));
    if (faults.oversized) {
        qCritical().noquote() << "AOP data error: reply larger than" << D::MAX_REPLY_SIZE << "bytes refused";
        return refuse(D::OVERSIZED,
            "the reply is larger than " + QString::number(D::MAX_REPLY_SIZE / (1024 * 1024)) + " MiB");
    }
    if (faults.tooSlow)
        return refuse(D::UNREACHABLE, "no complete reply within " + QString::number(totalTimeoutS) + " s");
    if (faults.untrusted)
        return refuse(D::UNREACHABLE, QStringLiteral("the certificate is not trusted"));
    const int httpStatus = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (httpStatus >= 300) {
        const QString reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return refuse(
            D::REFUSED, QString::number(httpStatus) + (reason.isEmpty() ? QString() : ' ' + reason));
    }
    if (reply.error() != QNetworkReply::NoError)
        return refuse(D::UNREACHABLE,
            QString::fromLatin1(
                QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply.error())));
    result.body += reply.readAll();
    if (result.body.isEmpty())
        return refuse(D::REFUSED, QStringLiteral("the reply is empty"));
    result.status = D::FETCHED;
    return result;
}

} // namespace

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
    Faults faults;
    const auto refuseIfOversized = [&](qint64 size) {
        if (size > MAX_REPLY_SIZE && !faults.oversized) {
            faults.oversized = true;
            reply->abort();
        }
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [&]() {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            refuseIfOversized(length.toLongLong());
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&]() {
        if (faults.oversized)
            return;
        result.body += reply->readAll();
        refuseIfOversized(result.body.size());
    });

    QObject::connect(reply.get(), &QNetworkReply::sslErrors, reply.get(), [&](const QList<QSslError>&) {
        faults.untrusted = true;
    });
    // A drip of one byte a second never lets the transfer timeout run out.
    QTimer total;
    total.setSingleShot(true);
    QObject::connect(&total, &QTimer::timeout, reply.get(), [&]() {
        faults.tooSlow = true;
        reply->abort();
    });
    total.start(m_totalTimeoutS * 1000);

    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished() && !m_aborted)
        loop.exec();
    m_reply.clear();

    faults.aborted = m_aborted;
    return judged(*reply, result, faults, m_totalTimeoutS);
}
