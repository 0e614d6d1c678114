#pragma once

#include "AtCmdHandler.h"
#include "ModuleLink.h"
#include "SimulatorProcess.h"

#include <QMap>
#include <QString>
#include <QStringList>

// A simulator with the test's serial link open on its device.
struct SimSession {
    explicit SimSession(const QStringList& arguments)
        : sim(arguments)
    {
    }

    bool open()
    {
        if (!sim.start()) {
            error = sim.errorString();
            return false;
        }
        if (!link.open(sim.portPath())) {
            error = "cannot open " + sim.portPath() + ": " + link.port().errorString();
            return false;
        }
        return true;
    }

    SimulatorProcess sim;
    ModuleLink link;
    QString error;
};

// The response grammar the host applies to each variant's answers.
inline QMap<AtCmdHandler::CmdId, QString> hostGrammar(const QString& module)
{
    using A = AtCmdHandler;
    const QString flags7 = A::repeatRegex(7, QStringLiteral("[0|1]"));
    const QString bytes8 = A::repeatRegex(8, QStringLiteral("[0-9a-fA-F]{2}"));
    const QString bytes16 = A::repeatRegex(16, QStringLiteral("[0-9a-fA-F]{2}"));
    QMap<A::CmdId, QString> g {{A::OK, A::OK_REGEX}, {A::ERROR, A::ERROR_REGEX}, {A::ID, A::ID_REGEX},
        {A::FW, QStringLiteral("^(?<FW>.*)$")}};
    if (module == QLatin1String("TAV1")) {
        g.insert(A::SN, QStringLiteral("^(?<SN>TAV[0-9]{11})$"));
        g.insert(A::ATXFRQ, QStringLiteral("^(?<ATXFRQ>[0-9]{1,9}(,1)?)$"));
        g.insert(A::PWR, QStringLiteral("^(?<PWR>[0-9]{3,4})$"));
        g.insert(A::AFMT, QStringLiteral("^(?<AFMT>(0|1){1},(0|16){1},(0|32){1})$"));
        g.insert(A::TX, QStringLiteral("^((0),(?<TX>.+)?)$"));
        return g;
    }
    g.insert(A::PREPASS_EN, A::PREPASS_EN_REGEX);
    g.insert(A::PREPASS_CFG, A::PREPASS_CFG_REGEX);
    g.insert(A::POS, A::POS_REGEX);
    g.insert(A::AOP, A::AOP_REGEX);
    g.insert(A::UDATE, A::UDATE_REGEX);
    g.insert(A::NEXTPASS, A::NEXTPASS_REGEX);
    if (module == QLatin1String("TREKON")) {
        g.insert(A::LORA_EN, QStringLiteral("^(?<LORA_EN>[0|1])$"));
        g.insert(A::LORA_REDUN, QStringLiteral("^(?<LORA_REDUN>[-0-9]+)$"));
        g.insert(A::LORA_ACK, QStringLiteral("^(?<LORA_ACK>[0|1])$"));
        g.insert(A::LORA_DEUI, "^(?<LORA_DEUI>" + bytes8 + ")$");
        g.insert(A::LORA_AEUI, "^(?<LORA_AEUI>" + bytes8 + ")$");
        g.insert(A::LORA_AKEY, "^(?<LORA_AKEY>" + bytes16 + ")$");
        g.insert(A::PACQ, QStringLiteral("^(?<PACQ>[-0-9]+)$"));
        g.insert(A::PACQ_SENS, "^(?<PACQ_SENS>" + flags7 + ")$");
        g.insert(A::ALRT_SENS, "^(?<ALRT_SENS>" + flags7 + ")$");
        g.insert(A::ALRT_LIGHT, QStringLiteral("^(?<ALRT_LIGHT>([0|1]),([-0-9]+,[-0-9]+))$"));
        g.insert(A::ALRT_ACC, QStringLiteral("^(?<ALRT_ACC>([0|1]),([-0-9]+))$"));
        g.insert(A::ALRT_DRYC, QStringLiteral("^(?<ALRT_DRYC>([0|1]),([0|1]))$"));
        g.insert(A::ALRT_PB, QStringLiteral("^(?<ALRT_PB>[0|1])$"));
        g.insert(A::TAV_REDUN, QStringLiteral("^(?<TAV_REDUN>[-0-9]+)$"));
        return g;
    }
    g.insert(A::ADDR, A::ADDR_REGEX);
    g.insert(A::TX, QStringLiteral("^(([-0-9]+),(?<TX>[0-9a-fA-F]+)?)$"));
    g.insert(A::RCONF, A::RCONF_REGEX);
    g.insert(A::SAT, A::SAT_REGEX);
    g.insert(A::TXFIFO, QStringLiteral("^(?<TXFIFO>(0|1),([0-9a-fA-F]+),0x([0-9a-fA-F]+)|end)$"));
    g.insert(A::ATXRP, QStringLiteral("^(?<ATXRP>([-0-9]+),([-0-9]+))$"));
    g.insert(A::ASSERT, QStringLiteral("^(?<ASSERT>.*)$"));
    if (module == QLatin1String("TAV2")) {
        g.insert(A::RX, QStringLiteral("^(?<RX>[0-9a-fA-F]+)$"));
        g.insert(A::BC, QStringLiteral("^(?<BC>[0-9a-fA-F]+)$"));
    }
    return g;
}
