#include "ModuleConfigReader.h"

#include "log/Helper.h"
#include "manager/TavManager.h"
#include "protocol/CommandTable.h"

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
        // The answer to this get is the first line that names its command.
        QString answer;
        const QString prefix = '+' + command;
        const auto connection = QObject::connect(
            m_manager.serialPort(), &SerialPortManager::doneReading, [&answer, &prefix](const QString& line) {
                const QString text = line.trimmed();
                if (answer.isEmpty() && text.startsWith(prefix)
                    && (text.size() == prefix.size() || text.at(prefix.size()) == '='
                        || text.at(prefix.size()) == ':'))
                    answer = text;
            });
        const auto cmd = static_cast<AtCmdHandler::CmdId>(id);
        const bool ok = m_manager.sendBuiltinAtCmd(cmd, {}, CommandTable::timeoutOf(cmd));
        QObject::disconnect(connection);
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
