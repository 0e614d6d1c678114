#include "CircularOrbit.h"

#include "SatelliteAop.h"

#include <cmath>

namespace {

constexpr double DEG = M_PI / 180.0;

double dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
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
    return m_epoch.isValid() && std::isfinite(m_periodS) && m_periodS > 0 && std::isfinite(m_radius)
        && m_radius > EARTH_RADIUS_KM && std::isfinite(m_node) && std::isfinite(m_nodeRate)
        && std::isfinite(m_radiusRate) && std::isfinite(m_cosInclination);
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
    return std::asin(dot(range, m_up) / std::sqrt(dot(range, range))) / DEG;
}

GroundObserver::Look GroundObserver::look(const Vector3& satellite) const
{
    const Vector3 range {satellite.x - m_position.x, satellite.y - m_position.y, satellite.z - m_position.z};
    const double elevation = std::asin(dot(range, m_up) / std::sqrt(dot(range, range))) / DEG;
    double azimuth = std::atan2(dot(range, m_east), dot(range, m_north)) / DEG;
    if (azimuth < 0)
        azimuth += 360.0;
    if (azimuth >= 360.0)
        azimuth -= 360.0;
    return {elevation, azimuth};
}
