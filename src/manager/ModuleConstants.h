#pragma once

#include "protocol/CommandTable.h"
#include "protocol/ModuleTexts.h"

// What the parts of the manager share, so that none of them includes the
// facade: the request timeouts of the command table, the module's texts and
// how often a vanished device is looked for.
namespace ModuleConstants {

constexpr quint16 REQUEST_TIMEOUT_MS = CommandTable::SHORT_TIMEOUT_MS;
constexpr quint16 REQUEST_LARGE_TIMEOUT_MS = CommandTable::LARGE_TIMEOUT_MS;
constexpr int RECONNECT_POLL_MS = 500;

} // namespace ModuleConstants
