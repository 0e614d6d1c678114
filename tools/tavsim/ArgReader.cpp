#include "ArgReader.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>

ArgReader::ArgReader(const QStringList& args)
    : m_args(args)
{
}

bool ArgReader::count(int min, int max)
{
    if (m_args.size() < min)
        fail(MISSING);
    else if (m_args.size() > max)
        fail(TOO_MANY);
    return !failed();
}

void ArgReader::fail(int code)
{
    if (m_code == FINE)
        m_code = code;
}

const QString* ArgReader::field(int i)
{
    if (i >= m_args.size() || m_args.at(i).trimmed().isEmpty()) {
        fail(MISSING);
        return nullptr;
    }
    return &m_args.at(i);
}

qint64 ArgReader::integer(int i, qint64 min, qint64 max)
{
    static const QRegularExpression decimal(QStringLiteral("^-?[0-9]{1,18}$"));
    const QString* f = field(i);
    if (!f)
        return min;
    const QString t = f->trimmed();
    if (!decimal.match(t).hasMatch()) {
        fail(FORMAT);
        return min;
    }
    const qint64 v = t.toLongLong();
    if (v < min || v > max) {
        fail(INCOMPATIBLE);
        return min;
    }
    return v;
}

double ArgReader::real(int i, double min, double max)
{
    const QString* f = field(i);
    if (!f)
        return min;
    bool ok = false;
    const double v = f->trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        fail(FORMAT);
        return min;
    }
    if (v < min || v > max) {
        fail(INCOMPATIBLE);
        return min;
    }
    return v;
}

bool ArgReader::flag(int i)
{
    return integer(i, 0, 1) == 1;
}

QString ArgReader::hex(int i, int minDigits, int maxDigits)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9a-fA-F]+$"));
    const QString* f = field(i);
    if (!f)
        return {};
    if (!digits.match(*f).hasMatch()) {
        fail(FORMAT);
        return {};
    }
    if (f->size() < minDigits || f->size() > maxDigits) {
        fail(INCOMPATIBLE);
        return {};
    }
    return f->toUpper();
}

QString ArgReader::message(int i, int maxBytes)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9a-fA-F]+$"));
    const QString* f = field(i);
    if (!f)
        return {};
    if (!digits.match(*f).hasMatch()) {
        fail(FORMAT);
        return {};
    }
    if (f->size() % 2 != 0 || f->size() / 2 > maxBytes) {
        fail(DATA_LENGTH);
        return {};
    }
    return f->toUpper();
}

uint ArgReader::attribute(int i)
{
    static const QRegularExpression form(QStringLiteral("^0[xX]([0-9a-fA-F]{1,2})$"));
    const QString* f = field(i);
    if (!f)
        return 0;
    const QRegularExpressionMatch m = form.match(*f);
    if (!m.hasMatch()) {
        fail(FORMAT);
        return 0;
    }
    return m.captured(1).toUInt(nullptr, 16);
}

QDateTime ArgReader::date(int i)
{
    const QString* f = field(i);
    if (!f)
        return {};
    const QDateTime d = SimFormat::parseDate(f->trimmed());
    if (!d.isValid())
        fail(FORMAT);
    return d;
}

QString ArgReader::text(int i)
{
    const QString* f = field(i);
    return f ? *f : QString();
}

namespace SimFormat {

QString real(double value, int decimals)
{
    QString t = QString::number(value, 'f', decimals);
    if (t.contains('.')) {
        while (t.endsWith('0'))
            t.chop(1);
        if (t.endsWith('.'))
            t.chop(1);
    }
    if (t == QLatin1String("-0"))
        t = QStringLiteral("0");
    return t;
}

QString date(const QDateTime& utc)
{
    return utc.toUTC().toString(QStringLiteral("yyyy-M-d'T'H:m:s'Z'"));
}

QDateTime parseDate(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(
        R"(^(\d{4})-(\d{1,2})-(\d{1,2})T(\d{1,2}):(\d{1,2}):(\d{1,2})(?:\.(\d{1,3}))?(Z|[+-]\d{2}:?\d{2})?$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return {};
    const QDate day(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(),
        m.captured(7).leftJustified(3, '0').toInt());
    if (!day.isValid() || !time.isValid())
        return {};
    QDateTime utc(day, time, QTimeZone::utc());
    const QString zone = m.captured(8);
    if (zone.size() > 1) {
        const QString digits = QString(zone).remove(':');
        const int minutes = digits.mid(1, 2).toInt() * 60 + digits.mid(3, 2).toInt();
        utc = utc.addSecs(qint64(zone.at(0) == '-' ? minutes : -minutes) * 60);
    }
    return utc;
}

} // namespace SimFormat
