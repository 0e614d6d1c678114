#include "DetectCommand.h"

#include "CliSession.h"
#include "log/Helper.h"
#include "manager/ModuleDetector.h"

#include <QTextStream>

namespace DetectCommand {

namespace {

// A failed detection's status and line; EXIT_OK when a variant was found.
int failure(CliSession& session, const ModuleDetector::Result& result)
{
    if (result.openFailed)
        return session.failPort();
    if (!result.answered)
        return session.fail(
            result.text() + "\n  a sleeping TREKON kit answers once its wake-up button is pressed",
            CliSession::EXIT_NO_ANSWER);
    if (!result.found())
        return session.fail(result.text());
    return CliSession::EXIT_OK;
}

} // namespace

void addOptions(QCommandLineParser& parser)
{
    parser.addOption({"wake-timeout",
        "Seconds to wait for a sleeping kit's wake-up button (default 60; 0 waits until Ctrl-C).", "s", "60"});
}

QString readWakeTimeout(const QCommandLineParser& parser, int* seconds)
{
    bool ok = false;
    *seconds = parser.value("wake-timeout").toInt(&ok);
    if (!ok || *seconds < 0 || *seconds > 3600)
        return QStringLiteral("--wake-timeout takes a number of seconds from 0 (no limit) to 3600");
    return {};
}

int run(CliSession& session, bool json)
{
    if (session.port().isEmpty())
        return session.fail("no port given: use --port PATH (see 'tavcli ports')", CliSession::EXIT_USAGE);
    const ModuleDetector::Result result = session.manager().detectModule(session.port(), session.baud());
    const int status = failure(session, result);
    if (status != CliSession::EXIT_OK && !(json && result.answered))
        return status;
    QTextStream(stdout) << (json ? result.json() : result.text()) << Qt::endl;
    return status;
}

int resolveAuto(CliSession& session)
{
    if (session.port().isEmpty())
        return session.fail("no port given: use --port PATH (see 'tavcli ports')", CliSession::EXIT_USAGE);
    const ModuleDetector::Result result = session.manager().detectModule(session.port(), session.baud());
    const int status = failure(session, result);
    if (status != CliSession::EXIT_OK)
        return status;
    // Two variants that answer alike are not chosen between silently.
    if (result.module() == TavBoard::NA) {
        QStringList options;
        for (const TavBoard::Module module : result.identity.modules())
            options << "--module " + Helper::enumToStr(module);
        return session.fail(result.text() + ": choose one with " + options.join(" or "), CliSession::EXIT_USAGE);
    }
    // On standard error: the command's own output stays as it is.
    if (!session.quiet())
        QTextStream(stderr) << "Detected " << result.text() << Qt::endl;
    session.setModule(result.module(), session.baud() == QLatin1String("Default") ? result.baudChoice()
                                                                                    : session.baud());
    return CliSession::EXIT_OK;
}

} // namespace DetectCommand
