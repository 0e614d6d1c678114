#include "FakeOrbitServer.h"
#include "tx/PrepassProfile.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

namespace {

QStringList g_messages;

void collect(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_messages.append(message);
}

const QByteArray goodDocument
    = R"({"creationDate":"2024-05-01_08:30:00","satellitesInformation":[{"satellite":"SARAL",)"
      R"("broadcastedStatus":{"allcastIdent":"A","downlinkStatus":"ARGOS-4 TX ON","operatingStatus":"ARGOS-4 payload"},)"
      R"("aop":{"date":"2024-04-30_22:10:05","semiMajorAxis":7160.2,"semiMajorAxisDrift":-0.3,"inclination":98.54,)"
      R"("ascendantNodeLongitude":12.5,"ascendantNodeDrift":-25.1,"orbitalPeriod":100.5}}]})";

const char* secretLogin = "L0GINXYZ";
const char* secretPassword = "PASSW0RDXYZ";

} // namespace

class TestOrbitDownload : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    FakeOrbitServer m_server;

    // config.ini in the working directory points the profile at `url`.
    void pointAt(const QString& url)
    {
        QFile::remove(m_dir.filePath(QStringLiteral("config.ini")));
        if (url.isEmpty())
            return;
        QSettings config(m_dir.filePath(QStringLiteral("config.ini")), QSettings::IniFormat);
        config.setValue(QStringLiteral("Prepass/aopWebRequestUrl"), url);
        config.sync();
    }

    QString serverUrl() const
    {
        return QStringLiteral(
            "http://127.0.0.1:%1/uda/resources/allcast?login=%2&password=%3&application=allcast-app")
            .arg(m_server.serverPort())
            .arg(QLatin1String(secretLogin), QLatin1String(secretPassword));
    }

    // Runs one download, collecting the console messages; checks that the
    // credentials never show in them.
    bool download(PrepassProfile& profile, QString* error)
    {
        QSignalSpy finished(&profile, &PrepassProfile::aopDataDownloadFinished);
        g_messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collect);
        const bool result = profile.downloadAopData();
        qInstallMessageHandler(previous);
        [&]() {
            QCOMPARE(finished.size(), 1);
            *error = finished.at(0).at(0).toString();
            for (const QString& message : std::as_const(g_messages)) {
                QVERIFY2(!message.contains(QLatin1String(secretLogin)), qPrintable(message));
                QVERIFY2(!message.contains(QLatin1String(secretPassword)), qPrintable(message));
            }
        }();
        return result;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
    }

    void cleanupTestCase() { QDir::setCurrent(m_previousDir); }

    void init()
    {
        m_server.mode = FakeOrbitServer::ANSWER;
        m_server.status = "200 OK";
        m_server.body = goodDocument;
        m_server.streamed = 0;
        m_server.requestLine.clear();
        pointAt(serverUrl());
    }

    void defaultUrlCarriesTheServiceQuery()
    {
        pointAt(QString());
        PrepassProfile profile;
        const QUrl url(profile.aopWebRequestUrl());
        QCOMPARE(url.scheme(), QStringLiteral("https"));
        QCOMPARE(url.host(), QStringLiteral("norvane.com"));
        QCOMPARE(url.path(), QStringLiteral("/uda/resources/allcast"));
        QCOMPARE(url.query(), QStringLiteral("login=MURLAPENT&password=ZUB4817QOL&application=allcast-app"));
    }

    void configIniOverridesTheUrl()
    {
        PrepassProfile profile;
        QCOMPARE(profile.aopWebRequestUrl(), serverUrl());
    }

    void handWrittenConfigIniReadsWhole()
    {
        QFile config(m_dir.filePath(QStringLiteral("config.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        config.write(
            "[rconf]\ndir=/opt/rconf\n\n[Prepass]\naopWebRequestUrl=https://orbit.example.org/uda/resources/"
            "allcast?login=ab&password=c=d&application=allcast-app\n");
        config.close();
        PrepassProfile profile;
        QCOMPARE(profile.aopWebRequestUrl(),
            QStringLiteral("https://orbit.example.org/uda/resources/"
                           "allcast?login=ab&password=c=d&application=allcast-app"));
    }

    void goodDocumentFillsTheModel()
    {
        PrepassProfile profile;
        QString error = QStringLiteral("unset");
        QVERIFY(download(profile, &error));
        QCOMPARE(error, QString());
        QVERIFY(m_server.requestLine.startsWith("GET /uda/resources/allcast?login="));
        QCOMPARE(profile.satelliteAopModel()->rowCount(), 1);
        QCOMPARE(profile.satelliteAopModel()->getSatelliteName(QChar('A')), QStringLiteral("SARAL"));
    }

    // A second click while the first download waits for its reply starts no
    // second request; the first reports once, as if alone.
    void downloadUnderWayRefusesASecond()
    {
        PrepassProfile profile;
        bool second = true;
        QString secondError;
        bool seenDownloading = false;
        connect(&profile, &PrepassProfile::downloadingChanged, this, [&] {
            if (!profile.downloading())
                return;
            QTimer::singleShot(0, this, [&] {
                seenDownloading = profile.downloading();
                second = profile.downloadAopData();
                secondError = profile.lastDownloadError();
            });
        });
        const int before = m_server.requestCount;
        QString error = QStringLiteral("unset");
        QVERIFY(download(profile, &error));
        QVERIFY(seenDownloading);
        QVERIFY(!second);
        QCOMPARE(secondError, PrepassProfile::AOP_BUSY_ERROR);
        QCOMPARE(m_server.requestCount - before, 1);
        QCOMPARE(error, QString());
        QCOMPARE(profile.lastDownloadError(), QString());
        QVERIFY(!profile.downloading());
        QCOMPARE(profile.satelliteAopModel()->rowCount(), 1);
    }

    void refusedReplies_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("message");
        const QString fetch = PrepassProfile::AOP_FETCH_ERROR;
        const QString parse = PrepassProfile::AOP_PARSE_ERROR;
        const QString refused = PrepassProfile::AOP_REFUSED_ERROR;
        const QString empty = PrepassProfile::AOP_EMPTY_ERROR;
        // A document of no satellite would empty the list there is.
        QTest::newRow("no satellite") << int(FakeOrbitServer::ANSWER) << QByteArray("200 OK")
                                      << QByteArray(R"({"creationDate":"2024-05-02_00:00:00","satellitesInformation":[]})")
                                      << empty << QStringLiteral("AOP data error: the document lists no satellite");
        QTest::newRow("empty object") << int(FakeOrbitServer::ANSWER) << QByteArray("200 OK") << QByteArray("{}")
                                      << empty << QStringLiteral("AOP data error: the document lists no satellite");
        QTest::newRow("errors") << int(FakeOrbitServer::ANSWER) << QByteArray("200 OK")
                                << QByteArray(R"({"errors":["bad login"]})") << parse
                                << QStringLiteral("AOP data error (no consistent object)");
        QTest::newRow("not JSON") << int(FakeOrbitServer::ANSWER) << QByteArray("200 OK")
                                  << QByteArray("<html>maintenance</html>") << parse
                                  << QStringLiteral("Error: ");
        QTest::newRow("empty body") << int(FakeOrbitServer::ANSWER) << QByteArray("200 OK") << QByteArray()
                                    << refused << QStringLiteral("Error: the reply is empty");
        QTest::newRow("not found") << int(FakeOrbitServer::ANSWER) << QByteArray("404 Not Found")
                                   << QByteArray("missing") << refused << QStringLiteral("Error: 404 Not Found");
        QTest::newRow("server error") << int(FakeOrbitServer::ANSWER) << QByteArray("500 Internal Server Error")
                                      << QByteArray("oops") << refused
                                      << QStringLiteral("Error: 500 Internal Server Error");
        QTest::newRow("announced too large")
            << int(FakeOrbitServer::ANNOUNCED_TOO_LARGE) << QByteArray() << QByteArray() << parse
            << QStringLiteral("Error: the reply is larger than 4 MiB");
        QTest::newRow("streamed too large")
            << int(FakeOrbitServer::STREAMED_TOO_LARGE) << QByteArray() << QByteArray() << parse
            << QStringLiteral("Error: the reply is larger than 4 MiB");
    }

    void refusedReplies()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        QFETCH(QString, message);
        m_server.mode = static_cast<FakeOrbitServer::Mode>(mode);
        m_server.status = status;
        m_server.body = body;
        PrepassProfile profile;
        profile.satelliteAopModel()->updateAopData(QChar('K'), QDateTime::currentDateTimeUtc(), 7000, 98, 1,
            2, 100, 0, QStringLiteral("NA"), SatelliteAop::DNLK_NA, SatelliteAop::UPLK_NA);
        QString reported;
        QVERIFY(!download(profile, &reported));
        QCOMPARE(reported, error);
        QVERIFY2(!g_messages.filter(message).isEmpty(), qPrintable(g_messages.join(QLatin1Char('|'))));
        QCOMPARE(profile.satelliteAopModel()->rowCount(), 1);
        // Too large: cut off long before the end, not read whole.
        QVERIFY(m_server.streamed < m_server.streamTarget);
    }

    void refusedConnectionReportsFetchFailure()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        pointAt(QStringLiteral("http://127.0.0.1:%1/uda/resources/allcast?login=%2&password=%3")
                    .arg(port)
                    .arg(QLatin1String(secretLogin), QLatin1String(secretPassword)));
        PrepassProfile profile;
        QString error;
        QVERIFY(!download(profile, &error));
        QCOMPARE(error, PrepassProfile::AOP_FETCH_ERROR);
        QVERIFY(g_messages.contains(QStringLiteral("Error: ConnectionRefusedError")));
    }

    // Takes the transfer timeout of the protocol itself (5 s).
    void silentServerTimesOut()
    {
        m_server.mode = FakeOrbitServer::SILENT;
        PrepassProfile profile;
        QString error;
        QVERIFY(!download(profile, &error));
        QCOMPARE(error, PrepassProfile::AOP_FETCH_ERROR);
        QVERIFY(g_messages.filter(QStringLiteral("Error: ")).size() == 1);
    }
};

QTEST_GUILESS_MAIN(TestOrbitDownload)
#include "tst_orbit_download.moc"
