#pragma once

#include <QSerialPort>
#include <QString>

// Why a serial port would not open, and what the user can do about it: the
// facts are read from the system once the open has failed, and turned into
// a text apart from that, so that each case can be told without the device.
struct PortFacts {
    QString path; // the device node
    bool exists = true;
    // A terminal line; /dev/null or a regular file is none.
    bool serialDevice = true;
    // This process may read and write the node.
    bool permitted = true;
    QString group; // the group that owns the node
    // The process holds that group; the user's account does (it may have
    // been added since the session started).
    bool processInGroup = false;
    bool accountInGroup = false;
    // The program that holds the device, when it can be found.
    QString holder;
    qint64 holderPid = 0;
    QString lockFile; // a lock file naming the device, if any
    // What the port itself reported.
    QSerialPort::SerialPortError error = QSerialPort::NoError;
    QString errorString;
    // USB identifiers, "" when not known.
    QString vendorId;
    QString productId;
};

namespace PortDiagnosis {

// The facts of `path` (a device path) after `port` failed to open it.
PortFacts inspect(const QString& path, const QSerialPort& port);

// The text for the user; one paragraph, no line break.
QString explain(const PortFacts& facts);

// The program holding `path` open, from its lock file or the descriptors of
// the processes this user may see; false when none is found.
bool findHolder(const QString& path, QString* program, qint64* pid, QString* lockFile);

} // namespace PortDiagnosis
