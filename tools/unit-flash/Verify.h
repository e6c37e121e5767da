#pragma once

#include <string>

namespace UnitFlash {

struct VerifyResult {
    int code = 0;           // 0 same, -2 source, -3 destination unreadable, -4 read error, -6 differs
    long compared = 0;      // bytes found equal
    long differsAt = -1;    // destination offset of the first difference
};

// Compares `size` bytes of `source` from its start (all of it when size is
// negative) with `destination` from `offset`. An empty source is standard input.
VerifyResult verifyCopy(const std::string& source, const std::string& destination, long size, long offset);

} // namespace UnitFlash
