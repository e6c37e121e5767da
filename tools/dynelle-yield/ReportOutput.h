#pragma once

#include "tools/dynelle-yield/YieldReport.h"

#include <ostream>
#include <string>
#include <vector>

namespace Tessaly {

struct SkippedFile {
    std::string file;
    std::string reason;
};

// The report as an aligned text table with a bar chart of failures per
// test, as CSV (the test table, an empty line, the board table) or as one
// JSON object.
void writeTextReport(std::ostream& out, const YieldReport& report, const std::vector<SkippedFile>& skipped);
void writeCsvReport(std::ostream& out, const YieldReport& report);
void writeJsonReport(std::ostream& out, const YieldReport& report, const std::vector<SkippedFile>& skipped);

// 202612041405 -> "2026-12-04 14:05"
std::string formatStarted(int64_t started);

} // namespace Tessaly
