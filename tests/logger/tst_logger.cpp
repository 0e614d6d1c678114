#include "Logger.h"

#include <QtTest>

class TestLogger : public QObject {
    Q_OBJECT

private slots:
    void formatsLinesWithTimeAndSource_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        QTest::newRow("request") << int(Logger::TAV) << "AT+ID=?"
                                 << "[14:03:07:052] [TAV] AT+ID=?";
        QTest::newRow("app") << int(Logger::APP) << "AT command request timeout!"
                             << "[14:03:07:052] [APP] AT command request timeout!";
        QTest::newRow("trekon") << int(Logger::TRK) << "TREKON -- SLEEP"
                                << "[14:03:07:052] [TRK] TREKON -- SLEEP";
        QTest::newRow("trailing CR LF") << int(Logger::APP) << "AT+PING=?\r\n"
                                        << "[14:03:07:052] [APP] AT+PING=?";
        QTest::newRow("empty text") << int(Logger::TAV) << ""
                                    << "[14:03:07:052] [TAV]";
    }

    void formatsLinesWithTimeAndSource()
    {
        QFETCH(int, source);
        QFETCH(QString, text);
        QFETCH(QString, line);
        const QDateTime at(QDate(2026, 12, 8), QTime(14, 3, 7, 52), Qt::UTC);
        QCOMPARE(Logger::formatLine(at, static_cast<Logger::Source>(source), text), line);
    }

    void addsTheTimestampOffset()
    {
        Logger logger;
        QSignalSpy spy(&logger, &Logger::logCreated);
        logger.setTimestampOffset(3600);
        QCOMPARE(logger.timestampOffset(), qint64(3600));

        const QDateTime before = QDateTime::currentDateTimeUtc();
        logger.log(Logger::APP, "hello");
        const QDateTime after = QDateTime::currentDateTimeUtc();

        QCOMPARE(spy.count(), 1);
        const QString line = spy.at(0).at(0).toString();
        QVERIFY2(line.endsWith("] [APP] hello"), qPrintable(line));
        const QTime stamped = QTime::fromString(line.mid(1, 12), "hh:mm:ss:zzz");
        QVERIFY2(stamped.isValid(), qPrintable(line));
        // The stamp lies one hour after the clock at the time of the call.
        const QTime low = before.addSecs(3600).time();
        const QTime high = after.addSecs(3600).time();
        if (low <= high)
            QVERIFY2(stamped >= low && stamped <= high, qPrintable(line));

        const QDateTime at(QDate(2026, 1, 1), QTime(10, 0), Qt::UTC);
        QCOMPARE(Logger::formatLine(at.addSecs(3600), Logger::APP, "x"), QString("[11:00:00:000] [APP] x"));
    }

    void clearingSignalsThePanes()
    {
        Logger logger;
        QSignalSpy spy(&logger, &Logger::logsCleared);
        logger.clearLogs();
        QCOMPARE(spy.count(), 1);
    }

    void exportsLogsWholeOrFilteredToRequests_data()
    {
        QTest::addColumn<QString>("logs");
        QTest::addColumn<bool>("filter");
        QTest::addColumn<QString>("written");
        const QString logs = "[1:2:3:4] [TAV] AT+PING=?\n[1:2:3:5] [TAV] +OK\r\n"
                             "[1:2:3:6] [APP] AT+POS=43.5,1.4\r[1:2:3:7] [APP] TAV2 connected\n";
        QTest::newRow("whole") << logs << false << logs;
        QTest::newRow("filtered") << logs << true << "AT+PING=?\nAT+POS=43.5,1.4\n";
        QTest::newRow("filtered, nothing") << "[1:2:3:5] [TAV] +OK" << true << "";
        QTest::newRow("tag must have three letters")
            << "[1] [TAVX] AT+ID=?\n[1] [TRK] AT+ID=?" << true << "AT+ID=?\n";
        QTest::newRow("request must follow the tag") << "[1] [TAV] sent AT+ID=?" << true << "";
    }

    void exportsLogsWholeOrFilteredToRequests()
    {
        QFETCH(QString, logs);
        QFETCH(bool, filter);
        QFETCH(QString, written);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("log.txt");
        Logger logger;
        QVERIFY(logger.exportLogsToFile(QUrl::fromLocalFile(path).toString(), logs, filter));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), written);
    }

    void exportTruncatesAndAcceptsPlainPaths()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("log.txt");
        Logger logger;
        QVERIFY(logger.exportLogsToFile(path, "a much longer first text\n", false));
        QVERIFY(logger.exportLogsToFile(path, "short\n", false));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("short\n"));
    }

    void exportReportsAFileThatCannotBeWritten()
    {
        QTemporaryDir dir;
        Logger logger;
        QSignalSpy spy(&logger, &Logger::logCreated);
        QVERIFY(!logger.exportLogsToFile(dir.filePath("missing/folder/log.txt"), "x\n", false));
        QVERIFY(!logger.exportLogsToFile(dir.path(), "x\n", false));
        QVERIFY(!logger.exportLogsToFile("", "x\n", false));
        if (QFile::exists("/dev/full"))
            QVERIFY(!logger.exportLogsToFile("/dev/full", QString(70000, 'x'), false));
        QCOMPARE(spy.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
