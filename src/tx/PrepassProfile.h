#pragma once

#include "PrepassTypes.h"
#include "orbit/AopDownloader.h"
#include "orbit/PrepassModel.h"
#include "orbit/SatelliteAopModel.h"

#include <QObject>
#include <QString>

// Transmissions timed to satellite passes: the beacon position and
// prediction settings the module needs, the constellation's orbit data
// (downloaded or reported by the module) and the module's next pass. The
// download itself is the AopDownloader's.
class PrepassProfile : public QObject {
    Q_OBJECT
    Q_PROPERTY(Position position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(PrepassConfig config READ config WRITE setConfig NOTIFY configChanged)
    Q_PROPERTY(quint8 redundancy READ redundancy WRITE setRedundancy NOTIFY redundancyChanged)
    Q_PROPERTY(SatelliteAopModel* satelliteAopModel READ satelliteAopModel CONSTANT)
    Q_PROPERTY(PrepassModel* nextPassModel READ nextPassModel CONSTANT)
    Q_PROPERTY(QString aopUrlHint READ aopUrlHint CONSTANT)
    Q_PROPERTY(bool downloading READ downloading NOTIFY downloadingChanged)

public:
    static constexpr quint8 DEFAULT_REDUNDANCY = 4;
    static constexpr qint64 AOP_MAX_REPLY_SIZE = AopDownloader::MAX_REPLY_SIZE;
    static constexpr int AOP_TRANSFER_TIMEOUT_MS = AopDownloader::TRANSFER_TIMEOUT_MS;
    static constexpr qint64 READ_SLICE_SIZE = AopDownloader::READ_SLICE_SIZE;
    static const QString AOP_DEFAULT_URL;
    static const QString AOP_FETCH_ERROR;
    static const QString AOP_PARSE_ERROR;
    static const QString AOP_REFUSED_ERROR;
    static const QString AOP_EMPTY_ERROR;
    // Why a download asked for while another is under way was not started.
    static const QString AOP_BUSY_ERROR;
    // Shown beside a failed download: where another service is configured.
    static const QString AOP_URL_HINT;

    // Reads the orbit-data URL from "config.ini" in the working directory.
    explicit PrepassProfile(QObject* parent = nullptr);

    Position position() const { return m_position; }
    PrepassConfig config() const { return m_config; }
    quint8 redundancy() const { return m_redundancy; }
    SatelliteAopModel* satelliteAopModel() const { return m_satelliteAopModel; }
    PrepassModel* nextPassModel() const { return m_nextPassModel; }
    // Only for tests and diagnostics of the configuration: the URL carries
    // the service's credentials and must not be printed.
    QString aopWebRequestUrl() const { return m_downloader.url(); }
    QString aopUrlHint() const { return AOP_URL_HINT; }

    // Fetches the orbit data and parses them into the satellite model; blocks
    // its caller in a local event loop. True when the document was parsed.
    // A call made while a download is under way (a second click, the
    // planner's timer) starts none: it fails with AOP_BUSY_ERROR and leaves
    // the download under way to report its own outcome.
    Q_INVOKABLE bool downloadAopData();
    // Ends a download under way at once.
    void abortDownload() { m_downloader.abort(); }
    bool downloading() const { return m_downloading; }
    // Why the last download failed: the text shown, and the network error's
    // name as its cause ("ConnectionRefusedError") when there was one.
    QString lastDownloadError() const { return m_lastDownloadError; }
    QString lastNetworkError() const { return m_lastNetworkError; }

public slots:
    void setPosition(Position position);
    void setConfig(PrepassConfig config);
    void setRedundancy(quint8 redundancy);
    void setConfigPredictionDuration(quint8 days);
    void setConfigMinElevation(double minElevation);
    void setConfigMinPassDuration(quint8 minutes);

signals:
    void positionChanged();
    void configChanged();
    void redundancyChanged();
    void aopDataDownloadFinished(QString error);
    void downloadingChanged();

private:
    Position m_position;
    PrepassConfig m_config;
    SatelliteAopModel* m_satelliteAopModel;
    PrepassModel* m_nextPassModel;
    quint8 m_redundancy = DEFAULT_REDUNDANCY;
    AopDownloader m_downloader;
    QString m_lastDownloadError;
    QString m_lastNetworkError;
    bool m_downloading = false;
};
