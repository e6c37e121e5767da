#pragma once

#include "tools/dynelle-yield/ResultsLog.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Tessaly {

// What one run says about its board: a failed test or initialisation fails
// it; otherwise a test left "Not Run" (or no result lines at all: the run
// never ended) leaves it incomplete; otherwise, every test passed or was
// skipped, it passed.
enum class RunVerdict { Passed, Failed, Incomplete };

RunVerdict runVerdict(const ResultsLog& log);
const char* verdictName(RunVerdict verdict);

struct TestCounts {
    std::string title;
    uint64_t runs = 0;
    uint64_t passed = 0;
    uint64_t failed = 0;   // "FAIL!!" and "*ERROR*"
    uint64_t skipped = 0;
    uint64_t notRun = 0;
};

struct BoardSummary {
    std::string serial;
    uint64_t runs = 0;
    std::optional<RunVerdict> firstComplete;   // the first run that reached a verdict
    std::optional<RunVerdict> latestComplete;
    RunVerdict latest = RunVerdict::Incomplete; // the newest run, whatever it reached
    std::string latestFile;
};

struct YieldSummary {
    uint64_t logs = 0;
    uint64_t unassignedRuns = 0;  // no serial number entered: no board to count
    uint64_t boards = 0;
    uint64_t boardsWithVerdict = 0;
    uint64_t firstPassBoards = 0;
    uint64_t finalPassBoards = 0;
    int64_t firstStarted = 0;  // yyyymmddhhmm, 0 without logs
    int64_t lastStarted = 0;
    std::vector<std::string> openBoards;  // latest verdict not a pass
};

// Counts over many results logs. Logs may come in any order: each board's
// runs are ordered by their start time (then file name) when asked.
class YieldReport {
public:
    void add(const ResultsLog& log, const std::string& file);

    std::vector<TestCounts> tests() const;  // initialisation first, then in the order titles appeared
    std::vector<BoardSummary> boards() const;  // by serial number
    YieldSummary summary() const;

private:
    struct Run {
        int64_t started;
        std::string file;
        RunVerdict verdict;
    };
    TestCounts& countsFor(std::string_view title, size_t& hint);
    static TestCounts named(std::string title)
    {
        TestCounts counts;
        counts.title = std::move(title);
        return counts;
    }

    TestCounts initialisation = named("Initialisation Tests");
    std::vector<TestCounts> counts;
    std::map<std::string, std::vector<Run>> runsBySerial;
    uint64_t logs = 0;
    uint64_t unassigned = 0;
    int64_t firstStarted = 0;
    int64_t lastStarted = 0;
};

} // namespace Tessaly
