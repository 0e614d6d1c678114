// Pass prediction from any orbit-data document, site, window and mask. The
// first 13 bytes choose the query, the rest is the document. The prediction
// must end (its budget bounds it), give only valid times in order, elevations
// within -90..90 and bearings within [0, 360), and no pass for a satellite
// without usable orbit data.
#include "FuzzTarget.h"
#include "orbit/PassPredictor.h"
#include "orbit/SatelliteAopModel.h"

#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t QUERY_BYTES = 13;

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

bool angleOk(double degrees, double low, double high)
{
    return std::isfinite(degrees) && degrees >= low && degrees <= high;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = [] {
        silenceQtMessages();
        return true;
    }();
    (void)quiet;
    if (size < QUERY_BYTES)
        return 0;
    PassQuery query;
    query.latitude = qFromLittleEndian<qint16>(data) / 100.0;
    query.longitude = qFromLittleEndian<qint16>(data + 2) / 100.0;
    query.minElevation = static_cast<qint8>(data[4]);
    query.minDurationMinutes = data[5];
    query.lengthSeconds = qint64(qFromLittleEndian<quint16>(data + 6)) * 60;
    const qint64 offset = qFromLittleEndian<qint32>(data + 8);
    const uint8_t flags = data[12];
    query.includeOutOfService = flags & 1;
    // Seconds around the date of the usual documents, or minutes: millennia.
    query.start = QDateTime(QDate(2026, 3, 2), QTime(6, 0), Qt::UTC).addSecs(flags & 2 ? offset * 60 : offset);

    SatelliteAopModel model;
    if (!model.parseJsonData(QByteArray(reinterpret_cast<const char*>(data + QUERY_BYTES),
            qsizetype(size - QUERY_BYTES))))
        return 0;
    const PassPredictor predictor(query);
    const PassPrediction prediction = predictor.predict(model);

    QSet<QString> usable;
    for (int row = 0; row < model.rowCount(); ++row) {
        const SatelliteAop& record = *model.getSatelliteItem(quint8(row));
        if (CircularOrbit(record).isValid())
            usable << PassPredictor::displayName(record);
    }
    const qint64 windowStart = query.start.toSecsSinceEpoch();
    const qint64 windowEnd = windowStart + std::min<qint64>(query.lengthSeconds, PassPredictor::MAX_WINDOW_DAYS * 86400);
    for (const Prepass& pass : prediction.passes) {
        check(usable.contains(pass.satellite()), "a pass of a satellite without usable orbit data");
        check(pass.start().isValid() && pass.middle().isValid() && pass.end().isValid(), "an invalid time");
        check(pass.start() <= pass.middle() && pass.middle() <= pass.end(), "times out of order");
        check(pass.end().toSecsSinceEpoch() >= windowStart && pass.start().toSecsSinceEpoch() <= windowEnd,
            "a pass outside the window");
        check(angleOk(pass.elevation(), -90, 90), "an elevation outside -90..90");
        check(angleOk(pass.startAzimuth(), 0, 360) && pass.startAzimuth() < 360 && angleOk(pass.middleAzimuth(), 0, 360)
                && pass.middleAzimuth() < 360 && angleOk(pass.endAzimuth(), 0, 360) && pass.endAzimuth() < 360,
            "a bearing outside [0, 360)");
    }
    return 0;
}
