#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// The module's end of the serial line: the master side of a pseudo-terminal
// whose slave device the host opens as its serial port. Incoming bytes are cut
// into request lines (CR, LF or both end a line, so terminal programs that send
// only CR work too); outgoing bytes can be paced at a baud rate.
//
// Bytes sent while no program holds the device open are lost, as on a cable
// that nobody listens to; they never reach the next program that opens it.
class PtyPort : public QObject {
    Q_OBJECT

public:
    // Longest request the module buffers; a longer one is dropped whole.
    static constexpr int MAX_REQUEST = 1024;

    explicit PtyPort(QObject* parent = nullptr);
    ~PtyPort() override;

    bool open(QString* error);
    bool isOpen() const { return m_master >= 0; }
    QString devicePath() const { return m_devicePath; }

    // Points a symbolic link at the device, replacing an older link (never a file).
    bool setLink(const QString& linkPath, QString* error);
    void removeLink();

    // 0 sends at once; otherwise 10 bits per byte at that rate.
    void setBaudRate(int baud) { m_baud = baud; }
    void write(const QByteArray& bytes);

    bool clientAttached() const;
    // Closes the master: the device vanishes and the host's reads fail.
    void hangUp();

signals:
    // One request line without its terminator; `tooLong` when it overflowed.
    void lineReceived(const QString& line, bool tooLong);
    // A program opened the device.
    void attached();

private:
    void onReadable();
    void onAttachPoll();
    void detach();
    void pump();
    void takeBytes(const char* data, qsizetype size);

    int m_master = -1;
    QString m_devicePath;
    QString m_linkPath;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_attachPoll;
    QByteArray m_inLine;
    bool m_overflow = false;

    int m_baud = 0;
    QByteArray m_out;
    QTimer m_pump;
    QElapsedTimer m_burst;
    qint64 m_burstSent = 0;
};
