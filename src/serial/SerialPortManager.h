#pragma once

#include "PortListModel.h"
#include "PortSettings.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>

class QTimer;

// The serial line to the board: lists the ports, opens and configures the
// chosen one, writes requests, cuts what arrives into lines and turns port
// failures into texts for the user.
class SerialPortManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(PortListModel* portListModel READ portListModel CONSTANT)
    // While set, the list follows the devices as they come and go.
    Q_PROPERTY(bool watching READ watching WRITE setWatching NOTIFY watchingChanged)
    // Why the last port that would not open did not, and what to do about
    // it; "" once a port opens.
    Q_PROPERTY(QString openDiagnosis READ openDiagnosis NOTIFY openDiagnosisChanged)
    // Ports of their own name are listed (the demo's simulated modules).
    Q_PROPERTY(bool listsNamedPorts READ listsNamedPorts NOTIFY portListModelChanged)

public:
    // Longest line kept, LF excluded. Anything longer is noise (or the wrong
    // baud rate) and is dropped up to the next LF.
    static constexpr qsizetype MAX_LINE_LENGTH = 4096;

    // Lines handed out before the event loop runs again, so that a module
    // flooding the line cannot freeze the window; and the most lines kept
    // waiting: beyond them the port is not read, and the device waits.
    static constexpr int MAX_LINES_PER_DELIVERY = 50;
    static constexpr int MAX_QUEUED_LINES = 1000;

    // Device paths listed after the system's ports, colon-separated: pseudo
    // terminals and other nodes the port enumeration does not report.
    static constexpr const char* EXTRA_PORTS_ENV = "TAV_EXTRA_PORTS";

    // How often the list is read again while watching.
    static constexpr int WATCH_INTERVAL_MS = 1000;

    explicit SerialPortManager(QObject* parent = nullptr);

    Q_INVOKABLE void enumerate();

    // Ports listed before all others under a name of their own (such as
    // simulated modules); open() takes that name for the port's path.
    void setNamedPorts(const QList<PortEntry>& ports);
    bool listsNamedPorts() const { return !m_namedPorts.isEmpty(); }

    bool watching() const;
    void setWatching(bool on);
    QString openDiagnosis() const { return m_openDiagnosis; }
    // The last open() found the port closed and could not open it.
    bool openFailed() const { return m_openFailed; }

    void configure(const PortSettings& settings);

    // A port name from the list, or a full device path.
    bool open(const QString& portName);
    void close();
    bool isOpen() const;
    void write(const QByteArray& data);

    PortListModel* portListModel() const { return m_portListModel; }

    // Bytes of the line still waiting for its LF.
    qsizetype bufferedByteCount() const { return m_partialLine.size(); }
    // Complete lines not handed out yet.
    qsizetype queuedLineCount() const { return m_completeLines.size(); }

signals:
    void portListModelChanged();
    // Ports that were not listed before, found while watching.
    void portsAppeared(const QStringList& names);
    void watchingChanged();
    void openDiagnosisChanged();
    void doneReading(QString data);
    void serialError(QString error);

private slots:
    void onDataRead();
    void onSerialPortError(QSerialPort::SerialPortError error);

private:
    QList<PortEntry> listPorts() const;
    void poll();
    void setOpenDiagnosis(const QString& text);
    void readPort();
    void splitIntoLines(const QByteArray& bytes);
    void scheduleDelivery();
    void deliverLines();

    QSerialPort* m_serialPort;
    PortListModel* m_portListModel;
    QList<PortEntry> m_namedPorts;
    QTimer* m_watchTimer;
    QString m_openDiagnosis;
    bool m_openFailed = false;
    QByteArray m_partialLine;
    bool m_discardingLine;
    bool m_deliveryScheduled;
    QList<QString> m_completeLines;
};
