#pragma once

namespace Tessaly {

// Sets up the diagnostic logger "KWLOG": standard output (when asked for)
// and the system log. Call once, before any reporting site runs.
bool initLogging(bool toStdout, const char* logDirectory);

// Flushes and unregisters every logger.
void ceaseLogging();

// While the operator's console owns the terminal, messages meant for standard
// output are held back and written once it is released, so they never land
// on the operator's screen. The system log receives them at once either way.
void holdStandardOutput();
void releaseStandardOutput();

} // namespace Tessaly
