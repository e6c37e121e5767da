#pragma once

#include <cstdio>
#include <ctime>
#include <functional>

class DynelleUSBProtocolLowLevel;

// How the discharge log passes time: production sleeps a second and reads
// the wall clock; tests pass their own.
struct DischargeClock {
    std::function<void()> waitOneSecond;
    std::function<std::time_t()> now;
};
DischargeClock realDischargeClock();

// Polls the board once a second and writes a CSV line whenever the battery
// capacity or the analog fuel gauge changes. Runs `iterations` polls, or for
// ever when negative (the operator ends it with Ctrl-C). Returns -1 if the
// link cannot be initialised, 0 after the given polls.
int runDischargeLog(DynelleUSBProtocolLowLevel& link, std::FILE* out, const DischargeClock& clock,
                    int iterations = -1);
