#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The satellites the module knows: the orbit parameters (AOP) uploaded to it
// and, on the Argos kits, each satellite's downlink and uplink status. Also
// the module's own pass prediction, which picks the satellites in turn.
class Constellation {
public:
    struct Satellite {
        QString id; // hexadecimal allcast identifier, upper case
        QDateTime bulletin;
        double semiMajorAxis = 0; // km
        double inclination = 0; // degrees
        double nodeLongitude = 0; // degrees
        double nodeDrift = 0; // degrees per orbit
        double period = 0; // minutes
        double semiMajorAxisDrift = 0; // meter/day
        int downlink = 3; // 0 off, 1 Argos-4, 2 spare, 3 Argos-3
        int uplink = 0; // 0 Argos-3, 1 Angels, 2 Argos-4, 3 out of service
    };

    struct Pass {
        QString satellite;
        QDateTime start;
        QDateTime end;
        double durationS = 0;
        int maxElevation = 0;
    };

    static constexpr int OUT_OF_SERVICE = 3;

    // The constellation as shipped, with bulletins of the day before `utcNow`.
    static Constellation factory(const QDateTime& utcNow);

    const QList<Satellite>& satellites() const { return m_satellites; }

    // Adds the satellite or replaces the orbit parameters of a known one.
    void upsert(const Satellite& orbit);
    // False when no AOP was ever given for that satellite.
    bool setStatus(const QString& id, int downlink, int uplink);

    // One AOP line per satellite then the end marker; the out-of-service ones
    // carry ",blacklisted" when the module tracks the status.
    QStringList aopLines(bool withStatus) const;
    QStringList satLines() const;

    // The next pass in the future of `now` (module clock): the pass already
    // predicted while it has not ended, else a new one starting inS seconds
    // ahead on the next usable satellite. With `needDownlink` only satellites
    // whose downlink transmitter is on qualify. Empty when none qualifies.
    std::optional<Pass> nextPass(const QDateTime& now, bool needDownlink, double inS, double durationS);
    std::optional<Pass> predictedPass() const { return m_predicted; }
    void forgetPrediction() { m_predicted.reset(); }

private:
    QList<Satellite> m_satellites;
    std::optional<Pass> m_predicted;
    bool m_predictedForDownlink = false;
    int m_turn = 0;
};
