#pragma once

#include <cstdint>

// Progress shared by all flash routines for the life of the process: the
// counters only grow, so a percentage is of everything erased and copied.
struct FlashProgress {
    uint32_t done;        // bytes erased or copied so far
    uint32_t total;       // bytes expected
    uint32_t lastPercent; // last percentage printed
    bool noisy;           // human-readable messages and in-place percentage
    bool progress;        // machine-readable percentage lines
    bool noErase;         // copies to MTD devices skip the erase
};

FlashProgress& flashProgress();
