#pragma once

#include <QByteArray>
#include <QString>

// Fetches the constellation's orbit-data document over HTTP(S) (or a file
// URL) from the service that "config.ini" in the working directory names
// with Prepass/aopWebRequestUrl, else from the default service. The reply is
// bounded in size and time. The URL carries the service's credentials: no
// diagnostic quotes it, nor the reply's error string, which would.
class AopDownloader {
public:
    // Replies above this size are refused before they are read whole.
    static constexpr qint64 MAX_REPLY_SIZE = 4 * 1024 * 1024;
    static constexpr int TRANSFER_TIMEOUT_MS = 5000;
    static constexpr qint64 READ_SLICE_SIZE = 64 * 1024;
    // A constant, not a QString, so that other statics may be built from it.
    static constexpr const char DEFAULT_URL[]
        = "https://norvane.com/uda/resources/allcast?login=MURLAPENT&password=ZUB4817QOL&application=allcast-app";

    enum Status { FETCHED, UNREACHABLE, OVERSIZED };

    struct Reply {
        Status status = UNREACHABLE;
        QByteArray body; // the whole document when FETCHED
        // The network error's name ("ConnectionRefusedError") when UNREACHABLE.
        QString networkError;
    };

    AopDownloader();

    QString url() const { return m_url; }

    // Blocks its caller in a local event loop until the reply is in, refused
    // or timed out.
    Reply fetch() const;

private:
    QString m_url;
};
