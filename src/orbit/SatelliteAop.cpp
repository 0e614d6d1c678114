#include "SatelliteAop.h"

#include <array>

const QString SatelliteAop::TEXT_ON = QStringLiteral("ON");
const QString SatelliteAop::TEXT_OFF = QStringLiteral("OFF");

namespace {

const std::array<const char*, 4> downlinkTexts = {
    "Downlink transmitter OFF",
    "ARGOS-4 TX ON",
    "Spare, N/A",
    "ARGOS-3 TX ON",
};

const std::array<const char*, 4> uplinkTexts = {
    "ARGOS-3 payload",
    "ARGOS-Angel payload",
    "ARGOS-4 payload",
    "OUT OF SERVICE",
};

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

QString SatelliteAop::downlinkStatusText(DownlinkStatus status)
{
    const auto index = static_cast<size_t>(status);
    return index < downlinkTexts.size() ? QString::fromUtf8(downlinkTexts[index]) : QString();
}

QString SatelliteAop::uplinkStatusText(UplinkStatus status)
{
    const auto index = static_cast<size_t>(status);
    return index < uplinkTexts.size() ? QString::fromUtf8(uplinkTexts[index]) : QString();
}

SatelliteAop::DownlinkStatus SatelliteAop::downlinkStatusFromText(const QString& text)
{
    for (size_t i = 0; i < downlinkTexts.size(); ++i) {
        if (text == QLatin1String(downlinkTexts[i]))
            return static_cast<DownlinkStatus>(i);
    }
    return DNLK_OFF;
}

SatelliteAop::UplinkStatus SatelliteAop::uplinkStatusFromText(const QString& text)
{
    for (size_t i = 0; i < uplinkTexts.size(); ++i) {
        if (text == QLatin1String(uplinkTexts[i]))
            return static_cast<UplinkStatus>(i);
    }
    return UPLK_ARGOS_3_ON;
}

SatelliteAop::DownlinkStatus SatelliteAop::downlinkStatusFromCode(uint code)
{
    return code < DNLK_NA ? static_cast<DownlinkStatus>(code) : DNLK_NA;
}

SatelliteAop::UplinkStatus SatelliteAop::uplinkStatusFromCode(uint code)
{
    return code < UPLK_NA ? static_cast<UplinkStatus>(code) : UPLK_NA;
}

SatelliteAop::SatelliteAop(QObject* parent, const QString& satelliteName, QChar allcastId,
    DownlinkStatus downlinkStatus, UplinkStatus uplinkStatus)
    : QObject(parent)
    , m_satelliteName(satelliteName)
    , m_allcastId(allcastId)
    , m_downlinkStatus(downlinkStatus)
    , m_uplinkStatus(uplinkStatus)
{
}

void SatelliteAop::setBcastStatus(DownlinkStatus downlink, UplinkStatus uplink)
{
    m_downlinkStatus = downlink;
    m_uplinkStatus = uplink;
}

void SatelliteAop::setAopParams(const QDateTime& epoch, double semiMajorAxis, double inclination,
    double ascNodeLongitude, double ascNodeDrift, double orbitalPeriod, double semiMajorAxisDrift)
{
    m_bulletinEpoch = epoch;
    m_semiMajorAxis = semiMajorAxis;
    m_inclination = inclination;
    m_ascNodeLongitude = ascNodeLongitude;
    m_ascNodeDrift = ascNodeDrift;
    m_orbitalPeriod = orbitalPeriod;
    m_semiMajorAxisDrift = semiMajorAxisDrift;
}

QString SatelliteAop::downlinkStatus() const
{
    if (m_downlinkStatus == DNLK_OFF)
        return TEXT_OFF;
    return downlinkStatusText(m_downlinkStatus).remove(QStringLiteral("TX ON"));
}

QString SatelliteAop::uplinkStatus() const
{
    if (m_uplinkStatus == UPLK_OUT_OF_SERVICE)
        return TEXT_OFF;
    return uplinkStatusText(m_uplinkStatus).remove(QStringLiteral("payload"));
}

QStringList SatelliteAop::getAopParams() const
{
    return {
        QString(m_allcastId),
        m_bulletinEpoch.toString(Qt::ISODate),
        number(m_semiMajorAxis),
        number(m_inclination),
        number(m_ascNodeLongitude),
        number(m_ascNodeDrift),
        number(m_orbitalPeriod),
        number(m_semiMajorAxisDrift),
    };
}

QStringList SatelliteAop::getSatelliteParams() const
{
    return {
        QString(m_allcastId),
        QString::number(static_cast<int>(m_downlinkStatus)),
        QString::number(static_cast<int>(m_uplinkStatus)),
    };
}

QString SatelliteAop::aopData() const
{
    const auto line = [](const char* label, const QString& value, const QString& ending) {
        return QStringLiteral("<b>") + QLatin1String(label) + QStringLiteral(":</b> ") + value + ending;
    };
    const QString br = QStringLiteral("<br>");
    return line("allcastIdent", QString(m_allcastId), br)
        + line("date", m_bulletinEpoch.toString(Qt::TextDate), br)
        + line("semiMajorAxis", number(m_semiMajorAxis), QStringLiteral(" km<br>"))
        + line("semiMajorAxisDrift", number(m_semiMajorAxisDrift), QStringLiteral(" meter/day<br>"))
        + line("inclination", number(m_inclination), QString::fromUtf8("°<br>"))
        + line("ascendantNodeLongitude", number(m_ascNodeLongitude), QString::fromUtf8(" °<br>"))
        + line("ascendantNodeDrift", number(m_ascNodeDrift), QString::fromUtf8("°<br>"))
        + line("orbitalPeriod", number(m_orbitalPeriod), QStringLiteral(" min"));
}
