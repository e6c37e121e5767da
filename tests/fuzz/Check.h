#pragma once

// The harnesses' oracle: a broken property aborts, named, so that the fuzzer
// keeps the input as a finding.

#include <cstdio>
#include <cstdlib>

inline void check(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken: %s\n", property);
    std::abort();
}
