#include "tools/dynelle-yield/ReportOutput.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>

namespace Tessaly {

namespace {

std::string percent(uint64_t part, uint64_t whole)
{
    if (whole == 0)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f %%", 100.0 * double(part) / double(whole));
    return text;
}

std::string rate(const TestCounts& c)
{
    return percent(c.passed, c.passed + c.failed);
}

const char* optionalVerdict(const std::optional<RunVerdict>& verdict)
{
    return verdict ? verdictName(*verdict) : "-";
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

// Quotes a CSV field when it holds a separator, a quote or a line break.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

} // namespace

std::string formatStarted(int64_t started)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", int(started / 100000000), int(started / 1000000 % 100),
                  int(started / 10000 % 100), int(started / 100 % 100), int(started % 100));
    return text;
}

void writeTextReport(std::ostream& out, const YieldReport& report, const std::vector<SkippedFile>& skipped)
{
    const YieldSummary s = report.summary();
    out << "Results logs: " << s.logs;
    if (s.logs > 0)
        out << ", started " << formatStarted(s.firstStarted) << " to " << formatStarted(s.lastStarted);
    out << "; files skipped: " << skipped.size() << "\n";
    out << "Boards: " << s.boards << " (" << s.boardsWithVerdict << " with a verdict";
    if (s.unassignedRuns > 0)
        out << "; " << s.unassignedRuns << " run(s) without a serial number not counted";
    out << ")\n";
    out << "First-pass yield: " << s.firstPassBoards << " of " << s.boardsWithVerdict << " boards ("
        << percent(s.firstPassBoards, s.boardsWithVerdict) << ")\n";
    out << "Final yield:      " << s.finalPassBoards << " of " << s.boardsWithVerdict << " boards ("
        << percent(s.finalPassBoards, s.boardsWithVerdict) << ")\n";
    // A long list would bury the tables; the board table and --csv hold them all.
    constexpr size_t kOpenBoardsShown = 20;
    out << "Open boards:      ";
    for (size_t i = 0; i < std::min(s.openBoards.size(), kOpenBoardsShown); ++i)
        out << (i ? ", " : "") << s.openBoards[i];
    if (s.openBoards.size() > kOpenBoardsShown)
        out << " and " << s.openBoards.size() - kOpenBoardsShown << " more";
    out << (s.openBoards.empty() ? "none\n" : "\n");

    const std::vector<TestCounts> tests = report.tests();
    size_t width = 4;
    uint64_t mostFailures = 0;
    for (const TestCounts& c : tests) {
        width = std::max(width, c.title.size());
        mostFailures = std::max(mostFailures, c.failed);
    }
    const int w = int(width);
    out << "\n" << std::left << std::setw(w) << "Test" << std::right << "  " << std::setw(6) << "Runs" << std::setw(8)
        << "Passed" << std::setw(8) << "Failed" << std::setw(9) << "Skipped" << std::setw(9) << "Not run"
        << std::setw(11) << "Pass rate" << "\n";
    for (const TestCounts& c : tests)
        out << std::left << std::setw(w) << c.title << std::right << "  " << std::setw(6) << c.runs << std::setw(8)
            << c.passed << std::setw(8) << c.failed << std::setw(9) << c.skipped << std::setw(9) << c.notRun
            << std::setw(11) << rate(c) << "\n";

    out << "\nFailures per test\n";
    if (mostFailures == 0)
        out << "  none\n";
    constexpr uint64_t barWidth = 40;
    for (const TestCounts& c : tests) {
        if (c.failed == 0)
            continue;
        const uint64_t length = std::max<uint64_t>(1, (c.failed * barWidth + mostFailures - 1) / mostFailures);
        out << std::left << std::setw(w) << c.title << std::right << "  " << std::string(length, '#') << " " << c.failed
            << "\n";
    }

    const std::vector<BoardSummary> boards = report.boards();
    size_t serialWidth = 6;
    for (const BoardSummary& b : boards)
        serialWidth = std::max(serialWidth, b.serial.size());
    const int sw = int(serialWidth);
    out << "\n" << std::left << std::setw(sw) << "Serial" << "  " << std::right << std::setw(5) << "Runs" << "  "
        << std::left << std::setw(11) << "First" << std::setw(11) << "Final" << std::setw(11) << "Latest run"
        << "Latest log\n";
    for (const BoardSummary& b : boards)
        out << std::left << std::setw(sw) << b.serial << "  " << std::right << std::setw(5) << b.runs << "  "
            << std::left << std::setw(11) << optionalVerdict(b.firstComplete) << std::setw(11)
            << optionalVerdict(b.latestComplete) << std::setw(11) << verdictName(b.latest) << b.latestFile << "\n";

    if (!skipped.empty()) {
        out << "\nSkipped files\n";
        for (const SkippedFile& f : skipped)
            out << "  " << f.file << ": " << f.reason << "\n";
    }
    out << std::right;
}

void writeCsvReport(std::ostream& out, const YieldReport& report)
{
    out << "test,runs,passed,failed,skipped,not_run,pass_rate\n";
    for (const TestCounts& c : report.tests()) {
        char ratio[16] = "";
        if (c.passed + c.failed > 0)
            std::snprintf(ratio, sizeof ratio, "%.4f", double(c.passed) / double(c.passed + c.failed));
        out << csvField(c.title) << ',' << c.runs << ',' << c.passed << ',' << c.failed << ',' << c.skipped << ','
            << c.notRun << ',' << ratio << "\n";
    }
    out << "\nserial,runs,first_verdict,final_verdict,latest_run,latest_log\n";
    for (const BoardSummary& b : report.boards())
        out << csvField(b.serial) << ',' << b.runs << ',' << (b.firstComplete ? verdictName(*b.firstComplete) : "")
            << ',' << (b.latestComplete ? verdictName(*b.latestComplete) : "") << ',' << verdictName(b.latest) << ','
            << csvField(b.latestFile) << "\n";
}

void writeJsonReport(std::ostream& out, const YieldReport& report, const std::vector<SkippedFile>& skipped)
{
    const YieldSummary s = report.summary();
    out << "{\n  \"logs\": " << s.logs << ",\n";
    out << "  \"firstStarted\": " << (s.logs ? jsonString(formatStarted(s.firstStarted)) : "null") << ",\n";
    out << "  \"lastStarted\": " << (s.logs ? jsonString(formatStarted(s.lastStarted)) : "null") << ",\n";
    out << "  \"boards\": " << s.boards << ",\n  \"boardsWithVerdict\": " << s.boardsWithVerdict << ",\n";
    out << "  \"unassignedRuns\": " << s.unassignedRuns << ",\n";
    out << "  \"firstPassBoards\": " << s.firstPassBoards << ",\n  \"finalPassBoards\": " << s.finalPassBoards << ",\n";
    out << "  \"openBoards\": [";
    for (size_t i = 0; i < s.openBoards.size(); ++i)
        out << (i ? ", " : "") << jsonString(s.openBoards[i]);
    out << "],\n  \"tests\": [";
    const auto tests = report.tests();
    for (size_t i = 0; i < tests.size(); ++i) {
        const TestCounts& c = tests[i];
        out << (i ? ",\n    " : "\n    ") << "{\"title\": " << jsonString(c.title) << ", \"runs\": " << c.runs
            << ", \"passed\": " << c.passed << ", \"failed\": " << c.failed << ", \"skipped\": " << c.skipped
            << ", \"notRun\": " << c.notRun << "}";
    }
    out << "\n  ],\n  \"perBoard\": [";
    const auto boards = report.boards();
    for (size_t i = 0; i < boards.size(); ++i) {
        const BoardSummary& b = boards[i];
        const auto verdict = [](const std::optional<RunVerdict>& v) {
            return v ? jsonString(verdictName(*v)) : std::string("null");
        };
        out << (i ? ",\n    " : "\n    ") << "{\"serial\": " << jsonString(b.serial) << ", \"runs\": " << b.runs
            << ", \"firstVerdict\": " << verdict(b.firstComplete) << ", \"finalVerdict\": " << verdict(b.latestComplete)
            << ", \"latestRun\": " << jsonString(verdictName(b.latest)) << ", \"latestLog\": " << jsonString(b.latestFile)
            << "}";
    }
    out << "\n  ],\n  \"skippedFiles\": [";
    for (size_t i = 0; i < skipped.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << "{\"file\": " << jsonString(skipped[i].file)
            << ", \"reason\": " << jsonString(skipped[i].reason) << "}";
    out << "\n  ]\n}\n";
}

} // namespace Tessaly
