// Parse throughput of the AT codec over a realistic mix of module answers.
// Prints the figure in lines per second on its last line.
#include "protocol/AtCmdHandler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTextStream>

#include <ctime>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The one unknown word in the mix would otherwise print a diagnostic per round.
    QLoggingCategory::setFilterRules("*.critical=false");
    const QString hex2 = QStringLiteral("[0-9a-fA-F]{2}");
    const QMap<AtCmdHandler::CmdId, QString> grammar = {
        {AtCmdHandler::OK, AtCmdHandler::OK_REGEX},
        {AtCmdHandler::ERROR, AtCmdHandler::ERROR_REGEX},
        {AtCmdHandler::ID, AtCmdHandler::ID_REGEX},
        {AtCmdHandler::FW, "^(?<FW>.*)$"},
        {AtCmdHandler::PREPASS_EN, AtCmdHandler::PREPASS_EN_REGEX},
        {AtCmdHandler::PREPASS_CFG, AtCmdHandler::PREPASS_CFG_REGEX},
        {AtCmdHandler::POS, AtCmdHandler::POS_REGEX},
        {AtCmdHandler::AOP, AtCmdHandler::AOP_REGEX},
        {AtCmdHandler::UDATE, AtCmdHandler::UDATE_REGEX},
        {AtCmdHandler::NEXTPASS, AtCmdHandler::NEXTPASS_REGEX},
        {AtCmdHandler::LORA_DEUI, "^(?<LORA_DEUI>" + AtCmdHandler::repeatRegex(8, hex2) + ")$"},
        {AtCmdHandler::PACQ_SENS, "^(?<PACQ_SENS>" + AtCmdHandler::repeatRegex(7, "[0|1]") + ")$"},
        {AtCmdHandler::TAV_REDUN, "^(?<TAV_REDUN>[-0-9]+)$"},
    };
    const QStringList lines = {
        "+OK",
        "+ID=A1B2C3",
        "+FW=1234,SW1.4.0",
        "+ERROR=3",
        "+POS=43.5,1.4",
        "+UDATE=2026-12-8T10:0:0Z",
        "+PREPASS_EN=2",
        "+TAV_REDUN=4",
        "+PACQ_SENS=1,1,1,1,0,1,1",
        "+LORA_DEUI=70,B3,D5,7E,D0,01,02,03",
        "+AOP=A,2026-12-8T10:0:0Z,7180.5,98.5,-60.2,-25.3,100.6,-0.1",
        "+AOP=end",
        "+NEXTPASS=B,2026-12-8T10:5:0Z,2026-12-8T10:15:0Z,600.5,45",
        "+PREPASS_CFG=43.5,1.4,2026-12-8T10:0:0Z,2026-12-9T10:0:0Z,5,90,5,1000,5,30",
        "+FOO=1",
    };

    AtCmdHandler codec(nullptr, grammar);
    const int rounds = argc > 1 ? QString(argv[1]).toInt() : 100000;
    qint64 parsed = 0;
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    for (int r = 0; r < rounds; ++r) {
        for (const QString& line : lines)
            parsed += codec.parse(line) ? 1 : 0;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const qint64 total = qint64(rounds) * lines.size();
    QTextStream out(stdout);
    out << "parsed " << parsed << " of " << total << " lines in " << seconds << " s\n";
    // On a shared machine the wall clock also counts the time others ran.
    out << "per second of processor time: " << qint64(total / cpuSeconds) << " lines\n";
    out << "codec parse throughput: " << qint64(total / seconds) << " lines/s\n";
    return 0;
}
