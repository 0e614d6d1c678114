// Pass prediction over 7 days for every in-service satellite of a realistic
// orbit-data document, at a mid-latitude site. Prints the median time of a
// prediction on its last line.
#include "orbit/PassPredictor.h"
#include "orbit/SatelliteAopModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <vector>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QFile file(QStringLiteral(TAV_TEST_DATA_DIR "/aop_constellation.json"));
    SatelliteAopModel model;
    if (!file.open(QIODevice::ReadOnly) || !model.parseJsonData(file.readAll())) {
        out << "cannot read " << file.fileName() << "\n";
        return 1;
    }
    PassQuery query;
    query.latitude = 43.6;
    query.longitude = 1.44;
    query.start = QDateTime(QDate(2026, 3, 2), QTime(6, 0), Qt::UTC);
    query.lengthSeconds = 7 * 86400;
    const PassPredictor predictor(query);

    const int runs = argc > 1 ? std::max(1, QString(argv[1]).toInt()) : 21;
    std::vector<double> ms;
    qsizetype passes = 0;
    const std::clock_t cpuStart = std::clock();
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        passes = predictor.predict(model).passes.size();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC / runs;
    std::sort(ms.begin(), ms.end());
    out << passes << " passes of " << model.rowCount() << " satellites (out of service left out), " << runs
        << " runs, fastest " << ms.front() << " ms, slowest " << ms.back() << " ms\n";
    out << "processor time per prediction: " << cpuMs << " ms\n";
    out << "7-day pass prediction: " << ms[ms.size() / 2] << " ms\n";
    return 0;
}
