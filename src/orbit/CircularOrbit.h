#pragma once

#include <QDateTime>
#include <QString>

class SatelliteAop;

struct Vector3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

// A near-circular orbit as the orbit-data bulletin describes it: the bulletin
// date is an ascending-node crossing, the period the nodal period, and the
// node's Earth-fixed longitude moves by the given drift every revolution
// (Earth's rotation and the plane's precession together), continuously
// within a revolution. Positions are Earth-fixed, in km, on a spherical Earth.
class CircularOrbit {
public:
    static constexpr double EARTH_RADIUS_KM = 6378.137;
    static constexpr double EARTH_MU_KM3_S2 = 398600.4418;
    static constexpr double EARTH_TURN_RAD_S = 7.2921159e-5;

    CircularOrbit(const QDateTime& epoch, double semiMajorAxisKm, double inclinationDeg,
        double nodeLongitudeDeg, double nodeDriftDegPerRev, double periodMin,
        double semiMajorAxisDriftMPerDay = 0);
    explicit CircularOrbit(const SatelliteAop& record);

    // False when there is no date or fault() names a problem.
    bool isValid() const;
    // Why the elements describe no orbit this model can follow (a radius
    // inside the Earth, a period that does not fit the radius, a node
    // turning faster than twice the Earth), empty when they do. Such values
    // would give passes that mean nothing, or many thousands of them.
    QString fault() const;
    double radiusKm() const { return m_radius; }
    // How far the radius moves, in km, `seconds` away from the bulletin date.
    double radiusChange(double seconds) const { return m_radiusRate * seconds; }
    QDateTime epoch() const { return m_epoch; }
    qint64 epochMs() const { return m_epochMs; }
    double periodSeconds() const { return m_periodS; }

    // Earth-fixed position `seconds` after the bulletin date.
    Vector3 position(double seconds) const;

private:
    QDateTime m_epoch;
    qint64 m_epochMs = 0;
    double m_radius;
    double m_cosInclination;
    double m_sinInclination;
    double m_node; // rad
    double m_nodeRate; // rad/s
    double m_periodS;
    double m_radiusRate; // km/s; a shrinking orbit also turns faster
};

// A site on the spherical Earth and its view of the sky.
class GroundObserver {
public:
    GroundObserver(double latitudeDeg, double longitudeDeg);

    struct Look {
        double elevation; // degrees above the horizon
        double azimuth; // degrees clockwise from north, [0, 360)
    };
    Look look(const Vector3& satellite) const;
    double elevation(const Vector3& satellite) const;

private:
    Vector3 m_position;
    Vector3 m_up;
    Vector3 m_east;
    Vector3 m_north;
};
