#include "orbit/PassPredictor.h"
#include "orbit/SatelliteAopModel.h"

#include <QFile>
#include <QTest>

#include <cmath>

namespace {

constexpr double DEG = M_PI / 180.0;
const QDateTime bulletin(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

struct Elements {
    double a, inclination, node, drift, period;
};

// Period and Earth-fixed node drift of a circular orbit of radius `a`.
Elements polar(double inclination = 90.0, double a = 7195.6)
{
    const double period = 2 * M_PI * std::sqrt(a * a * a / 398600.4418) / 60.0;
    return {a, inclination, 10.0, -360.0 * period / 1436.068, period};
}

CircularOrbit orbitOf(const Elements& e)
{
    return CircularOrbit(bulletin, e.a, e.inclination, e.node, e.drift, e.period);
}

QList<Prepass> predict(const CircularOrbit& orbit, double lat, double lon, const QDateTime& start, double hours,
    double mask = 5.0)
{
    PassQuery query;
    query.latitude = lat;
    query.longitude = lon;
    query.start = start;
    query.lengthSeconds = qint64(hours * 3600);
    query.minElevation = mask;
    return PassPredictor(query).passes(orbit, QStringLiteral("T"));
}

// A second method: the sub-satellite point by spherical trigonometry, then
// elevation and bearing from the central angle, sampled every second.
struct FineScan {
    Elements e;
    double lat, lon;

    void look(double t, double* el, double* az) const
    {
        const double u = 2 * M_PI * t / (e.period * 60);
        const double phiS = std::asin(std::sin(e.inclination * DEG) * std::sin(u));
        const double lonS = (e.node + e.drift * t / (e.period * 60)) * DEG
            + std::atan2(std::cos(e.inclination * DEG) * std::sin(u), std::cos(u));
        const double phiO = lat * DEG;
        const double dl = lonS - lon * DEG;
        const double cosPsi = std::sin(phiO) * std::sin(phiS) + std::cos(phiO) * std::cos(phiS) * std::cos(dl);
        const double psi = std::acos(std::clamp(cosPsi, -1.0, 1.0));
        *el = std::atan2(cosPsi - CircularOrbit::EARTH_RADIUS_KM / e.a, std::sin(psi)) / DEG;
        *az = std::atan2(std::sin(dl) * std::cos(phiS),
                  std::cos(phiO) * std::sin(phiS) - std::sin(phiO) * std::cos(phiS) * std::cos(dl))
            / DEG;
        if (*az < 0)
            *az += 360;
    }

    // Passes (AOS, LOS, max, max elevation, AOS azimuth) whose samples rise above the mask.
    QList<std::array<double, 5>> passes(double from, double to, double mask) const
    {
        QList<std::array<double, 5>> found;
        std::array<double, 5> current {};
        bool in = false;
        for (double t = from; t <= to; t += 1.0) {
            double el, az;
            look(t, &el, &az);
            if (el >= mask && !in)
                current = {t, 0, t, el, az};
            if (el >= mask && el > current[3])
                current[2] = t, current[3] = el;
            if (el < mask && in)
                current[1] = t, found << current;
            in = el >= mask;
        }
        return found;
    }
};

double azimuthGap(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

} // namespace

class TestPassPredictor : public QObject {
    Q_OBJECT

private slots:
    void observerUnderThePolarTrackSeesItOverhead()
    {
        // An eighth of a revolution after the node the track is at 45 deg north,
        // the node having turned by an eighth of its drift.
        const Elements e = polar();
        const QList<Prepass> passes
            = predict(orbitOf(e), 45.0, e.node + e.drift / 8, bulletin, e.period / 60);
        QCOMPARE(passes.size(), 1);
        const Prepass& pass = passes.first();
        QVERIFY2(pass.elevation() > 89.0, qPrintable(QString::number(pass.elevation())));
        QVERIFY(std::abs(bulletin.secsTo(pass.middle()) - e.period * 60 / 8) <= 2);
        // Northbound: rises in the south, sets in the north.
        QVERIFY(azimuthGap(pass.startAzimuth(), 180) < 10);
        QVERIFY(azimuthGap(pass.endAzimuth(), 0) < 10);
        QCOMPARE(pass.start().secsTo(pass.end()), pass.durationMs() / 1000);
    }

    void equatorSeesAPolarOrbitTheExpectedNumberOfTimes()
    {
        // Every revolution crosses the equator twice; Earth turns once a day
        // under the plane, so each day a node passes within the visibility
        // radius psi on either side 2 * psi / |drift| times, on both sides.
        const Elements e = polar();
        const double psi = std::acos(CircularOrbit::EARTH_RADIUS_KM / e.a) / DEG;
        const double expected = 10 * 2 * (2 * psi / std::abs(e.drift));
        const int found = predict(orbitOf(e), 0.0, 0.0, bulletin, 240, 0.0).size();
        QVERIFY2(std::abs(found - expected) <= 2, qPrintable(QString("%1 vs %2").arg(found).arg(expected)));
    }

    void driftOfTheWrongSignShiftsThePasses()
    {
        // Three revolutions on, the node has moved 3 drifts west: an observer
        // there sees the satellite overhead; with the drift's sign wrong the
        // node is 6 drifts (152 deg) away and nothing passes at that time.
        const Elements e = polar(98.7);
        Elements flipped = e;
        flipped.drift = -e.drift;
        const QDateTime node = bulletin.addMSecs(qint64(3 * e.period * 60000));
        const double lon = e.node + 3 * e.drift;
        const QList<Prepass> right = predict(orbitOf(e), 0.0, lon, node.addSecs(-1200), 2.0 / 3);
        QCOMPARE(right.size(), 1);
        QVERIFY(right.first().elevation() > 85);
        QVERIFY(std::abs(right.first().middle().secsTo(node)) <= 5);
        QVERIFY(predict(orbitOf(flipped), 0.0, lon, node.addSecs(-1200), 2.0 / 3).isEmpty());
    }

    void agreesWithAFineScan_data()
    {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("mask");
        QTest::addColumn<double>("inclination");
        QTest::addColumn<double>("a");
        QTest::newRow("mid latitude") << 48.1 << -1.7 << 5.0 << 98.7 << 7195.6;
        QTest::newRow("arctic") << 78.2 << 15.6 << 10.0 << 98.5 << 7160.2;
        QTest::newRow("south, low orbit") << -33.9 << 18.4 << 0.0 << 97.4 << 6878.2;
        QTest::newRow("tropic, prograde") << 15.0 << 100.0 << 20.0 << 66.0 << 7500.0;
    }

    void agreesWithAFineScan()
    {
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(double, mask);
        QFETCH(double, inclination);
        QFETCH(double, a);
        const Elements e = polar(inclination, a);
        const QDateTime start = bulletin.addDays(12);
        const QList<Prepass> passes = predict(orbitOf(e), lat, lon, start, 36, mask);
        const double from = bulletin.secsTo(start);
        const QList<std::array<double, 5>> reference = FineScan {e, lat, lon}.passes(from - 3600, from + 36 * 3600, mask);
        QList<std::array<double, 5>> inWindow;
        for (const auto& r : reference) {
            if (r[1] > from && r[0] < from + 36 * 3600)
                inWindow << r;
        }
        QVERIFY(inWindow.size() >= 2);
        QCOMPARE(passes.size(), inWindow.size());
        for (int i = 0; i < passes.size(); ++i) {
            const auto at = [](const QDateTime& time) { return double(bulletin.secsTo(time)); };
            const auto& r = inWindow.at(i);
            QVERIFY(std::abs(at(passes[i].start()) - r[0]) <= 1.5);
            QVERIFY(std::abs(at(passes[i].end()) - r[1]) <= 1.5);
            QVERIFY(std::abs(at(passes[i].middle()) - r[2]) <= 5);
            QVERIFY(std::abs(passes[i].elevation() - r[3]) <= 0.1);
            QVERIFY(azimuthGap(passes[i].startAzimuth(), r[4]) <= 0.5);
        }

        // Who could hear a Tx: the satellite is in view at its highest, at
        // the reference's elevation, and not a minute before the pass.
        PassQuery query;
        query.latitude = lat;
        query.longitude = lon;
        query.minElevation = mask;
        const PassPredictor predictor(query);
        const QList<OrbitRecord> records {{QStringLiteral("T"), false, bulletin, orbitOf(e)}};
        const auto& first = inWindow.constFirst();
        const QList<SatelliteElevation> top = predictor.inView(records, bulletin.addMSecs(qint64(first[2] * 1000)));
        QCOMPARE(top.size(), 1);
        QCOMPARE(top.constFirst().satellite, QStringLiteral("T"));
        QVERIFY2(std::abs(top.constFirst().elevation - first[3]) <= 0.2,
            qPrintable(QString::number(top.constFirst().elevation) + " vs " + QString::number(first[3])));
        QVERIFY(predictor.inView(records, bulletin.addMSecs(qint64((first[0] - 60) * 1000))).isEmpty());
    }

    void grazingPassShorterThanTheScanStepIsFound()
    {
        const Elements e = polar(98.7);
        const QList<Prepass> all = predict(orbitOf(e), 48.0, 12.0, bulletin, 24, 0.0);
        QVERIFY(all.size() >= 4);
        for (const Prepass& pass : all) {
            // A mask just under a pass's top leaves it a few seconds long.
            const double top = GroundObserver(48.0, 12.0).elevation(
                orbitOf(e).position(bulletin.secsTo(pass.middle())));
            const QList<Prepass> grazing
                = predict(orbitOf(e), 48.0, 12.0, pass.middle().addSecs(-120), 0.1, top - 0.01);
            QCOMPARE(grazing.size(), 1);
            QVERIFY(grazing.first().durationMs() < PassPredictor::SCAN_STEP_S * 1000);
            QVERIFY(std::abs(grazing.first().middle().secsTo(pass.middle())) <= 2);
        }
    }

    void passUnderwayAtTheStartIsGivenWhole()
    {
        const Elements e = polar(98.7);
        const Prepass first = predict(orbitOf(e), 48.0, 12.0, bulletin, 24).first();
        const QList<Prepass> fromMiddle = predict(orbitOf(e), 48.0, 12.0, first.middle(), 1);
        QCOMPARE(fromMiddle.first(), first);
    }

    void constellationWarningsAndOutOfService_data()
    {
        QTest::addColumn<int>("daysAfter");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QStringList>("satellites");
        QTest::addColumn<QString>("warning");
        const QStringList inService {"MB", "MC", "SR", "NK", "NN", "NP", "A1", "A2"};
        QTest::newRow("fresh") << 1 << false << inService << QString();
        QTest::newRow("all") << 1 << true << (QStringList {"MA"} + inService) << QString();
        QTest::newRow("23 days") << 23 << false << inService
                                 << "Orbit data of MB are 23 days old: passes may be off by minutes";
        QTest::newRow("before the bulletin")
            << -1 << false << inService
            << "Orbit data of MB are dated after the window's start: passes may be off by minutes";
    }

    void constellationWarningsAndOutOfService()
    {
        QFETCH(int, daysAfter);
        QFETCH(bool, all);
        QFETCH(QStringList, satellites);
        QFETCH(QString, warning);
        QFile file(QStringLiteral(TAV_TEST_DATA_DIR "/aop_constellation.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        SatelliteAopModel model;
        QVERIFY(model.parseJsonData(file.readAll()));
        // The module reported a letter the document does not know: no orbit yet.
        model.updateAopData(QChar('Z'), QDateTime(), 0, 0, 0, 0, 0, 0, "NA", SatelliteAop::DNLK_NA,
            SatelliteAop::UPLK_NA);
        PassQuery query;
        query.latitude = 43.6;
        query.longitude = 1.4;
        query.start = QDateTime(QDate(2026, 3, 2), QTime(6, 0), Qt::UTC).addDays(daysAfter);
        query.includeOutOfService = all;
        const PassPrediction prediction = PassPredictor(query).predict(model);
        QSet<QString> named;
        for (int i = 0; i < prediction.passes.size(); ++i) {
            named << prediction.passes[i].satellite();
            QVERIFY(i == 0 || prediction.passes[i - 1].start() <= prediction.passes[i].start());
        }
        QCOMPARE(named, QSet<QString>(satellites.begin(), satellites.end()));
        QCOMPARE(prediction.warnings.last(), QStringLiteral("No orbit data for Z: no passes predicted"));
        QCOMPARE(prediction.warnings.value(0) == warning, !warning.isEmpty());
        QCOMPARE(prediction.warnings.size(), warning.isEmpty() ? 1 : 1 + satellites.size());
    }

    // Orbit data that describe no real orbit are refused for their satellite
    // alone, with the reason; a budget spent refuses every satellite.
    void absurdOrbitDataAreRefusedAlone_data()
    {
        QTest::addColumn<double>("axis");
        QTest::addColumn<double>("period");
        QTest::addColumn<double>("nodeDrift");
        QTest::addColumn<double>("axisDrift");
        QTest::addColumn<double>("budget");
        QTest::addColumn<QString>("refusal");
        const double a = 7195.621;
        QTest::newRow("period") << a << 0.001 << -25.3 << 0.0 << 8.0
                                << "a period of 0.001 min does not fit a semi-major axis of 7195.62 km (about 101.2 min)";
        QTest::newRow("inside the Earth") << 6000.0 << 101.36 << -25.3 << 0.0 << 8.0
                                          << "a semi-major axis of 6000 km lies inside the Earth";
        QTest::newRow("node drift") << a << 101.36 << 2000.0 << 0.0 << 8.0
                                    << "a node drift of 2000 deg a revolution is more than twice the Earth's turn";
        QTest::newRow("axis drift") << a << 101.36 << -25.3 << -5e6 << 8.0
                                    << "a semi-major axis drift of -5e+06 m/day moves the orbit by 41884 km by the window";
        QTest::newRow("budget") << a << 101.36 << -25.3 << 0.0 << 1.0
                                << "the prediction took more than its time budget for the window";
    }

    void absurdOrbitDataAreRefusedAlone()
    {
        QFETCH(double, axis);
        QFETCH(double, period);
        QFETCH(double, nodeDrift);
        QFETCH(double, axisDrift);
        QFETCH(double, budget);
        QFETCH(QString, refusal);
        QFile file(QStringLiteral(TAV_TEST_DATA_DIR "/aop_constellation.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        SatelliteAopModel model;
        QVERIFY(model.parseJsonData(file.readAll()));
        SatelliteAop* mb = model.getSatelliteItem(QChar('B'));
        mb->setAopParams(mb->bulletinEpoch(), axis, mb->inclination(), mb->ascNodeLongitude(), nodeDrift, period,
            axisDrift);
        PassQuery query;
        query.latitude = 43.6;
        query.longitude = 1.4;
        query.start = QDateTime(QDate(2026, 3, 2), QTime(6, 0), Qt::UTC);
        query.lengthSeconds = 8 * 86400;
        query.budgetPerScanStep = budget;
        const PassPrediction prediction = PassPredictor(query).predict(model);
        QSet<QString> named;
        for (const Prepass& pass : prediction.passes)
            named << pass.satellite();
        if (budget < 2) {
            QCOMPARE(prediction.refusals.size(), 8);
            QVERIFY(prediction.passes.isEmpty());
        } else {
            QCOMPARE(prediction.refusals.size(), 1);
            QCOMPARE(named, (QSet<QString> {"MC", "SR", "NK", "NN", "NP", "A1", "A2"}));
        }
        QVERIFY2(prediction.refusals.first().startsWith("Orbit data of MB refused: " + refusal),
            qPrintable(prediction.refusals.first()));
        QVERIFY(prediction.warnings.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPassPredictor)
#include "tst_pass_predictor.moc"
