#include "VariantCapabilities.h"

const VariantCapabilities& VariantCapabilities::of(ModuleType::Module module)
{
    // module, default baud rate, log source, starts asleep, LoRa, LoRa from, sensors, configuration file
    static const VariantCapabilities none {
        ModuleType::NA, QSerialPort::Baud9600, Logger::TAV, false, false, "", false, false};
    static const VariantCapabilities variants[] = {
        {ModuleType::TAV1, QSerialPort::Baud9600, Logger::TAV, false, false, "", false, false},
        {ModuleType::TAV2, QSerialPort::Baud9600, Logger::TAV, false, false, "", false, false},
        {ModuleType::RIX, QSerialPort::Baud9600, Logger::TAV, false, false, "", false, false},
        {ModuleType::TREKON, QSerialPort::Baud115200, Logger::TRK, true, true, "1.4", true, true},
    };
    for (const VariantCapabilities& variant : variants) {
        if (variant.module == module)
            return variant;
    }
    return none;
}
