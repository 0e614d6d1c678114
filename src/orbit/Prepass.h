#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

// One satellite pass over the beacon: imported from the pass-prediction
// portal's CSV, or computed by the module (next pass). Times are UTC.
class Prepass {
public:
    Prepass() = default;
    Prepass(const QString& satellite, const QDateTime& start, const QTime& duration, double elevation,
        bool active = false);

    QString satellite() const { return m_satellite; }
    QDateTime start() const { return m_start; }
    // Time of highest elevation; invalid when the source did not give it.
    QDateTime middle() const { return m_middle; }
    // The given end, or start plus duration.
    QDateTime end() const;
    QTime duration() const { return m_duration; }
    // The duration in ms; an invalid duration counts as 0.
    qint64 durationMs() const;
    double elevation() const { return m_elevation; }
    double startAzimuth() const { return m_startAzimuth; }
    double middleAzimuth() const { return m_middleAzimuth; }
    double endAzimuth() const { return m_endAzimuth; }
    bool active() const { return m_active; }

    void setMiddle(const QDateTime& middle) { m_middle = middle; }
    void setEnd(const QDateTime& end) { m_end = end; }
    void setAzimuths(double start, double middle, double end);
    void setActive(bool active) { m_active = active; }

    bool operator==(const Prepass& other) const;

private:
    QString m_satellite;
    QDateTime m_start;
    QDateTime m_middle;
    QDateTime m_end;
    QTime m_duration;
    double m_elevation = 0;
    double m_startAzimuth = 0;
    double m_middleAzimuth = 0;
    double m_endAzimuth = 0;
    bool m_active = false;
};
