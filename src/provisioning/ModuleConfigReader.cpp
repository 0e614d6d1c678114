#include "ModuleConfigReader.h"

#include "log/Helper.h"
#include "manager/TavManager.h"

namespace {

// The answer to a get: the first of the request's lines that names its
// command ("+POS=..."), or "".
QString answerNaming(const QStringList& lines, const QString& prefix)
{
    for (const QString& line : lines) {
        const QString text = line.trimmed();
        if (text.startsWith(prefix)
            && (text.size() == prefix.size() || text.at(prefix.size()) == '=' || text.at(prefix.size()) == ':'))
            return text;
    }
    return QString();
}

} // namespace

ModuleConfigReader::ModuleConfigReader(TavManager& manager)
    : m_manager(manager)
{
}

QList<ConfigField> ModuleConfigReader::read(const QList<ConfigField>& wanted)
{
    m_failed.clear();
    QList<ConfigField> fields;
    if (!m_manager.board() || !m_manager.wakeUpBoard()) {
        m_failed = ConfigComparison::commandsToRead(wanted);
        return fields;
    }
    for (const QString& command : ConfigComparison::commandsToRead(wanted)) {
        const int id = Helper::strToEnum<AtCmdHandler::CmdId>(command);
        if (id < 0) {
            m_failed << command;
            continue;
        }
        const auto cmd = static_cast<AtCmdHandler::CmdId>(id);
        const bool ok = m_manager.sendBuiltinAtCmd(cmd);
        const QString answer = ok ? answerNaming(m_manager.lastRequestAnswer(), '+' + command) : QString();
        if (!ok || answer.isEmpty()) {
            m_failed << command;
            continue;
        }
        fields += ConfigComparison::fieldsOfAnswer(answer);
    }
    return fields;
}

QList<ConfigDifference> ModuleConfigReader::differencesFrom(const QList<ConfigField>& wanted)
{
    return ConfigComparison::compare(read(wanted), wanted);
}
