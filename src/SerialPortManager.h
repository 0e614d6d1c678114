#pragma once

#include "TavBoard.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <QStringListModel>

// The serial line to the board: lists the ports, opens and configures the
// chosen one, writes requests, cuts what arrives into lines and turns port
// failures into texts for the user.
class SerialPortManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringListModel* portListModel READ portListModel CONSTANT)

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

    explicit SerialPortManager(QObject* parent = nullptr);

    Q_INVOKABLE void enumerate();

    void configure(const TavBoard::PortSettings& settings);

    // A port name from the list, or a full device path.
    bool open(const QString& portName);
    void close();
    bool isOpen() const;
    void write(const QByteArray& data);

    QStringListModel* portListModel() const { return m_portListModel; }

    // Bytes of the line still waiting for its LF.
    qsizetype bufferedByteCount() const { return m_partialLine.size(); }
    // Complete lines not handed out yet.
    qsizetype queuedLineCount() const { return m_completeLines.size(); }

signals:
    void portListModelChanged();
    void doneReading(QString data);
    void serialError(QString error);

private slots:
    void onDataRead();
    void onSerialPortError(QSerialPort::SerialPortError error);

private:
    void readPort();
    void splitIntoLines(const QByteArray& bytes);
    void scheduleDelivery();
    void deliverLines();

    QSerialPort* m_serialPort;
    QStringListModel* m_portListModel;
    QByteArray m_partialLine;
    bool m_discardingLine;
    bool m_deliveryScheduled;
    QList<QString> m_completeLines;
};
