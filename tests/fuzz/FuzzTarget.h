#pragma once

#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

// Entry point every target defines; libFuzzer calls it, and so does the
// replay driver that runs the saved corpus in the ordinary test suite.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Qt's warnings about bad input are expected here and would only slow the
// run down.
inline void silenceQtMessages()
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.critical=false\n*.warning=false\n*.debug=false"));
}
