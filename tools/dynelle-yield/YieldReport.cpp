#include "tools/dynelle-yield/YieldReport.h"

#include <algorithm>
#include <tuple>

namespace Tessaly {

RunVerdict runVerdict(const ResultsLog& log)
{
    if (!log.initialisationFailure.empty())
        return RunVerdict::Failed;
    if (log.results.empty())
        return RunVerdict::Incomplete;
    bool notRun = false;
    for (const LoggedResult& result : log.results) {
        if (result.state == LoggedState::Failed || result.state == LoggedState::Error)
            return RunVerdict::Failed;
        notRun = notRun || result.state == LoggedState::NotRun;
    }
    return notRun ? RunVerdict::Incomplete : RunVerdict::Passed;
}

const char* verdictName(RunVerdict verdict)
{
    switch (verdict) {
    case RunVerdict::Passed: return "passed";
    case RunVerdict::Failed: return "failed";
    case RunVerdict::Incomplete: return "incomplete";
    }
    return "?";
}

// Every log lists the same titles in the same order, so the entry after the
// previous one is tried first.
TestCounts& YieldReport::countsFor(std::string_view title, size_t& hint)
{
    if (hint < counts.size() && counts[hint].title == title)
        return counts[hint++];
    for (size_t i = 0; i < counts.size(); ++i) {
        if (counts[i].title == title) {
            hint = i + 1;
            return counts[i];
        }
    }
    counts.push_back(named(std::string(title)));
    hint = counts.size();
    return counts.back();
}

void YieldReport::add(const ResultsLog& log, const std::string& file)
{
    ++logs;
    firstStarted = logs == 1 ? log.started : std::min(firstStarted, log.started);
    lastStarted = std::max(lastStarted, log.started);

    ++initialisation.runs;
    ++(log.initialisationFailure.empty() ? initialisation.passed : initialisation.failed);
    size_t hint = 0;
    for (const LoggedResult& result : log.results) {
        TestCounts& c = countsFor(result.title, hint);
        ++c.runs;
        switch (result.state) {
        case LoggedState::Passed: ++c.passed; break;
        case LoggedState::Failed:
        case LoggedState::Error: ++c.failed; break;
        case LoggedState::Skipped: ++c.skipped; break;
        case LoggedState::NotRun: ++c.notRun; break;
        }
    }

    if (log.serial.empty() || log.serial == "Unassigned")
        ++unassigned;
    else
        runsBySerial[std::string(log.serial)].push_back({log.started, file, runVerdict(log)});
}

std::vector<TestCounts> YieldReport::tests() const
{
    std::vector<TestCounts> all;
    if (logs > 0)
        all.push_back(initialisation);
    all.insert(all.end(), counts.begin(), counts.end());
    return all;
}

std::vector<BoardSummary> YieldReport::boards() const
{
    std::vector<BoardSummary> all;
    all.reserve(runsBySerial.size());
    for (const auto& [serial, unordered] : runsBySerial) {
        std::vector<const Run*> runs;
        for (const Run& run : unordered)
            runs.push_back(&run);
        std::sort(runs.begin(), runs.end(), [](const Run* a, const Run* b) {
            return std::tie(a->started, a->file) < std::tie(b->started, b->file);
        });
        BoardSummary board;
        board.serial = serial;
        board.runs = runs.size();
        for (const Run* run : runs) {
            if (run->verdict == RunVerdict::Incomplete)
                continue;
            if (!board.firstComplete)
                board.firstComplete = run->verdict;
            board.latestComplete = run->verdict;
        }
        board.latest = runs.back()->verdict;
        board.latestFile = runs.back()->file;
        all.push_back(std::move(board));
    }
    return all;
}

YieldSummary YieldReport::summary() const
{
    YieldSummary s;
    s.logs = logs;
    s.unassignedRuns = unassigned;
    s.firstStarted = firstStarted;
    s.lastStarted = lastStarted;
    for (const BoardSummary& board : boards()) {
        ++s.boards;
        if (board.firstComplete) {
            ++s.boardsWithVerdict;
            s.firstPassBoards += *board.firstComplete == RunVerdict::Passed;
            s.finalPassBoards += *board.latestComplete == RunVerdict::Passed;
        }
        if (board.latestComplete != RunVerdict::Passed)
            s.openBoards.push_back(board.serial);
    }
    return s;
}

} // namespace Tessaly
