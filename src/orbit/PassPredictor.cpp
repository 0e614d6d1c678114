#include "PassPredictor.h"

#include "SatelliteAopModel.h"

#include <QTime>

#include <algorithm>
#include <cmath>

namespace {

constexpr double TIME_TOLERANCE_S = 0.05;
// How far below the mask a scan's local maximum may lie and still hide a
// pass between two samples: near its top a low pass changes by far less
// than this within one scan step.
constexpr double GRAZING_MARGIN_DEG = 15.0;

double roundTenth(double value)
{
    return std::round(value * 10.0) / 10.0;
}

// A semi-major axis drift may move the orbit by this share of its radius
// between the bulletin date and the window; beyond, the orbit is another one.
constexpr double RADIUS_CHANGE_LIMIT = 0.01;

// Elevation above the mask, in seconds after the bulletin date. Each call
// spends one unit of the budget; once spent, the searches stop where they are.
struct Elevation {
    const CircularOrbit& orbit;
    const GroundObserver& observer;
    double mask;
    mutable qint64 budget;
    double operator()(double t) const
    {
        --budget;
        return observer.elevation(orbit.position(t)) - mask;
    }
    bool spent() const { return budget < 0; }
};

// Why a circular orbit drifting that much `seconds` away from its epoch is
// no longer one; empty when it still is.
QString driftFault(const CircularOrbit& orbit, double seconds)
{
    if (std::abs(orbit.radiusChange(seconds)) <= RADIUS_CHANGE_LIMIT * orbit.radiusKm())
        return QString();
    return QStringLiteral("a semi-major axis drift of %1 m/day moves the orbit by %2 km by the window")
        .arg(orbit.radiusChange(86400.0) * 1000.0)
        .arg(std::abs(orbit.radiusChange(seconds)), 0, 'f', 0);
}

// The crossing of zero between `below` and `above` (signs differ).
double bisect(const Elevation& f, double below, double above)
{
    while (std::abs(above - below) > TIME_TOLERANCE_S && !f.spent()) {
        const double middle = 0.5 * (below + above);
        (f(middle) >= 0 ? above : below) = middle;
    }
    return 0.5 * (below + above);
}

// The highest point of a single-peaked stretch (golden-section search).
double highest(const Elevation& f, double a, double b)
{
    const double ratio = 0.5 * (std::sqrt(5.0) - 1.0);
    double c = b - ratio * (b - a);
    double d = a + ratio * (b - a);
    double fc = f(c);
    double fd = f(d);
    while (b - a > TIME_TOLERANCE_S && !f.spent()) {
        if (fc > fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - ratio * (b - a);
            fc = f(c);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + ratio * (b - a);
            fd = f(d);
        }
    }
    return 0.5 * (a + b);
}

QDateTime atSecond(qint64 epochMs, double seconds)
{
    const qint64 ms = epochMs + static_cast<qint64>(std::llround(seconds)) * 1000;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

// No pass, and why in `refusal`.
QList<Prepass> refused(QString* refusal, const QString& why)
{
    if (refusal)
        *refusal = why;
    return {};
}

// The pass from `aos` to `los`, its top found on `f`; times to the second,
// angles to the tenth of a degree.
Prepass passBetween(const Elevation& f, const CircularOrbit& orbit, const GroundObserver& observer,
    const QString& satellite, double aos, double los)
{
    const double top = highest(f, aos, los);
    const GroundObserver::Look start = observer.look(orbit.position(aos));
    const GroundObserver::Look middle = observer.look(orbit.position(top));
    const GroundObserver::Look end = observer.look(orbit.position(los));
    const QDateTime aosTime = atSecond(orbit.epochMs(), aos);
    const QDateTime losTime = atSecond(orbit.epochMs(), los);
    const int seconds = static_cast<int>(aosTime.secsTo(losTime));
    Prepass pass(satellite, aosTime, QTime(0, 0).addSecs(seconds), roundTenth(middle.elevation));
    pass.setMiddle(atSecond(orbit.epochMs(), top));
    pass.setEnd(losTime);
    pass.setAzimuths(roundTenth(start.azimuth), roundTenth(middle.azimuth), roundTenth(end.azimuth));
    // Rounding may give 360.0 for a bearing just short of north.
    pass.setAzimuths(std::fmod(pass.startAzimuth(), 360.0), std::fmod(pass.middleAzimuth(), 360.0),
        std::fmod(pass.endAzimuth(), 360.0));
    return pass;
}

} // namespace

PassPredictor::PassPredictor(const PassQuery& query)
    : m_query(query)
    , m_observer(query.latitude, query.longitude)
{
    m_query.start = m_query.start.toUTC();
    m_query.lengthSeconds = std::clamp<qint64>(m_query.lengthSeconds, 0, qint64(MAX_WINDOW_DAYS) * 86400);
}

QString PassPredictor::displayName(const SatelliteAop& record)
{
    const QString name = record.satelliteName();
    return name.isEmpty() || name == QLatin1String("NA") ? QString(record.allcastId()) : name;
}

QList<Prepass> PassPredictor::passes(const CircularOrbit& orbit, const QString& satellite, QString* refusal) const
{
    QList<Prepass> found;
    if (!orbit.epoch().isValid() || !m_query.start.isValid())
        return found;
    const QString fault = orbit.fault();
    if (!fault.isEmpty())
        return refused(refusal, fault);
    const double windowStart = (m_query.start.toMSecsSinceEpoch() - orbit.epochMs()) / 1000.0;
    const double windowEnd = windowStart + double(m_query.lengthSeconds);
    // A pass lasts far less than half a revolution: scanning that much
    // beyond both ends finds whole every pass that overlaps the window.
    const double margin = std::min(orbit.periodSeconds() / 2.0, 6.0 * 3600.0);
    const double scanStart = windowStart - margin;
    const double scanEnd = windowEnd + margin;
    const QString drift = driftFault(orbit, std::max(std::abs(scanStart), std::abs(scanEnd)));
    if (!drift.isEmpty())
        return refused(refusal, drift);
    const int steps = static_cast<int>(std::ceil((scanEnd - scanStart) / SCAN_STEP_S));
    const Elevation f {orbit, m_observer, m_query.minElevation,
        static_cast<qint64>(std::clamp(m_query.budgetPerScanStep, 0.0, 1e3) * (steps + 2))};

    const auto addPass = [&](double aos, double los) {
        if (los <= windowStart || aos >= windowEnd || los - aos < m_query.minDurationMinutes * 60.0)
            return;
        found.append(passBetween(f, orbit, m_observer, satellite, aos, los));
    };

    double t0 = scanStart;
    double e0 = f(t0);
    double tPrev = t0 - SCAN_STEP_S;
    double ePrev = f(tPrev);
    double aos = std::nan("");
    for (int k = 1; k <= steps && !f.spent(); ++k) {
        const double t1 = scanStart + k * SCAN_STEP_S;
        const double e1 = f(t1);
        if (e0 < 0 && e1 >= 0) {
            aos = bisect(f, t0, t1);
        } else if (e0 >= 0 && e1 < 0) {
            if (!std::isnan(aos))
                addPass(aos, bisect(f, t1, t0));
            aos = std::nan("");
        } else if (e0 < 0 && e1 < 0 && e0 > ePrev && e0 >= e1 && e0 > -GRAZING_MARGIN_DEG) {
            // The samples on both sides are below the mask; the top between
            // them may not be.
            const double top = highest(f, tPrev, t1);
            if (f(top) >= 0)
                addPass(bisect(f, tPrev, top), bisect(f, t1, top));
        }
        tPrev = t0;
        ePrev = e0;
        t0 = t1;
        e0 = e1;
    }
    if (f.spent())
        return refused(
            refusal, QStringLiteral("the prediction took more than its time budget for the window"));
    return found;
}

QString PassPredictor::stalenessWarning(const SatelliteAop& record) const
{
    return stalenessWarning(displayName(record), record.bulletinEpoch());
}

QString PassPredictor::stalenessWarning(const QString& name, const QDateTime& epoch) const
{
    if (!m_query.start.isValid() || !epoch.isValid())
        return {};
    const qint64 age = epoch.secsTo(m_query.start);
    if (age < 0)
        return QStringLiteral("Orbit data of %1 are dated after the window's start: passes may be off by minutes")
            .arg(name);
    const qint64 days = age / 86400;
    if (days > STALE_AFTER_DAYS || (days == STALE_AFTER_DAYS && age % 86400 > 0))
        return QStringLiteral("Orbit data of %1 are %2 days old: passes may be off by minutes").arg(name).arg(days);
    return {};
}

QList<OrbitRecord> PassPredictor::records(const SatelliteAopModel& model)
{
    QList<OrbitRecord> records;
    for (int row = 0; row < model.rowCount(); ++row) {
        const SatelliteAop& record = *model.getSatelliteItem(quint8(row));
        records.append({displayName(record), record.uplinkStatusValue() == SatelliteAop::UPLK_OUT_OF_SERVICE,
            record.bulletinEpoch(), CircularOrbit(record)});
    }
    return records;
}

PassPrediction PassPredictor::predict(const SatelliteAopModel& model) const
{
    return predict(records(model));
}

PassPrediction PassPredictor::predict(const QList<OrbitRecord>& records) const
{
    PassPrediction prediction;
    QStringList missing;
    for (const OrbitRecord& record : records) {
        if (!m_query.includeOutOfService && record.outOfService)
            continue;
        if (!record.epoch.isValid()) {
            missing << record.name;
            continue;
        }
        QString refusal;
        const QList<Prepass> found = passes(record.orbit, record.name, &refusal);
        if (!refusal.isEmpty()) {
            prediction.refusals << QStringLiteral("Orbit data of %1 refused: %2").arg(record.name, refusal);
            continue;
        }
        const QString warning = stalenessWarning(record.name, record.epoch);
        if (!warning.isEmpty())
            prediction.warnings << warning;
        prediction.passes << found;
    }
    if (!missing.isEmpty())
        prediction.warnings << QStringLiteral("No orbit data for %1: no passes predicted").arg(missing.join(", "));
    std::stable_sort(prediction.passes.begin(), prediction.passes.end(),
        [](const Prepass& a, const Prepass& b) { return a.start() < b.start(); });
    return prediction;
}

QList<SatelliteElevation> PassPredictor::inView(const QList<OrbitRecord>& records, const QDateTime& time) const
{
    QList<SatelliteElevation> visible;
    if (!time.isValid())
        return visible;
    for (const OrbitRecord& record : records) {
        if ((record.outOfService && !m_query.includeOutOfService) || !record.orbit.isValid())
            continue;
        const double seconds = (time.toMSecsSinceEpoch() - record.orbit.epochMs()) / 1000.0;
        const double elevation = roundTenth(m_observer.elevation(record.orbit.position(seconds)));
        if (elevation >= m_query.minElevation)
            visible.append({record.name, elevation});
    }
    std::sort(visible.begin(), visible.end(),
        [](const SatelliteElevation& a, const SatelliteElevation& b) { return a.elevation > b.elevation; });
    return visible;
}

QList<SkyPoint> PassPredictor::track(const CircularOrbit& orbit, double latitude, double longitude,
    const QDateTime& from, const QDateTime& to, double stepS)
{
    QList<SkyPoint> points;
    if (!orbit.isValid() || !from.isValid() || !to.isValid() || stepS <= 0)
        return points;
    const GroundObserver observer(latitude, longitude);
    const qint64 fromMs = from.toMSecsSinceEpoch();
    const qint64 toMs = to.toMSecsSinceEpoch();
    // A bounded number of points whatever the times given.
    const qint64 stepMs = std::max<qint64>(static_cast<qint64>(stepS * 1000), (toMs - fromMs) / 2000 + 1);
    for (qint64 ms = fromMs;; ms += stepMs) {
        const qint64 at = std::min(ms, toMs);
        const GroundObserver::Look look = observer.look(orbit.position((at - orbit.epochMs()) / 1000.0));
        points.append({at, look.azimuth, look.elevation});
        if (at >= toMs)
            break;
    }
    return points;
}
