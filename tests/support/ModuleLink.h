#pragma once

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QStringList>

// The host's side of the serial line, as a test uses it: a plain QSerialPort
// on the simulator's device, with blocking helpers that wait for lines.
class ModuleLink {
public:
    bool open(const QString& path, qint32 baud = 9600);
    void close();
    QSerialPort& port() { return m_port; }

    // Writes one request; CR LF is appended when the text has no terminator.
    bool write(const QByteArray& request);
    // The next line without its CR LF, or a null text after the timeout.
    QString readLine(int timeoutMs = 3000);
    // Writes the request and reads its answer: one line, or for a list
    // (+AOP, +SAT, +TXFIFO) every line up to its end marker.
    QStringList request(const QByteArray& line, int timeoutMs = 3000);
    // Exactly n bytes, or fewer after the timeout.
    QByteArray readBytes(qsizetype n, int timeoutMs = 3000);
    // True when nothing at all arrives for that long.
    bool staysQuiet(int ms);
    // Reads and drops whatever arrives until the line has been quiet for quietMs.
    QByteArray drain(int quietMs = 200, int timeoutMs = 5000);

private:
    bool fill(int timeoutMs);

    QSerialPort m_port;
    QByteArray m_buffer;
};
