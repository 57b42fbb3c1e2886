#ifndef FUZZCOMMON_H
#define FUZZCOMMON_H

#include <QString>

#include <cstddef>
#include <cstdint>

// Every fuzz target defines this; it runs one input and returns 0.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Shared by all targets: the application object, settings in a temporary
// home, Qt's chatter silenced. libFuzzer calls it once before any input.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace Fuzz {
// A property the target checks did not hold: stops the run as a crash would.
[[noreturn]] void fail(const QString& what);
}

#endif
