#include "CircularOrbit.h"

#include "SatelliteAop.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double DEG = M_PI / 180.0;

double dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Degrees above the plane whose normal is `up`; rounding can take the sine
// just past 1 straight overhead.
double elevationOf(const Vector3& range, const Vector3& up)
{
    return std::asin(std::clamp(dot(range, up) / std::sqrt(dot(range, range)), -1.0, 1.0)) / DEG;
}

} // namespace

CircularOrbit::CircularOrbit(const QDateTime& epoch, double semiMajorAxisKm, double inclinationDeg,
    double nodeLongitudeDeg, double nodeDriftDegPerRev, double periodMin, double semiMajorAxisDriftMPerDay)
    : m_epoch(epoch.toUTC())
    , m_radius(semiMajorAxisKm)
    , m_cosInclination(std::cos(inclinationDeg * DEG))
    , m_sinInclination(std::sin(inclinationDeg * DEG))
    , m_node(nodeLongitudeDeg * DEG)
    , m_periodS(periodMin * 60.0)
    , m_radiusRate(semiMajorAxisDriftMPerDay / 1000.0 / 86400.0)
{
    m_epochMs = m_epoch.isValid() ? m_epoch.toMSecsSinceEpoch() : 0;
    // The drift is Earth's turn under the plane during one revolution: a rate in time.
    m_nodeRate = m_periodS > 0 ? nodeDriftDegPerRev * DEG / m_periodS : 0;
}

CircularOrbit::CircularOrbit(const SatelliteAop& record)
    : CircularOrbit(record.bulletinEpoch(), record.semiMajorAxis(), record.inclination(),
        record.ascNodeLongitude(), record.ascNodeDrift(), record.orbitalPeriod(), record.semiMajorAxisDrift())
{
}

bool CircularOrbit::isValid() const
{
    return m_epoch.isValid() && fault().isEmpty();
}

QString CircularOrbit::fault() const
{
    // Real bulletins stay within a fraction of a percent of Kepler's period.
    constexpr double PERIOD_TOLERANCE = 0.1;
    if (!std::isfinite(m_periodS) || !std::isfinite(m_radius) || !std::isfinite(m_node)
        || !std::isfinite(m_nodeRate) || !std::isfinite(m_radiusRate) || !std::isfinite(m_cosInclination)
        || !std::isfinite(m_sinInclination))
        return QStringLiteral("a value is not a finite number");
    if (m_radius <= EARTH_RADIUS_KM)
        return QStringLiteral("a semi-major axis of %1 km lies inside the Earth").arg(m_radius);
    const double kepler = 2.0 * M_PI * std::sqrt(m_radius / EARTH_MU_KM3_S2 * m_radius * m_radius);
    if (!(std::abs(m_periodS / kepler - 1.0) <= PERIOD_TOLERANCE))
        return QStringLiteral("a period of %1 min does not fit a semi-major axis of %2 km (about %3 min)")
            .arg(m_periodS / 60.0)
            .arg(m_radius)
            .arg(kepler / 60.0, 0, 'f', 1);
    if (std::abs(m_nodeRate) > 2.0 * EARTH_TURN_RAD_S)
        return QStringLiteral("a node drift of %1 deg a revolution is more than twice the Earth's turn")
            .arg(m_nodeRate * m_periodS / DEG);
    return {};
}

Vector3 CircularOrbit::position(double seconds) const
{
    // Kepler's third law: the period goes with the radius to the power 3/2;
    // the revolutions are the integral of 1/T over time (first terms of the
    // series, the change of radius being tiny).
    const double k = m_radiusRate / m_radius * seconds;
    const double revolutions = seconds / m_periodS * (1.0 - 0.75 * k + 0.625 * k * k);
    const double u = 2.0 * M_PI * (revolutions - std::floor(revolutions));
    const double node = m_node + m_nodeRate * seconds;
    const double radius = m_radius + m_radiusRate * seconds;
    const double cu = std::cos(u);
    const double su = std::sin(u);
    const double cn = std::cos(node);
    const double sn = std::sin(node);
    // In the plane: x towards the node, then tilted by the inclination, then
    // turned to the node's Earth-fixed longitude.
    const double px = cu;
    const double py = su * m_cosInclination;
    return {radius * (cn * px - sn * py), radius * (sn * px + cn * py), radius * su * m_sinInclination};
}

GroundObserver::GroundObserver(double latitudeDeg, double longitudeDeg)
{
    const double cl = std::cos(latitudeDeg * DEG);
    const double sl = std::sin(latitudeDeg * DEG);
    const double co = std::cos(longitudeDeg * DEG);
    const double so = std::sin(longitudeDeg * DEG);
    m_up = {cl * co, cl * so, sl};
    m_position = {CircularOrbit::EARTH_RADIUS_KM * m_up.x, CircularOrbit::EARTH_RADIUS_KM * m_up.y,
        CircularOrbit::EARTH_RADIUS_KM * m_up.z};
    m_east = {-so, co, 0};
    m_north = {-sl * co, -sl * so, cl};
}

double GroundObserver::elevation(const Vector3& satellite) const
{
    const Vector3 range {satellite.x - m_position.x, satellite.y - m_position.y, satellite.z - m_position.z};
    return elevationOf(range, m_up);
}

GroundObserver::Look GroundObserver::look(const Vector3& satellite) const
{
    const Vector3 range {satellite.x - m_position.x, satellite.y - m_position.y, satellite.z - m_position.z};
    const double elevation = elevationOf(range, m_up);
    double azimuth = std::atan2(dot(range, m_east), dot(range, m_north)) / DEG;
    if (azimuth < 0)
        azimuth += 360.0;
    if (azimuth >= 360.0)
        azimuth -= 360.0;
    return {elevation, azimuth};
}
