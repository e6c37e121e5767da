#pragma once

#include "tools/unit-flash/CommandLine.h"

namespace UnitFlash {

// Runs one command; returns the process exit status.
int runCommand(const CommandLine& line);

constexpr int usageStatus = 64;

} // namespace UnitFlash
