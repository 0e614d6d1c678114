#pragma once

#include "AtCmdHandler.h"
#include "ModuleType.h"

#include <QList>
#include <QString>

// What a module's answers tell of its variant. Every read answered narrows
// the variants to those that know the command and whose answer pattern the
// data fits (a TAV1's serial number is "TAV" and 11 digits); every read
// refused as an unknown command narrows them to those that do not know it; a
// development-kit status line ("TREKON -- ...") is the TREKON's alone.
class IdentityCheck {
public:
    void reset() { *this = IdentityCheck(); }

    void answered(AtCmdHandler::CmdId id, const QString& data);
    void refused(AtCmdHandler::CmdId id);
    void kitLine();
    // A read that got no answer tells nothing, but is not asked again.
    void unanswered(AtCmdHandler::CmdId id) { asked(id); }

    // The variants the answers fit, as VariantSet bits.
    quint8 candidates() const { return m_candidates; }
    // Something answered, even if only with an error.
    bool heard() const { return m_heard; }
    bool fits(ModuleType::Module module) const;
    QList<ModuleType::Module> modules() const;
    // What the module answered to ID and FW; empty when it did not.
    QString id() const { return m_id; }
    QString firmware() const { return m_firmware; }

    // "TAV1", "TAV2 or RIX", "none of TAV1, TAV2, RIX or TREKON".
    static QString names(quint8 variants);
    // Empty when the answers fit `chosen`; otherwise what was found and what
    // to do.
    QString mismatch(ModuleType::Module chosen) const;
    // The read that tells the remaining variants apart, or confirms the one
    // left, among those not asked yet; ID when none is left to ask.
    AtCmdHandler::CmdId nextRead() const;

private:
    void asked(AtCmdHandler::CmdId id);

    quint8 m_candidates = 0x0f;
    bool m_heard = false;
    bool m_confirmed = false;
    QList<AtCmdHandler::CmdId> m_asked;
    QString m_id;
    QString m_firmware;
};
