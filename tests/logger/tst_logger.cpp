#include "LogFile.h"
#include "Logger.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

    void logFileAppendsEveryLineInOrder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("device.log");
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("[10:00:00:000] [APP] from an earlier run\n");
        }
        Logger logger;
        LogFile file;
        QVERIFY(file.open(path));
        file.follow(&logger);
        QStringList expected {"[10:00:00:000] [APP] from an earlier run"};
        for (int i = 0; i < 2000; ++i) {
            logger.log(Logger::TRK, "+ID=" + QString::number(i));
            expected << "+ID=" + QString::number(i);
        }
        file.close();
        QVERIFY(!file.isOpen());
        logger.log(Logger::APP, "after the close");

        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(written.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), expected.size());
        QCOMPARE(lines.first(), expected.first());
        for (int i = 1; i < lines.size(); ++i)
            QVERIFY2(lines.at(i).endsWith("] [TRK] " + expected.at(i)), qPrintable(lines.at(i)));
        QCOMPARE(file.droppedLines(), quint64(0));
    }

    void logFileThatCannotBeOpenedSaysWhy()
    {
        QTemporaryDir dir;
        LogFile file;
        QString error;
        QVERIFY(!file.open(dir.path(), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!file.isOpen());
        file.append("ignored");
        file.close();
    }

    // A disk that does not keep up: a pipe nobody reads. Appending never
    // blocks; what does not fit is dropped and counted in the file.
    void logFileDropsWhatAStuckDiskCannotTake()
    {
        QTemporaryDir dir;
        const QByteArray fifo = QFile::encodeName(dir.filePath("stuck"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);

        LogFile file;
        QVERIFY(file.open(QString::fromLocal8Bit(fifo)));
        const QString line = QString(200, 'x');
        // Twice what the buffer holds: the pipe and the batch under way
        // take far less.
        const int count = int(2 * LogFile::MAX_PENDING_BYTES / 201);
        for (int i = 0; i < count; ++i)
            file.append(line);
        const quint64 dropped = file.droppedLines();

        std::thread closer([&file]() { file.close(); });
        QByteArray all;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(reader, buffer, sizeof buffer);
            if (n > 0)
                all.append(buffer, n);
            else if (n == 0 && !file.isOpen())
                break;
            else
                QThread::msleep(1);
        }
        closer.join();
        ::close(reader);

        QVERIFY2(dropped > 0, "the buffer is bounded");
        QVERIFY(dropped < quint64(count));
        const QList<QByteArray> lines = all.split('\n');
        const QByteArray note = QByteArray::number(dropped) + " log lines not written: the log file could not keep up";
        QCOMPARE(lines.count(note), 1);
        QCOMPARE(quint64(lines.count(line.toUtf8())), quint64(count) - dropped);
        QCOMPARE(lines.last(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
