#pragma once

#include "board/TavBoard.h"
#include "protocol/IdentityCheck.h"

#include <QList>
#include <QString>

class BusyState;
class RequestEngine;
class ResponseDispatch;
class SerialPortManager;

// Finds which variant is on a port with reads only (nothing on the module
// changes): ID and FW, then the fewest reads that tell the variants apart,
// at each baud rate the variants use until one gets an answer. It never
// guesses: variants that answer the same reads are all named.
class ModuleDetector {
public:
    struct Result {
        QString port;
        // Nothing answered at any baud rate.
        bool answered = false;
        // The port could not be opened; the serial link said why.
        bool openFailed = false;
        int baudRate = 0;
        QList<int> baudRatesTried;
        IdentityCheck identity;

        bool found() const { return answered && identity.candidates() != 0; }
        // The one variant found, NA when none or several.
        TavBoard::Module module() const;
        // "Default" when the variants found use the baud rate they answered at.
        QString baudChoice() const;
        // One line: "TAV2 or RIX on /dev/ttyUSB0 at 9600 baud: ID 04A1C7F2, firmware 3.2.4".
        QString text() const;
        QString json() const;
    };

    ModuleDetector(SerialPortManager& serialPort, RequestEngine& requests, ResponseDispatch& dispatch,
        BusyState& busy);

    // `baudrate` is tried first ("Default", "9600", "115200"), then the others.
    Result detect(const QString& port, const QString& baudrate);

    // The reads that tell apart the variants `identity` still allows, sent on
    // the link in place until one variant is left and confirmed.
    static void narrow(RequestEngine& requests, IdentityCheck& identity);
    // The baud rates the variants use, `first` leading.
    static QList<int> baudRates(const QString& first);

private:
    SerialPortManager& m_serialPort;
    RequestEngine& m_requests;
    ResponseDispatch& m_dispatch;
    BusyState& m_busy;
};
