#pragma once

#include <cstdio>

class DynelleUSBProtocolLowLevel;

// Polls the board once a second and writes a CSV line whenever the battery
// capacity or the analog fuel gauge changes, until the process is killed.
// Returns -1 only if the link cannot be initialised.
int runDischargeLog(DynelleUSBProtocolLowLevel& link, std::FILE* out);
