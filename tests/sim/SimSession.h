#pragma once

#include "ModuleLink.h"
#include "SimulatorProcess.h"
#include "board/Rix.h"
#include "board/Tav1.h"
#include "board/Tav2.h"
#include "board/Trekon.h"
#include "protocol/AtCmdHandler.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

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

// The response grammar the host applies to each variant's answers: the map
// of the board it creates for that module.
inline QMap<AtCmdHandler::CmdId, QString> hostGrammar(const QString& module)
{
    std::unique_ptr<TavBoard> board;
    if (module == QLatin1String("TAV1"))
        board = std::make_unique<Tav1>(nullptr, QSerialPort::Baud9600);
    else if (module == QLatin1String("TAV2"))
        board = std::make_unique<Tav2>(nullptr, QSerialPort::Baud9600);
    else if (module == QLatin1String("RIX"))
        board = std::make_unique<Rix>(nullptr, QSerialPort::Baud9600);
    else if (module == QLatin1String("TREKON"))
        board = std::make_unique<Trekon>(nullptr, QSerialPort::Baud115200);
    return board ? board->getAtCmdRegexMap() : QMap<AtCmdHandler::CmdId, QString> {};
}
