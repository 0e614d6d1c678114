#include "board/Tav2.h"
#include "log/CommandHistory.h"
#include "log/LogFile.h"
#include "log/LogModel.h"
#include "log/LogSearch.h"
#include "log/LogViewModel.h"
#include "log/Logger.h"

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

        // The day of a line is its stamp's, offset included.
        logger.setTimestampOffset(-2 * 86400);
        logger.log(Logger::TAV, "+OK");
        logger.history()->flush();
        QCOMPARE(logger.history()->index(1).data(LogModel::DATE_ROLE).toString(),
            QDateTime::currentDateTimeUtc().addDays(-2).date().toString(Qt::ISODate));
    }

    // The lines carry only their time: a text of them opens each day with a
    // line of its own, which a filtered export and a replay skip.
    void textsOpenEachDay()
    {
        LogModel history;
        const QString late = "[23:59:59:999] [APP] AT+PING=?";
        const QString early = "[00:00:00:004] [TAV] +OK";
        history.append(Logger::APP, late, QDate(2026, 12, 10));
        history.append(Logger::TAV, early, QDate(2026, 12, 11));
        history.append(Logger::APP, late, QDate(2026, 12, 11));
        history.flush();
        const QString text = history.text();
        QCOMPARE(text,
            "--- 2026-12-10 UTC ---\n" + late + "\n--- 2026-12-11 UTC ---\n" + early + '\n' + late);
        QCOMPARE(Logger::filterAtCommands(text), QString("AT+PING=?\nAT+PING=?\n"));
        LogViewModel view;
        view.setHistory(&history);
        view.setRequestsOnly(true);
        QCOMPARE(view.text(), "--- 2026-12-10 UTC ---\n" + late + "\n--- 2026-12-11 UTC ---\n" + late);
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

    void historyKeepsTheLastLinesInBatches()
    {
        Logger logger;
        LogModel* history = logger.history();
        QCOMPARE(history->maxLines(), LogModel::DEFAULT_MAX_LINES);
        history->setMaxLines(1);
        QCOMPARE(history->maxLines(), LogModel::MIN_MAX_LINES);
        QSignalSpy inserted(history, &QAbstractItemModel::rowsInserted);
        for (int i = 0; i < 250; ++i)
            logger.log(Logger::TRK, "+ID=" + QString::number(i));
        QCOMPARE(history->count(), 0);
        QCOMPARE(history->totalLines(), qint64(250));
        history->flush();
        QCOMPARE(inserted.count(), 1);
        // A batch larger than the history keeps its tail.
        QCOMPARE(history->count(), 100);
        QVERIFY(history->at(0).line.endsWith("[TRK] +ID=150"));
        for (int i = 250; i < 260; ++i)
            logger.log(Logger::APP, "AT+ID=?");
        // The next batch comes by itself and drops as many old lines.
        QTRY_VERIFY(history->at(0).line.endsWith("[TRK] +ID=160"));
        QCOMPARE(history->count(), 100);
        QVERIFY(history->lastLine().endsWith("[APP] AT+ID=?"));
        QCOMPARE(history->text().count('\n'), 100); // and the day's line
        logger.clearLogs();
        QCOMPARE(history->count(), 0);
        QCOMPARE(history->totalLines(), qint64(0));
        QCOMPARE(history->lastLine(), QString());
    }

    void historyTellsTheKindOfEachLine_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        // What the pane draws of the text, when it is not the text itself.
        QTest::addColumn<QString>("shown");
        QTest::newRow("request") << int(Logger::APP) << "AT+PING=?" << int(LogModel::REQUEST) << QString();
        QTest::newRow("answer") << int(Logger::TAV) << "+OK" << int(LogModel::ANSWER) << QString();
        QTest::newRow("module error") << int(Logger::TRK) << "+ERROR=6" << int(LogModel::ERROR) << QString();
        QTest::newRow("module assert") << int(Logger::TAV) << "+ASSERT=hal.c:12" << int(LogModel::ERROR) << QString();
        QTest::newRow("timeout") << int(Logger::APP) << "AT command request timeout!" << int(LogModel::ERROR) << QString();
        QTest::newRow("tool failure") << int(Logger::APP) << "Unable to import config!" << int(LogModel::ERROR) << QString();
        QTest::newRow("tool message") << int(Logger::APP) << "TAV2 connected on port /dev/pts/3"
                                      << int(LogModel::APPLICATION) << QString();
        QTest::newRow("request word from the module") << int(Logger::TAV) << "AT+ID=?" << int(LogModel::ANSWER) << QString();
        QTest::newRow("line noise from the module")
            << int(Logger::TRK) << QString::fromUtf8("+ID=\xd8\xa7\xe6\x97\xa5\x01\xef\xbf\xbd~") << int(LogModel::ANSWER)
            << QString::fromUtf8("+ID=\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd~");
        const QString longLine = QString(3000, 'A');
        QTest::newRow("long line from the module")
            << int(Logger::TRK) << longLine << int(LogModel::ANSWER)
            << longLine.left(LogModel::SHOWN_MAX_LENGTH - 21) + QChar(0x2026);
        QTest::newRow("tool text beyond ASCII")
            << int(Logger::APP) << QString::fromUtf8("Beacon latitude: 43.5\xc2\xb0") << int(LogModel::APPLICATION) << QString();
    }

    void historyTellsTheKindOfEachLine()
    {
        QFETCH(int, source);
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QString, shown);
        Logger logger;
        logger.log(static_cast<Logger::Source>(source), text);
        logger.history()->flush();
        const QModelIndex row = logger.history()->index(0);
        QCOMPARE(row.data(LogModel::KIND_ROLE).toInt(), kind);
        QCOMPARE(row.data(LogModel::TEXT_ROLE).toString(), text);
        const QString line = row.data(LogModel::LINE_ROLE).toString();
        QCOMPARE(row.data(LogModel::SHOWN_ROLE).toString(), shown.isNull() ? line : line.left(line.size() - text.size()) + shown);
        QCOMPARE(row.data(LogModel::SOURCE_ROLE).toInt(), source);
    }

    void historySignalsReceivedMessages()
    {
        Logger logger;
        QSignalSpy spy(logger.history(), &LogModel::messageReceived);
        logger.log(Logger::TAV, "+RX=48656C6C6F");
        logger.log(Logger::TRK, "+BC=00FF");
        logger.log(Logger::APP, "+RX=00");
        logger.log(Logger::TAV, "+TX=0,+RX=12");
        QCOMPARE(spy.count(), 2);
        QVERIFY(spy.at(1).at(0).toString().endsWith("[TRK] +BC=00FF"));
    }

    // One history: a request, its answer, an error, and the tool's messages.
    static void fillExchange(Logger& logger, int rounds)
    {
        for (int i = 0; i < rounds; ++i) {
            logger.log(Logger::APP, "AT+ID=?");
            logger.log(Logger::TAV, "+ID=" + QString::number(i));
            logger.log(Logger::TRK, "+ERROR=6");
            logger.log(Logger::APP, "Round " + QString::number(i) + " done");
        }
        logger.history()->flush();
    }

    void viewFiltersCombine_data()
    {
        QTest::addColumn<int>("sources");
        QTest::addColumn<bool>("requests");
        QTest::addColumn<bool>("errors");
        QTest::addColumn<QString>("summary");
        const int all = LogViewModel::ALL_SOURCES;
        QTest::newRow("none") << all << false << false << "1,200 lines";
        QTest::newRow("tool only") << (1 << Logger::APP) << false << false << "600 of 1,200 lines, filtered";
        QTest::newRow("AT commands") << all << true << false << "300 of 1,200 lines, filtered";
        QTest::newRow("errors") << all << false << true << "300 of 1,200 lines, filtered";
        QTest::newRow("AT commands and errors") << all << true << true << "600 of 1,200 lines, filtered";
        QTest::newRow("errors of the tool") << (1 << Logger::APP) << false << true << "0 of 1,200 lines, filtered";
    }

    void viewFiltersCombine()
    {
        QFETCH(int, sources);
        QFETCH(bool, requests);
        QFETCH(bool, errors);
        QFETCH(QString, summary);
        Logger logger;
        fillExchange(logger, 300);
        LogViewModel view;
        view.setHistory(logger.history());
        view.setSources(sources);
        view.setRequestsOnly(requests);
        view.setErrorsOnly(errors);
        QCOMPARE(view.summary(), summary);
        QCOMPARE(view.filtered(), summary.endsWith("filtered"));
        // New lines go through the same filters.
        const int before = view.count();
        fillExchange(logger, 1);
        QCOMPARE(view.count(), before + before / 300);
    }

    void viewFollowsTheDroppedLinesAndSelects()
    {
        Logger logger;
        logger.history()->setMaxLines(100);
        LogViewModel view;
        view.setHistory(logger.history());
        view.setRequestsOnly(true);
        fillExchange(logger, 25);
        QCOMPARE(view.count(), 25);
        QCOMPARE(view.selectedText().count('\n'), 24); // nothing selected: every line shown
        view.select(2, false);
        view.select(4, true);
        QCOMPARE(view.selectedCount(), 3);
        QVERIFY(view.index(3).data(LogViewModel::SELECTED_ROLE).toBool());
        QVERIFY(!view.index(5).data(LogViewModel::SELECTED_ROLE).toBool());
        QCOMPARE(view.selectedText(), view.lineAt(2) + '\n' + view.lineAt(3) + '\n' + view.lineAt(4));
        fillExchange(logger, 1);
        QCOMPARE(view.count(), 25);
        QCOMPARE(view.selectedCount(), 3); // rows moved up one, the same lines stay selected
        QVERIFY(view.isSelected(1) && view.isSelected(3) && !view.isSelected(4));
        view.selectAll();
        QCOMPARE(view.selectedCount(), 25);
        QCOMPARE(view.summary(), "25 of 100 lines, filtered");
    }

    void searchFindsTextOrExpressions_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("regex");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("error");
        QTest::newRow("text, any case") << "round 1" << false << 11 << false;
        QTest::newRow("text is not an expression") << "+ID=.*" << false << 0 << false;
        QTest::newRow("expression") << R"(\+ID=1\d$)" << true << 10 << false;
        QTest::newRow("expression, any case") << "^\\[.*\\] \\[tav\\]" << true << 20 << false;
        QTest::newRow("bad expression") << "+ID=(" << true << 0 << true;
        QTest::newRow("empty") << "" << false << 0 << false;
    }

    void searchFindsTextOrExpressions()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, regex);
        QFETCH(int, count);
        QFETCH(bool, error);
        Logger logger;
        fillExchange(logger, 20);
        LogViewModel view;
        view.setHistory(logger.history());
        LogSearch* search = view.search();
        search->setRegularExpression(regex);
        search->setText(pattern);
        QCOMPARE(search->count(), count);
        QCOMPARE(!search->error().isEmpty(), error);
        QCOMPARE(search->current(), count - 1);
        if (count > 0)
            QVERIFY(view.index(search->currentRow()).data(LogViewModel::CURRENT_MATCH_ROLE).toBool());
    }

    void searchGoesRoundAndFollowsTheHistory()
    {
        Logger logger;
        logger.history()->setMaxLines(100);
        fillExchange(logger, 10);
        LogViewModel view;
        view.setHistory(logger.history());
        LogSearch* search = view.search();
        search->setText("+ERROR");
        QCOMPARE(search->count(), 10);
        search->next();
        QCOMPARE(search->current(), 0);
        QCOMPARE(search->currentRow(), 2);
        search->previous();
        QCOMPARE(search->current(), 9);
        QVERIFY(view.index(38).data(LogViewModel::MATCH_ROLE).toBool());
        QVERIFY(!view.index(37).data(LogViewModel::MATCH_ROLE).toBool());
        fillExchange(logger, 20); // 30 rounds: the first 5 are dropped
        QCOMPARE(search->count(), 25);
        QCOMPARE(search->current(), 4);
        QCOMPARE(search->currentRow(), 18);
        QVERIFY(view.lineAt(18).endsWith("[TRK] +ERROR=6"));
    }

    void commandHistoryWalksKeepsAndCompletes()
    {
        QSettings().remove("CommandHistory");
        {
            CommandHistory history;
            for (int i = 0; i < 120; ++i)
                history.add("AT+ID=" + QString::number(i));
            history.add("AT+ID=118"); // again: moves to the end, once
            history.toggleFavourite(" AT+FW=? ");
        }
        CommandHistory history; // a later run
        QCOMPARE(history.entries().size(), CommandHistory::MAX_ENTRIES);
        QCOMPARE(history.entries().first(), QString("AT+ID=20"));
        QCOMPARE(history.older("AT+P"), QString("AT+ID=118"));
        QCOMPARE(history.older("ignored"), QString("AT+ID=119"));
        QCOMPARE(history.newer(), QString("AT+ID=118"));
        QCOMPARE(history.newer(), QString("AT+P")); // past the newest: what was typed
        QVERIFY(history.isFavourite("AT+FW=?"));
        history.toggleFavourite("AT+FW=?");
        QVERIFY(history.favourites().isEmpty());

        Tav2 board(nullptr, QSerialPort::Baud9600);
        board.setModule(TavBoard::TAV2);
        history.setWords(board.commandWords());
        QVERIFY(history.words().contains("AT+PING="));
        QVERIFY(!history.words().contains("AT+RX="));
        QCOMPARE(history.complete("at+pi"), QString("AT+PING="));
        QCOMPARE(history.complete("PREPASS_C"), QString("AT+PREPASS_CFG="));
        QCOMPARE(history.complete("AT+PREP"), QString("AT+PREPASS_"));
        QCOMPARE(history.complete("AT+NOSUCH"), QString("AT+NOSUCH"));
        QCOMPARE(history.complete("AT+ID=?"), QString("AT+ID=?"));
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
