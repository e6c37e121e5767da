#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Tessaly {

// One result line's state, as the test program writes it.
enum class LoggedState { Passed, Failed, Skipped, NotRun, Error };

struct LoggedResult {
    std::string_view title;
    LoggedState state;
};

// A results log as read from its bytes. Views point into the text given to
// parseResultsLog and live as long as it does.
struct ResultsLog {
    int64_t started = 0;             // yyyymmddhhmm, local time of the bench
    std::string_view serial;
    std::string_view version;        // empty when the initialisation failed
    std::string_view initialisationFailure;  // e.g. "No data from the USB Device"; empty when it passed
    std::vector<LoggedResult> results;       // empty when the run never reached its end
};

// Reads the exact format the test program writes; on a file that is not
// such a log (or is cut short inside its header) gives false and says why.
bool parseResultsLog(std::string_view text, ResultsLog& log, std::string& error);

// "2026-12-04" -> 20261204; false for anything else.
bool parseIsoDate(std::string_view text, int64_t& yyyymmdd);

} // namespace Tessaly
