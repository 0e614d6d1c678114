#pragma once

#include "CircularOrbit.h"
#include "Prepass.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class SatelliteAop;
class SatelliteAopModel;

// What to predict: where, when, and which passes count.
struct PassQuery {
    double latitude = 0; // degrees
    double longitude = 0; // degrees
    QDateTime start; // UTC
    qint64 lengthSeconds = 24 * 3600;
    double minElevation = 5.0; // degrees
    double minDurationMinutes = 0;
    // Satellites whose uplink is out of service are left out unless asked for.
    bool includeOutOfService = false;
    // The work a satellite may take, in elevations computed per scan step of
    // the window: sane orbit data take 1.1 to 1.5 (see bench/README.md).
    double budgetPerScanStep = 8;
};

struct PassPrediction {
    QList<Prepass> passes; // sorted by start
    QStringList warnings; // stale or missing orbit data, one satellite a line
    // Satellites whose orbit data give no prediction, one a line with the reason.
    QStringList refusals;
};

// What the predictor needs of a satellite's orbit data, as values that a
// worker thread may read while the window replaces the records.
struct OrbitRecord {
    QString name; // PassPredictor::displayName
    bool outOfService = false;
    QDateTime epoch; // invalid: no orbit data
    CircularOrbit orbit;
};

// One point of a pass's track in the sky.
struct SkyPoint {
    qint64 timeMs; // UTC ms since 1970
    double azimuth;
    double elevation;
};

// A satellite's elevation over the observer at one time.
struct SatelliteElevation {
    QString satellite;
    double elevation; // degrees, to a tenth
};

// Predicts the passes of the satellites over an observer from their orbit
// data. Every pass that overlaps the window is given whole: start (AOS), time
// of highest elevation and end (LOS) at the minimum elevation, to the second,
// elevations and azimuths to a tenth of a degree.
class PassPredictor {
public:
    static constexpr int MAX_WINDOW_DAYS = 30;
    static constexpr int STALE_AFTER_DAYS = 14;
    // Coarse scan; passes shorter than this are found from the scan's local maxima.
    static constexpr double SCAN_STEP_S = 60.0;

    explicit PassPredictor(const PassQuery& query);

    PassPrediction predict(const SatelliteAopModel& model) const;
    PassPrediction predict(const QList<OrbitRecord>& records) const;
    static QList<OrbitRecord> records(const SatelliteAopModel& model);
    // No pass, and the reason in `refusal`, when the orbit is not one to
    // predict from or its prediction runs over the budget.
    QList<Prepass> passes(const CircularOrbit& orbit, const QString& satellite, QString* refusal = nullptr) const;
    // Empty when the record's orbit data are fresh for the window.
    QString stalenessWarning(const SatelliteAop& record) const;
    QString stalenessWarning(const QString& name, const QDateTime& epoch) const;

    // The satellites at or above the query's minimum elevation at `time`,
    // highest first; those out of service only when the query includes them.
    QList<SatelliteElevation> inView(const QList<OrbitRecord>& records, const QDateTime& time) const;

    // The sky track between two times, every `stepS` seconds, ends included.
    static QList<SkyPoint> track(const CircularOrbit& orbit, double latitude, double longitude,
        const QDateTime& from, const QDateTime& to, double stepS = 10.0);
    // The name a pass carries: the document's, else the one-letter identifier.
    static QString displayName(const SatelliteAop& record);

private:
    PassQuery m_query;
    GroundObserver m_observer;
};
