#pragma once

#include "ModuleType.h"
#include "log/Logger.h"

#include <QSerialPort>

// What a module variant has beyond the commands it knows (those are in the
// command table): read where needed instead of switching on the variant.
struct VariantCapabilities {
    ModuleType::Module module;
    QSerialPort::BaudRate defaultBaudRate;
    Logger::Source logSource;
    // Sleeps until its wake-up button is pressed.
    bool startsAsleep;
    // Carries a LoRa radio beside the Argos one, from firmware `loraMinVersion`.
    bool lora;
    const char* loraMinVersion;
    bool sensors;
    // Reads its whole configuration when connected and takes it back as a
    // configuration file and an upload that ends in a reset.
    bool configurationFile;

    static const VariantCapabilities& of(ModuleType::Module module);
};
