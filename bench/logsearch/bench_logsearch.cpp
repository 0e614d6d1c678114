// The log history at its default size: the memory 100,000 typical lines take
// (resident memory before and after filling it), then the time a search over
// all of them takes, as text and as an expression. Prints the slower of the
// two medians on its last line.
#include "log/LogModel.h"
#include "log/LogSearch.h"
#include "log/LogViewModel.h"
#include "log/Logger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <ctime>

namespace {

double residentMiB()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024.0;
    }
    return 0;
}

// What a connected TREKON and the tool log, in the proportions of a session.
void logTypicalLine(Logger& logger, int n)
{
    switch (n % 5) {
    case 0: logger.log(Logger::APP, "AT+AOP=?"); break;
    case 1:
        logger.log(Logger::TRK, "+AOP=" + QString::number(n % 7 + 1, 16).toUpper()
                + ",2026-12-8T10:0:0Z,7180.5,98.5,-60.2," + QString::number(n % 360) + ".3,100.6,-0.1");
        break;
    case 2: logger.log(Logger::TRK, "+OK"); break;
    case 3: logger.log(Logger::APP, "Next satellite pass: 2026-12-08 10:" + QString::number(n % 60) + ":00"); break;
    default: logger.log(Logger::TRK, "+TX=0,00112233445566778899AABBCCDD" + QString::number(n % 1000)); break;
    }
}

double cpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Median wall-clock time of a search; `cpu` gets the median processor time,
// which the machine's load hardly moves.
double medianMs(LogSearch* search, const QString& pattern, bool regex, int runs, int* count, double* cpu)
{
    QList<double> ms;
    QList<double> cpuTimes;
    search->setRegularExpression(regex);
    for (int i = 0; i < runs; ++i) {
        search->setText(QString());
        QElapsedTimer t;
        const double cpuStart = cpuMs();
        t.start();
        search->setText(pattern);
        ms << t.nsecsElapsed() / 1e6;
        cpuTimes << cpuMs() - cpuStart;
    }
    *count = search->count();
    std::sort(ms.begin(), ms.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    *cpu = cpuTimes.at(cpuTimes.size() / 2);
    return ms.at(ms.size() / 2);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? QString(argv[1]).toInt() : LogModel::DEFAULT_MAX_LINES;
    const int runs = argc > 2 ? QString(argv[2]).toInt() : 9;
    QTextStream out(stdout);

    Logger logger;
    logger.history()->setMaxLines(lines);
    LogViewModel view;
    view.setHistory(logger.history());
    const double before = residentMiB();
    for (int n = 0; n < lines; ++n) {
        logTypicalLine(logger, n);
        if (n % 1000 == 999)
            logger.history()->flush();
    }
    logger.history()->flush();
    const double after = residentMiB();
    qsizetype chars = 0;
    for (int i = 0; i < logger.history()->count(); ++i)
        chars += logger.history()->at(i).line.size();
    out << logger.history()->count() << " lines of " << QString::number(double(chars) / lines, 'f', 1)
        << " characters on average: " << QString::number(after - before, 'f', 1)
        << " MiB resident for the history and one pane's view of it\n";

    int textCount = 0;
    int regexCount = 0;
    double textCpu = 0;
    double regexCpu = 0;
    const double textMs = medianMs(view.search(), "aop=3,", false, runs, &textCount, &textCpu);
    const double regexMs = medianMs(view.search(), R"(\+TX=0,\w+9\d$)", true, runs, &regexCount, &regexCpu);
    out << "text search: " << QString::number(textMs, 'f', 2) << " ms (" << QString::number(textCpu, 'f', 2)
        << " ms of processor time), " << textCount << " matches\n";
    out << "expression search: " << QString::number(regexMs, 'f', 2) << " ms (" << QString::number(regexCpu, 'f', 2)
        << " ms of processor time), " << regexCount << " matches\n";
    out << "log_search_ms: " << QString::number(std::max(textMs, regexMs), 'f', 2) << "\n";
    return 0;
}
