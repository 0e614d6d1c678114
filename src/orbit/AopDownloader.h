#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>

class QNetworkReply;

// Fetches the constellation's orbit-data document over HTTP(S) (or a file
// URL) from the service that "config.ini" in the working directory names
// with Prepass/aopWebRequestUrl, else from the default service. The reply is
// bounded in size and time. The URL carries the service's credentials: no
// diagnostic quotes it, nor the reply's error string, which would.
class AopDownloader {
public:
    // Replies above this size are refused before they are read whole.
    static constexpr qint64 MAX_REPLY_SIZE = 4 * 1024 * 1024;
    // Silence that ends the transfer, restarted by every byte.
    static constexpr int TRANSFER_TIMEOUT_MS = 5000;
    // The whole transfer, however the bytes come; Prepass/aopDownloadTimeoutS
    // of config.ini changes it.
    static constexpr int DEFAULT_TOTAL_TIMEOUT_S = 60;
    static constexpr qint64 READ_SLICE_SIZE = 64 * 1024;
    // A constant, not a QString, so that other statics may be built from it.
    static constexpr const char DEFAULT_URL[]
        = "https://norvane.com/uda/resources/allcast?login=MURLAPENT&password=ZUB4817QOL&application=allcast-app";

    // REFUSED: the service answered, but not with the document (an HTTP
    // error status, an empty body).
    enum Status { FETCHED, UNREACHABLE, REFUSED, OVERSIZED, CANCELLED };

    struct Reply {
        Status status = UNREACHABLE;
        QByteArray body; // the whole document when FETCHED
        // What went wrong, for the user: "404 Not Found", "the certificate is
        // not trusted", "the reply is larger than 4 MiB", or the network
        // error's name ("ConnectionRefusedError").
        QString cause;
    };

    AopDownloader();

    QString url() const { return m_url; }
    int totalTimeoutS() const { return m_totalTimeoutS; }

    // Blocks its caller in a local event loop until the reply is in, refused
    // or timed out.
    Reply fetch();
    // Ends a fetch under way at once (Ctrl-C); it returns CANCELLED.
    void abort();

private:
    QString m_url;
    int m_totalTimeoutS = DEFAULT_TOTAL_TIMEOUT_S;
    QPointer<QNetworkReply> m_reply;
    bool m_aborted = false;
};
