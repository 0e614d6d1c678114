#include "Prepass.h"

Prepass::Prepass(
    const QString& satellite, const QDateTime& start, const QTime& duration, double elevation, bool active)
    : m_satellite(satellite)
    , m_start(start)
    , m_duration(duration)
    , m_elevation(elevation)
    , m_active(active)
{
}

QDateTime Prepass::end() const
{
    if (m_end.isValid())
        return m_end;
    return m_start.isValid() ? m_start.addMSecs(durationMs()) : QDateTime();
}

qint64 Prepass::durationMs() const
{
    return m_duration.isValid() ? m_duration.msecsSinceStartOfDay() : 0;
}

void Prepass::setAzimuths(double start, double middle, double end)
{
    m_startAzimuth = start;
    m_middleAzimuth = middle;
    m_endAzimuth = end;
}

bool Prepass::operator==(const Prepass& other) const
{
    return m_satellite == other.m_satellite && m_start == other.m_start && m_middle == other.m_middle
        && m_end == other.m_end && m_duration == other.m_duration && m_elevation == other.m_elevation
        && m_startAzimuth == other.m_startAzimuth && m_middleAzimuth == other.m_middleAzimuth
        && m_endAzimuth == other.m_endAzimuth && m_active == other.m_active;
}
