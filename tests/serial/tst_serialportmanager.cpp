#include "SerialPortManager.h"
#include "Tav2.h"
#include "Trekon.h"

#include <QSerialPortInfo>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The far end of the line: the master side of a pseudo-terminal, whose slave
// path the manager opens as it would open a USB serial adapter.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PseudoTerminal() { closeMaster(); }

    QString slavePath() const { return m_slavePath; }
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    // Writes everything, letting the reader drain the line when it is full.
    bool send(const QByteArray& bytes)
    {
        qsizetype done = 0;
        QDeadlineTimer guard(30000);
        while (done < bytes.size() && !guard.hasExpired()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, bytes.size() - done);
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EAGAIN)
                return false;
            QCoreApplication::processEvents();
        }
        return done == bytes.size();
    }

    QByteArray receive()
    {
        char buffer[256];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        return n > 0 ? QByteArray(buffer, n) : QByteArray();
    }

private:
    int m_master = -1;
    QString m_slavePath;
};

int criticalCount = 0;
QtMessageHandler previousHandler = nullptr;

void countingHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtCriticalMsg)
        ++criticalCount;
    previousHandler(type, context, text);
}

} // namespace

class TestSerialPortManager : public QObject {
    Q_OBJECT

private:
    PseudoTerminal* m_pty = nullptr;
    SerialPortManager* m_manager = nullptr;
    QSignalSpy* m_lines = nullptr;

    // Sends a last line and waits for it, so that everything sent before has
    // been delivered and nothing else slipped in.
    QStringList linesUpToEndMarker()
    {
        const auto endReceived = [&] { return !m_lines->isEmpty() && m_lines->constLast().at(0) == "+END"; };
        if (!m_pty->send("+END\r\n") || !QTest::qWaitFor(endReceived))
            return {"<end marker not received>"};
        QStringList lines;
        for (const QList<QVariant>& args : *m_lines)
            lines << args.at(0).toString();
        return lines;
    }

private slots:
    void init()
    {
        m_pty = new PseudoTerminal;
        QVERIFY2(!m_pty->slavePath().isEmpty(), "no pseudo-terminal available");
        m_manager = new SerialPortManager;
        m_manager->configure(Tav2(nullptr, QSerialPort::Baud9600).getPortSettings());
        m_lines = new QSignalSpy(m_manager, &SerialPortManager::doneReading);
        QVERIFY(m_manager->open(m_pty->slavePath()));
        criticalCount = 0;
        previousHandler = qInstallMessageHandler(countingHandler);
    }

    void cleanup()
    {
        qInstallMessageHandler(previousHandler);
        delete m_lines;
        delete m_manager;
        delete m_pty;
    }

    void joinsLineSplitAcrossReads()
    {
        QVERIFY(m_pty->send("+OK\r"));
        QTRY_COMPARE(m_manager->bufferedByteCount(), 4);
        QVERIFY(m_pty->send("\n+ID=12"));
        QTRY_COMPARE(m_lines->count(), 1);
        QTRY_COMPARE(m_manager->bufferedByteCount(), 6);
        QVERIFY(m_pty->send("34\r\n"));
        QCOMPARE(linesUpToEndMarker(), QStringList({"+OK", "+ID=1234", "+END"}));
    }

    void cutsAndDecodesLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("two in one read") << QByteArray("+A\r\n+B\n") << QStringList({"+A", "+B"});
        QTest::newRow("empty line") << QByteArray("\r\n") << QStringList({""});
        QTest::newRow("blanks at both ends") << QByteArray(" \t+OK \t\r\n") << QStringList({"+OK"});
        QTest::newRow("utf-8") << QByteArray("+FW=caf\xc3\xa9\n") << QStringList({"+FW=café"});
        QTest::newRow("invalid bytes") << QByteArray("+FW=\xff\xfe"
                                                     "1\n")
                                       << QStringList({"+FW=\uFFFD\uFFFD"
                                                       "1"});
        QTest::newRow("broken sequence") << QByteArray("+X=\xc3(\n") << QStringList({"+X=\uFFFD("});
        QTest::newRow("longest line kept") << QByteArray(SerialPortManager::MAX_LINE_LENGTH, 'A') + '\n'
                                           << QStringList({QString(SerialPortManager::MAX_LINE_LENGTH, 'A')});
    }

    void cutsAndDecodesLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QVERIFY(m_pty->send(bytes));
        QCOMPARE(linesUpToEndMarker(), lines << "+END");
        QCOMPARE(criticalCount, 0);
    }

    void dropsOverlongLineOnce_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::newRow("one byte over") << SerialPortManager::MAX_LINE_LENGTH + 1;
        QTest::newRow("100 KB of noise") << qsizetype(100 * 1024);
    }

    void dropsOverlongLineOnce()
    {
        QFETCH(qsizetype, length);
        qsizetype largestHeld = 0;
        QObject::connect(m_manager->findChild<QSerialPort*>(), &QSerialPort::readyRead, m_manager,
            [&] { largestHeld = qMax(largestHeld, m_manager->bufferedByteCount()); });
        QVERIFY(m_pty->send(QByteArray(length, 'x')));
        QVERIFY(m_pty->send("x\r\n+ID=1234\r\n"));
        QCOMPARE(linesUpToEndMarker(), QStringList({"+ID=1234", "+END"}));
        QCOMPARE(criticalCount, 1);
        QVERIFY2(largestHeld <= SerialPortManager::MAX_LINE_LENGTH, qPrintable(QString::number(largestHeld)));
    }

    // A handler may wait for a further answer in a nested event loop.
    void keepsOrderWhenHandlerReadsAgain()
    {
        QStringList seen;
        QObject::connect(m_manager, &SerialPortManager::doneReading, m_manager, [&](const QString& line) {
            seen << line;
            if (line == "+A") {
                m_pty->send("+C\n");
                QVERIFY(QTest::qWaitFor([&] { return seen.contains("+C"); }));
            }
        });
        QVERIFY(m_pty->send("+A\n+B\n"));
        QTRY_VERIFY(seen.contains("+C"));
        QCOMPARE(linesUpToEndMarker(), QStringList({"+A", "+B", "+C", "+END"}));
        QCOMPARE(seen, QStringList({"+A", "+B", "+C", "+END"}));
    }

    // A flood is handed out a few lines at a time, the event loop running in
    // between (the window keeps drawing), in order and with a bounded queue.
    void floodIsDeliveredInSlices()
    {
        // Short lines, all in one read of the device (under its 4 KiB).
        constexpr int count = 800;
        QByteArray flood;
        for (int i = 0; i < count; ++i)
            flood += '+' + QByteArray::number(i).rightJustified(3, '0') + '\n';
        int seenWhenLoopRan = -1;
        qsizetype largestQueue = 0;
        QObject::connect(m_manager, &SerialPortManager::doneReading, m_manager, [&](const QString&) {
            largestQueue = qMax(largestQueue, m_manager->queuedLineCount());
            if (m_lines->size() == 1)
                QTimer::singleShot(0, m_manager, [&] { seenWhenLoopRan = int(m_lines->size()); });
        });
        QVERIFY(m_pty->send(flood));
        const QStringList lines = linesUpToEndMarker();
        QCOMPARE(lines.size(), count + 1);
        for (int i = 0; i < count; i += 97)
            QCOMPARE(lines.at(i), '+' + QString::number(i).rightJustified(3, '0'));
        QVERIFY2(seenWhenLoopRan > 0 && seenWhenLoopRan < count / 4,
            qPrintable(QString::number(seenWhenLoopRan)));
        QVERIFY(largestQueue <= SerialPortManager::MAX_QUEUED_LINES);
    }

    void closeForgetsPartialLine()
    {
        QVERIFY(m_pty->send("+PARTIAL"));
        QTRY_COMPARE(m_manager->bufferedByteCount(), 8);
        m_manager->close();
        QVERIFY(!m_manager->isOpen());
        QCOMPARE(m_manager->bufferedByteCount(), 0);
        QVERIFY(m_manager->open(m_pty->slavePath()));
        QVERIFY(m_pty->send("\n"));
        QCOMPARE(linesUpToEndMarker(), QStringList({"", "+END"}));
    }

    void secondOpenFailsQuietly()
    {
        QSignalSpy errors(m_manager, &SerialPortManager::serialError);
        QVERIFY(!m_manager->open(m_pty->slavePath()));
        QVERIFY(!m_manager->open("/dev/null"));
        QVERIFY(m_manager->isOpen());
        QCOMPARE(errors.count(), 0);
        QCOMPARE(linesUpToEndMarker(), QStringList({"+END"}));
    }

    void reportsPortThatCannotOpen()
    {
        m_manager->close();
        QSignalSpy errors(m_manager, &SerialPortManager::serialError);
        QVERIFY(!m_manager->open("/dev/tav-no-such-port"));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), "Unable to open port /dev/tav-no-such-port");
    }

    void reportsUnpluggedDevice()
    {
        QSignalSpy errors(m_manager, &SerialPortManager::serialError);
        m_pty->closeMaster();
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(
            errors.at(0).at(0).toString(), "The evaluation kit is not reachable, it may have been unplugged");
        QVERIFY(!m_manager->isOpen());
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        QCOMPARE(errors.count(), 1);
        QCOMPARE(criticalCount, 1);
    }

    void writesRequestUnchanged_data()
    {
        QTest::addColumn<QSerialPort::BaudRate>("baudRate");
        QTest::addColumn<speed_t>("speed");
        QTest::newRow("9600") << QSerialPort::Baud9600 << speed_t(B9600);
        QTest::newRow("115200") << QSerialPort::Baud115200 << speed_t(B115200);
    }

    void writesRequestUnchanged()
    {
        QFETCH(QSerialPort::BaudRate, baudRate);
        QFETCH(speed_t, speed);
        m_manager->close();
        m_manager->configure(Trekon(nullptr, baudRate).getPortSettings());
        QVERIFY(m_manager->open(m_pty->slavePath()));

        termios line {};
        QCOMPARE(::tcgetattr(m_manager->findChild<QSerialPort*>()->handle(), &line), 0);
        QCOMPARE(::cfgetospeed(&line), speed);
        QCOMPARE(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));

        m_manager->write("AT+PING=?\r\n");
        QByteArray wire;
        QTRY_VERIFY((wire += m_pty->receive()).size() >= 11);
        QCOMPARE(wire, QByteArray("AT+PING=?\r\n"));
    }

    void listsExtraDevicePaths()
    {
        qputenv(SerialPortManager::EXTRA_PORTS_ENV,
            (m_pty->slavePath() + "::/dev/tav-no-such-port:/dev/null").toLocal8Bit());
        QSignalSpy changed(m_manager, &SerialPortManager::portListModelChanged);
        m_manager->enumerate();
        qunsetenv(SerialPortManager::EXTRA_PORTS_ENV);

        QStringList expected;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            expected << info.portName();
        expected << m_pty->slavePath() << "/dev/null";
        QCOMPARE(m_manager->portListModel()->stringList(), expected);
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSerialPortManager)
#include "tst_serialportmanager.moc"
