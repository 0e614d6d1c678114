#include "IdentityCheck.h"

#include "CommandTable.h"
#include "log/Helper.h"

#include <QRegularExpression>

namespace {

const ModuleType::Module kVariants[] = {ModuleType::TAV1, ModuleType::TAV2, ModuleType::RIX, ModuleType::TREKON};

// The reads that set variants apart, the one that splits most first; each
// answer is known to be harmless: they change nothing on the module.
const AtCmdHandler::CmdId kTellingReads[] = {AtCmdHandler::ADDR, AtCmdHandler::SN, AtCmdHandler::TAV_REDUN};

bool fitsPattern(ModuleType::Module module, AtCmdHandler::CmdId id, const QString& data)
{
    const QString pattern = CommandTable::answerPattern(module, id);
    return pattern.isEmpty() || QRegularExpression(pattern).match(data).hasMatch();
}

} // namespace

void IdentityCheck::asked(AtCmdHandler::CmdId id)
{
    if (!m_asked.contains(id))
        m_asked << id;
}

void IdentityCheck::answered(AtCmdHandler::CmdId id, const QString& data)
{
    asked(id);
    m_heard = true;
    if (id == AtCmdHandler::ID)
        m_id = data;
    if (id == AtCmdHandler::FW)
        m_firmware = data;
    quint8 fitting = 0;
    for (const ModuleType::Module module : kVariants) {
        if (CommandTable::knows(module, id) && fitsPattern(module, id, data))
            fitting |= VariantSet::of(module);
    }
    m_candidates &= fitting;
    // A command every variant knows tells nothing for sure.
    if (fitting != 0 && CommandTable::row(id).variants != VariantSet::ALL)
        m_confirmed = true;
}

void IdentityCheck::refused(AtCmdHandler::CmdId id)
{
    asked(id);
    m_heard = true;
    m_candidates &= static_cast<quint8>(~CommandTable::row(id).variants);
}

void IdentityCheck::kitLine()
{
    m_heard = true;
    m_candidates &= VariantSet::TREKON;
    m_confirmed = true;
}

bool IdentityCheck::fits(ModuleType::Module module) const
{
    return (m_candidates & VariantSet::of(module)) != 0;
}

QList<ModuleType::Module> IdentityCheck::modules() const
{
    QList<ModuleType::Module> list;
    for (const ModuleType::Module module : kVariants) {
        if (fits(module))
            list << module;
    }
    return list;
}

QString IdentityCheck::names(quint8 variants)
{
    QStringList found;
    QStringList all;
    for (const ModuleType::Module module : kVariants) {
        all << Helper::enumToStr(module);
        if (variants & VariantSet::of(module))
            found << Helper::enumToStr(module);
    }
    if (found.isEmpty())
        return "none of " + all.mid(0, all.size() - 1).join(", ") + " or " + all.constLast();
    return found.join(" or ");
}

QString IdentityCheck::mismatch(ModuleType::Module chosen) const
{
    if (fits(chosen))
        return {};
    const QString chosenName = Helper::enumToStr(chosen);
    if (m_candidates == 0)
        return "This module answers as " + names(0) + ", not as the " + chosenName
            + " chosen: check the port and its baud rate";
    const QString found = names(m_candidates);
    return "This module answers as a " + found + ", not a " + chosenName + ": choose " + found
        + " and connect again";
}

AtCmdHandler::CmdId IdentityCheck::nextRead() const
{
    for (const AtCmdHandler::CmdId id : kTellingReads) {
        const quint8 knowing = CommandTable::row(id).variants & m_candidates;
        if (!m_asked.contains(id) && knowing != 0 && knowing != m_candidates)
            return id;
    }
    // Variants left only because others refused are confirmed by a read of
    // their own: a module refusing everything is no variant.
    for (const AtCmdHandler::CmdId id : kTellingReads) {
        if (!m_confirmed && m_candidates != 0 && !m_asked.contains(id)
            && (CommandTable::row(id).variants & m_candidates) == m_candidates)
            return id;
    }
    return AtCmdHandler::ID;
}
