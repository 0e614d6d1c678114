#include "board/Tav2.h"
#include "board/Trekon.h"
#include "serial/PortDiagnosis.h"
#include "serial/SerialPortManager.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSerialPortInfo>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
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
    int masterFd() const { return m_master; }
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

Q_DECLARE_METATYPE(PortEntry)
Q_DECLARE_METATYPE(PortFacts)

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
        QTest::newRow("control characters") << QByteArray("+FW=\x1b]0;x\x07v1\x1b[2J\n")
                                            << QStringList({"+FW=\\x1b]0;x\\x07v1\\x1b[2J"});
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

    // A module chattering at a window too slow to keep up is held back at
    // the port: what waits in memory stays bounded, the rest in the device.
    void slowReaderHoldsTheFloodBack()
    {
        const QByteArray line = "+FLOOD=0123456789\n";
        const QByteArray chunk = line.repeated(256);
        qint64 consumed = 0;
        QObject::connect(m_manager, &SerialPortManager::doneReading, m_manager, [&](const QString&) {
            consumed += line.size();
            QThread::usleep(200);
        });
        qint64 written = 0;
        QDeadlineTimer flood(2000);
        while (!flood.hasExpired()) {
            // As much as the line takes, then the reader's turn.
            ssize_t n = 0;
            for (int i = 0; i < 64 && n >= 0; ++i) {
                n = ::write(m_pty->masterFd(), chunk.constData(), size_t(chunk.size()));
                written += qMax<ssize_t>(n, 0);
            }
            QCoreApplication::processEvents();
        }
        const qint64 held = written - consumed;
        QVERIFY2(held < 128 * 1024, qPrintable(QString("%1 bytes written, %2 read").arg(written).arg(consumed)));
        QVERIFY(consumed > 0);
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

    void explainsWhyAPortDoesNotOpen_data()
    {
        QTest::addColumn<PortFacts>("facts");
        QTest::addColumn<QString>("text");
        PortFacts gone;
        gone.path = "/dev/ttyUSB0";
        gone.exists = false;
        QTest::newRow("vanished") << gone
                                  << "/dev/ttyUSB0 is not there (any more): the device may have been unplugged "
                                     "since the list was read. The port list has been refreshed.";
        PortFacts denied;
        denied.path = "/dev/ttyUSB0";
        denied.permitted = false;
        denied.group = "dialout";
        QTest::newRow("not in the group")
            << denied
            << "Permission denied: /dev/ttyUSB0 belongs to the group dialout, and you are not in it. Fix: sudo "
               "usermod -aG dialout $USER, then log out and in again.";
        PortFacts added = denied;
        added.accountInGroup = true;
        QTest::newRow("added, not logged in again")
            << added
            << "Permission denied: /dev/ttyUSB0 belongs to the group dialout. You were added to it after this "
               "session began: log out and in again.";
        PortFacts held;
        held.path = "/dev/ttyUSB0";
        held.error = QSerialPort::PermissionError;
        held.holder = "picocom";
        held.holderPid = 4242;
        QTest::newRow("busy") << held
                              << "/dev/ttyUSB0 is busy: picocom (process 4242) holds it. Let go of it there, or "
                                 "stop that program, then connect again.";
        PortFacts probed = held;
        probed.path = "/dev/ttyACM0";
        probed.holder = "ModemProber";
        probed.vendorId = "0483";
        probed.productId = "5740";
        QTest::newRow("probed by a modem manager")
            << probed
            << "/dev/ttyACM0 is busy: ModemProber (process 4242) holds it. Let go of it there, or stop that "
               "program, then connect again. A modem manager probes new ttyACM devices when they are plugged "
               "in; to keep it away from the kit, put the line ATTRS{idVendor}==\"0483\", "
               "ATTRS{idProduct}==\"5740\", ENV{ID_MM_DEVICE_IGNORE}=\"1\" in "
               "/etc/udev/rules.d/99-tav-kit.rules, run sudo udevadm control --reload and plug the kit in again.";
        PortFacts unknown;
        unknown.path = "/dev/ttyUSB0";
        unknown.error = QSerialPort::PermissionError;
        QTest::newRow("busy, holder unseen")
            << unknown
            << "/dev/ttyUSB0 is busy: another program holds it (it could not be found, it may run as another "
               "user).";
        PortFacts other;
        other.path = "/dev/null";
        other.error = QSerialPort::UnsupportedOperationError;
        other.errorString = "Inappropriate ioctl for device";
        QTest::newRow("not a serial line") << other << "/dev/null could not be opened: Inappropriate ioctl for device.";
        other.serialDevice = false;
        QTest::newRow("not a serial device") << other << "/dev/null is not a serial device: choose the port the kit "
                                                        "is plugged in (see the port list).";
    }

    void explainsWhyAPortDoesNotOpen()
    {
        QFETCH(PortFacts, facts);
        QFETCH(QString, text);
        QCOMPARE(PortDiagnosis::explain(facts), text);
    }

    // Many programs hold /dev/null: it is no port, whoever holds it.
    void tellsASerialDeviceByItsNode()
    {
        const QSerialPort port;
        QVERIFY(!PortDiagnosis::inspect("/dev/null", port).serialDevice);
        QVERIFY(!PortDiagnosis::inspect(QCoreApplication::applicationFilePath(), port).serialDevice);
        QVERIFY(PortDiagnosis::inspect(m_pty->slavePath(), port).serialDevice);
    }

    // Another program holding the line is found by its descriptors.
    void findsTheProgramHoldingTheDevice()
    {
        QProcess holder;
        holder.start("sh", {"-c", "exec 3<>\"$0\"; echo ready; exec sleep 30", m_pty->slavePath()});
        QVERIFY(holder.waitForReadyRead(5000));
        QString program, lockFile;
        qint64 pid = 0;
        // "ready" comes before the shell turns into sleep: on a loaded
        // machine the holder may still be named sh for a moment.
        QTRY_VERIFY(PortDiagnosis::findHolder(m_pty->slavePath(), &program, &pid, &lockFile) && program == "sleep");
        QCOMPARE(pid, holder.processId());
        holder.kill();
        holder.waitForFinished();
    }

    void vanishedDeviceRefreshesTheList()
    {
        m_manager->close();
        QSignalSpy listed(m_manager, &SerialPortManager::portListModelChanged);
        QVERIFY(!m_manager->open("/dev/tav-no-such-port"));
        QCOMPARE(listed.count(), 1);
        QVERIFY(m_manager->openDiagnosis().startsWith("/dev/tav-no-such-port is not there"));
        QVERIFY(m_manager->openFailed());
        QVERIFY(m_manager->open(m_pty->slavePath()));
        QCOMPARE(m_manager->openDiagnosis(), QString());
        QVERIFY(!m_manager->openFailed());
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
        QCOMPARE(m_manager->portListModel()->names(), expected);
        QCOMPARE(changed.count(), 1);
    }

    // "name" or "name=description", one entry each.
    static QList<PortEntry> entries(const QStringList& lines)
    {
        QList<PortEntry> ports;
        for (const QString& line : lines) {
            const QString name = line.section('=', 0, 0);
            ports << PortEntry::node(name, "/dev/" + name, line.section('=', 1));
        }
        return ports;
    }

    void portListFollowsDevicesRowByRow_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("appeared");
        QTest::addColumn<int>("changedRows");
        QTest::newRow("plugged") << QStringList {"a", "b"} << QStringList {"a", "x", "b"} << QStringList {"x"} << 0;
        QTest::newRow("unplugged") << QStringList {"a", "b", "c"} << QStringList {"a", "c"} << QStringList {} << 0;
        QTest::newRow("swapped") << QStringList {"a", "b"} << QStringList {"c", "a"} << QStringList {"c"} << 0;
        QTest::newRow("reordered") << QStringList {"a", "b", "c"} << QStringList {"c", "a", "b"} << QStringList {}
                                   << 0;
        QTest::newRow("first") << QStringList {} << QStringList {"a", "b"} << QStringList {"a", "b"} << 0;
        QTest::newRow("all gone") << QStringList {"a"} << QStringList {} << QStringList {} << 0;
        QTest::newRow("details") << QStringList {"a", "b=old"} << QStringList {"a", "b=new"} << QStringList {}
                                 << 1;
    }

    void portListFollowsDevicesRowByRow()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QStringList, appeared);
        QFETCH(int, changedRows);
        PortListModel model;
        model.update(entries(before));
        QList<QPersistentModelIndex> kept;
        for (int row = 0; row < model.rowCount(); ++row)
            kept << QPersistentModelIndex(model.index(row));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        QCOMPARE(model.update(entries(after)), appeared);
        QCOMPARE(model.ports(), entries(after));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(changed.count(), changedRows);
        // A row that stays is the same row, wherever it went.
        for (int i = 0; i < kept.size(); ++i) {
            const QString name = before.at(i).section('=', 0, 0);
            QCOMPARE(kept.at(i).isValid(), model.find(name) != nullptr);
            if (kept.at(i).isValid())
                QCOMPARE(kept.at(i).data().toString(), name);
        }
    }

    void replugFindsTheSameDevice_data()
    {
        QTest::addColumn<QString>("serialNumber");
        QTest::addColumn<QStringList>("appeared");
        QTest::addColumn<QString>("found");
        // The kit was on ttyACM0 with serial number K1.
        QTest::newRow("same node") << "K1" << QStringList {"ttyACM0"} << "ttyACM0";
        QTest::newRow("other node, same serial") << "K1" << QStringList {"ttyUSB3", "ttyACM1"} << "ttyACM1";
        QTest::newRow("same node, other device first") << "K1" << QStringList {"ttyACM1", "ttyACM0"} << "ttyACM1";
        QTest::newRow("no serial: same node") << "" << QStringList {"ttyACM1", "ttyACM0"} << "ttyACM0";
        QTest::newRow("another device") << "K1" << QStringList {"ttyUSB3"} << "";
    }

    void replugFindsTheSameDevice()
    {
        QFETCH(QString, serialNumber);
        QFETCH(QStringList, appeared);
        QFETCH(QString, found);
        PortListModel model;
        model.update({PortEntry {"ttyACM0", "/dev/ttyACM0", "Kit", "", "K2", true, 1, 2},
            PortEntry {"ttyACM1", "/dev/ttyACM1", "Kit", "", "K1", true, 1, 2},
            PortEntry {"ttyUSB3", "/dev/ttyUSB3", "UART", "", "U9", true, 3, 4}});
        QCOMPARE(model.sameDevice("ttyACM0", serialNumber, appeared), found);
    }

    void portDetailsNameWhatIsKnown_data()
    {
        QTest::addColumn<PortEntry>("port");
        QTest::addColumn<QString>("details");
        QTest::newRow("USB adapter") << PortEntry {"ttyUSB0", "/dev/ttyUSB0", "USB UART", "Acme", "A1B2", true,
            0x0403, 0x6001} << "USB UART, Acme, 0403:6001, S/N A1B2";
        QTest::newRow("same description and maker")
            << PortEntry {"ttyACM0", "/dev/ttyACM0", "Kit", "Kit", "", true, 0x1d6b, 0x0104}
            << "Kit, 1d6b:0104";
        QTest::newRow("on-board UART") << PortEntry::node("ttyS0", "/dev/ttyS0") << "";
    }

    void portDetailsNameWhatIsKnown()
    {
        QFETCH(PortEntry, port);
        QFETCH(QString, details);
        QCOMPARE(port.details(), details);
    }
};

QTEST_GUILESS_MAIN(TestSerialPortManager)
#include "tst_serialportmanager.moc"
