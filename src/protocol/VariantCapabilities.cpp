#include "VariantCapabilities.h"

const VariantCapabilities& VariantCapabilities::of(TavBoard::Module module)
{
    // module, default baud rate, log source, starts asleep, LoRa, LoRa from, sensors, configuration file
    static const VariantCapabilities none {
        TavBoard::NA, QSerialPort::Baud9600, Logger::TAV, false, false, "", false, false};
    static const VariantCapabilities variants[] = {
        {TavBoard::TAV1, QSerialPort::Baud9600, Logger::TAV, false, false, "", false, false},
        {TavBoard::TAV2, QSerialPort::Baud9600, Logger::TAV, false, false, "", false, false},
        {TavBoard::RIX, QSerialPort::Baud9600, Logger::TAV, false, false, "", false, false},
        {TavBoard::TREKON, QSerialPort::Baud115200, Logger::TRK, true, true, "1.4", true, true},
    };
    for (const VariantCapabilities& variant : variants) {
        if (variant.module == module)
            return variant;
    }
    return none;
}
