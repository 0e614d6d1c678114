#pragma once

#include "Payload.h"

#include <QString>

// What the Tx side needs of the module: send a payload (or flush the queued
// ones), and ask for the next satellite pass, whose answer the module manager
// writes into the prepass profile's next-pass model.
class TxLink {
public:
    virtual ~TxLink() = default;

    // False when the request could not be made or the module refused it.
    virtual bool requestTx(QString data, Payload::Options options, bool flush) = 0;
    virtual void getSatelliteNextPass(Payload::Options options) = 0;
};
