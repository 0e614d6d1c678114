#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Reads the comma-separated arguments of a set command the way the module's
// firmware checks them. The first problem met wins and gives the +ERROR code:
// an empty field is a missing parameter, text that is not of the expected form
// is a format error, a value out of range is incompatible.
class ArgReader {
public:
    enum Code : int {
        FINE = 0,
        FORMAT = 2,
        MISSING = 3,
        TOO_MANY = 4,
        INCOMPATIBLE = 5,
        DATA_LENGTH = 20,
    };

    explicit ArgReader(const QStringList& args);

    // Checks the argument count; false (and a code) when outside [min, max].
    bool count(int min, int max);
    int size() const { return int(m_args.size()); }
    bool has(int i) const { return i < m_args.size(); }

    qint64 integer(int i, qint64 min, qint64 max);
    double real(int i, double min, double max);
    bool flag(int i);
    // Hexadecimal text of minDigits to maxDigits digits, returned upper-cased.
    QString hex(int i, int minDigits, int maxDigits);
    // A transmitted message: hexadecimal, whole bytes, at most maxBytes.
    QString message(int i, int maxBytes);
    // "0x" followed by hexadecimal digits, as the host writes message attributes.
    uint attribute(int i);
    QDateTime date(int i);
    QString text(int i);

    bool failed() const { return m_code != FINE; }
    int code() const { return m_code; }

private:
    const QString* field(int i);
    void fail(int code);

    QStringList m_args;
    int m_code = FINE;
};

namespace SimFormat {

// Fixed-point text with at most `decimals` decimals and no trailing zeros
// (the module never prints exponents).
QString real(double value, int decimals);
// yyyy-M-dTH:m:sZ, without leading zeros, in UTC.
QString date(const QDateTime& utc);
// Accepts the ISO forms the host writes (with or without milliseconds, with Z
// or an offset, or no zone meaning UTC) and the module's own short form.
QDateTime parseDate(const QString& text);

} // namespace SimFormat
