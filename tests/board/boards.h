#pragma once

#include "board/Rix.h"
#include "board/Tav1.h"
#include "board/Tav2.h"
#include "board/Trekon.h"

#include <memory>

// The board TavManager would build for `module`.
inline std::unique_ptr<TavBoard> makeBoard(
    TavBoard::Module module, QSerialPort::BaudRate baudRate = QSerialPort::Baud9600)
{
    switch (module) {
    case TavBoard::TAV1: return std::make_unique<Tav1>(nullptr, baudRate);
    case TavBoard::TAV2: return std::make_unique<Tav2>(nullptr, baudRate);
    case TavBoard::RIX: return std::make_unique<Rix>(nullptr, baudRate);
    case TavBoard::TREKON: return std::make_unique<Trekon>(nullptr, baudRate);
    default: return nullptr;
    }
}
