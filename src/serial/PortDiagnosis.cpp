#include "PortDiagnosis.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <vector>

namespace PortDiagnosis {

namespace {

// A terminal line by its node: a character device whose driver, by its major
// number in /proc/devices, is a tty one ("ttyUSB", "ttyACM", "pts"...).
// Nothing is opened: opening a line would raise its DTR.
bool isSerialDevice(const QString& path)
{
    struct stat node {};
    if (::stat(QFile::encodeName(path).constData(), &node) != 0 || !S_ISCHR(node.st_mode))
        return false;
    QFile devices(QStringLiteral("/proc/devices"));
    if (!devices.open(QIODevice::ReadOnly))
        return true;
    const QString major = QString::number(major(node.st_rdev));
    // A major may have several names ("4 /dev/vc/0", "4 tty").
    bool characterDevices = false;
    bool known = false;
    for (const QByteArray& raw : devices.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.endsWith(QLatin1Char(':')))
            characterDevices = line == QLatin1String("Character devices:");
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!characterDevices || fields.size() != 2 || fields.at(0) != major)
            continue;
        known = true;
        const QString& driver = fields.at(1);
        if (driver.contains(QLatin1String("tty")) || driver == QLatin1String("pts")
            || driver.endsWith(QLatin1String("console")) || driver.endsWith(QLatin1String("ptmx")))
            return true;
    }
    return !known;
}

bool hasGroup(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? size_t(count) : 0);
    if (count > 0 && ::getgroups(count, groups.data()) == count) {
        for (gid_t group : groups) {
            if (group == gid)
                return true;
        }
    }
    return false;
}

// The groups of the user's account, which a new login would get.
bool accountHasGroup(gid_t gid)
{
    const passwd* user = ::getpwuid(::geteuid());
    if (!user)
        return false;
    std::vector<gid_t> groups(64);
    int count = int(groups.size());
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(size_t(count));
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    for (int i = 0; i < count; ++i) {
        if (groups[size_t(i)] == gid)
            return true;
    }
    return false;
}

QString programOf(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.read(64)).trimmed();
}

// Lock files hold the process id as text; a binary or unreadable one is left
// to the descriptor search.
qint64 pidOfLockFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const qint64 pid = file.read(64).trimmed().toLongLong(&ok);
    return ok && pid > 0 ? pid : 0;
}

} // namespace

bool findHolder(const QString& path, QString* program, qint64* pid, QString* lockFile)
{
    const QString device = QFileInfo(path).canonicalFilePath();
    if (device.isEmpty())
        return false;
    const qint64 self = QCoreApplication::applicationPid();

    QStringList names {QFileInfo(device).fileName()};
    if (QFileInfo(path).fileName() != names.constFirst())
        names << QFileInfo(path).fileName();
    for (const QString& dir : {QStringLiteral("/run/lock"), QStringLiteral("/var/lock")}) {
        for (const QString& name : std::as_const(names)) {
            const QString lock = dir + "/LCK.." + name;
            if (!QFileInfo::exists(lock))
                continue;
            *lockFile = lock;
            const qint64 owner = pidOfLockFile(lock);
            if (owner > 0 && owner != self && QFileInfo::exists(QStringLiteral("/proc/%1").arg(owner))) {
                *pid = owner;
                *program = programOf(owner);
                return true;
            }
        }
    }

    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : processes) {
        bool isPid = false;
        const qint64 candidate = entry.toLongLong(&isPid);
        if (!isPid || candidate == self)
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(candidate));
        const QStringList descriptors = fds.entryList(QDir::System | QDir::NoDotAndDotDot);
        for (const QString& fd : descriptors) {
            if (QFile::symLinkTarget(fds.filePath(fd)) == device) {
                *pid = candidate;
                *program = programOf(candidate);
                return true;
            }
        }
    }
    return false;
}

PortFacts inspect(const QString& path, const QSerialPort& port)
{
    PortFacts facts;
    facts.path = path;
    facts.error = port.error();
    facts.errorString = port.errorString();
    facts.exists = QFileInfo::exists(path);
    if (!facts.exists)
        return facts;
    // Any program may hold /dev/null: that is no answer to why it is no port.
    facts.serialDevice = isSerialDevice(path);
    if (!facts.serialDevice)
        return facts;

    facts.permitted = ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0 || errno != EACCES;
    struct stat node {};
    if (::stat(QFile::encodeName(path).constData(), &node) == 0) {
        if (const group* owner = ::getgrgid(node.st_gid))
            facts.group = QString::fromLocal8Bit(owner->gr_name);
        facts.processInGroup = hasGroup(node.st_gid);
        facts.accountInGroup = accountHasGroup(node.st_gid);
    }
    if (facts.permitted)
        findHolder(path, &facts.holder, &facts.holderPid, &facts.lockFile);

    const QString device = QFileInfo(path).canonicalFilePath();
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        if (info.systemLocation() == device && info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            facts.vendorId = QStringLiteral("%1").arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'));
            facts.productId = QStringLiteral("%1").arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        }
    }
    return facts;
}

namespace {

QString permissionDenied(const PortFacts& f)
{
    if (f.group.isEmpty() || f.processInGroup)
        return QStringLiteral("Permission denied: %1 does not let you read and write it.").arg(f.path);
    if (f.accountInGroup) {
        return QStringLiteral("Permission denied: %1 belongs to the group %2. You were added to it after "
                              "this session began: log out and in again.")
            .arg(f.path, f.group);
    }
    return QStringLiteral("Permission denied: %1 belongs to the group %2, and you are not in it. Fix: "
                          "sudo usermod -aG %2 $USER, then log out and in again.")
        .arg(f.path, f.group);
}

// Who holds the port, and how to keep a modem manager away from a kit.
QString heldElsewhere(const PortFacts& f)
{
    QString text;
    if (!f.holder.isEmpty()) {
        text = QStringLiteral("%1 is busy: %2 (process %3) holds it. Let go of it there, or stop that program, "
                              "then connect again.")
                   .arg(f.path, f.holder)
                   .arg(f.holderPid);
    } else if (!f.lockFile.isEmpty()) {
        text = QStringLiteral("%1 is locked by %2, whose program cannot be found. Remove that file if no "
                              "program uses the port.")
                   .arg(f.path, f.lockFile);
    } else {
        text = QStringLiteral("%1 is busy: another program holds it (it could not be found, it may run as "
                              "another user).")
                   .arg(f.path);
    }

    // A modem manager opens every new ttyACM device to probe it for a modem.
    const bool acm = QFileInfo(f.path).fileName().startsWith(QLatin1String("ttyACM"));
    if (acm && (f.holder.isEmpty() || f.holder.contains(QLatin1String("modem"), Qt::CaseInsensitive))) {
        text += QStringLiteral(" A modem manager probes new ttyACM devices when they are plugged in; to keep "
                               "it away from the kit, put the line ATTRS{idVendor}==\"%1\", "
                               "ATTRS{idProduct}==\"%2\", ENV{ID_MM_DEVICE_IGNORE}=\"1\" in "
                               "/etc/udev/rules.d/99-tav-kit.rules, run sudo udevadm control --reload and plug "
                               "the kit in again.")
                    .arg(f.vendorId.isEmpty() ? QStringLiteral("<vendor id>") : f.vendorId,
                        f.productId.isEmpty() ? QStringLiteral("<product id>") : f.productId);
    }
    return text;
}

} // namespace

QString explain(const PortFacts& f)
{
    if (!f.exists) {
        return QStringLiteral("%1 is not there (any more): the device may have been unplugged since the list "
                              "was read. The port list has been refreshed.")
            .arg(f.path);
    }

    if (!f.serialDevice) {
        return QStringLiteral("%1 is not a serial device: choose the port the kit is plugged in (see the port "
                              "list).")
            .arg(f.path);
    }

    if (!f.permitted)
        return permissionDenied(f);

    // The port reports a device held elsewhere, or its lock, as a permission
    // error, though the node itself may be opened.
    const bool busy = !f.holder.isEmpty() || !f.lockFile.isEmpty() || f.error == QSerialPort::PermissionError;
    if (!busy)
        return QStringLiteral("%1 could not be opened: %2.").arg(f.path, f.errorString);

    return heldElsewhere(f);
}

} // namespace PortDiagnosis
