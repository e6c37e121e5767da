#include "tools/dynelle-yield/ReportOutput.h"
#include "tools/dynelle-yield/ResultsLog.h"
#include "tools/dynelle-yield/YieldReport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

using namespace Tessaly;

namespace {

std::string header(const std::string& serial, const std::string& started = "14:05 04/12/2026")
{
    return "Dynelle Test Log\n~~~~~~~~~~~~~~~~~~~~\n\nTests Started: " + started + "\nSerial No: " + serial + "\n";
}

const std::string initialised = "tr417 sw version: V1.0 tr417\r\n\nPASSED - Initialisation Tests\n";

} // namespace

TEST(ResultsLog, VerdictsAndRefusals)
{
    // The log, the start of the refusal (empty: it reads, with the verdict given).
    const std::tuple<std::string, const char*, RunVerdict> rows[] = {
        {header("A") + initialised + "PASSED  - One\nSKIPPED - Two\n", "", RunVerdict::Passed},
        {header("A") + initialised + "PASSED  - One\n*ERROR* - Two\n", "", RunVerdict::Failed},
        {header("A") + initialised, "", RunVerdict::Incomplete},  // killed before the result lines
        {header("A") + "FAIL!! - No data from the USB Device\nNot Run - One\n", "", RunVerdict::Failed},
        {header("A") + initialised + "PASSED  - One", "", RunVerdict::Passed},  // last line without its line feed
        {"", "line 1: not a results log", RunVerdict::Failed},
        {"Dynelle Test Log\n~~~\n", "line 2: expected the line of twenty tildes", RunVerdict::Failed},
        {header("A", "9:05 04/12/2026"), "line 4: expected \"Tests Started", RunVerdict::Failed},
        {header("A", "14:05 04/13/2026"), "line 4: expected \"Tests Started", RunVerdict::Failed},
        {header("A"), "line 6: cut short", RunVerdict::Failed},
        {header("A") + "FAIL!! - \n", "line 6: initialisation failure without a reason", RunVerdict::Failed},
        {header("A") + "tr417 sw version: V\nPASSED - Initialisation Tests\n", "line 7: expected an empty line",
         RunVerdict::Failed},
        {header("A") + initialised + "PASSED - One\n", "line 9: not a result line", RunVerdict::Failed},
        {header("A") + initialised + "PASSED  - \n", "line 9: not a result line", RunVerdict::Failed},
    };
    for (const auto& [text, refusal, verdict] : rows) {
        ResultsLog log;
        std::string error;
        const bool read = parseResultsLog(text, log, error);
        EXPECT_EQ(read, *refusal == '\0') << text << error;
        if (read)
            EXPECT_EQ(runVerdict(log), verdict) << text;
        else
            EXPECT_EQ(error.rfind(refusal, 0), 0u) << error;
    }
}

// Five boards by hand: P passes at once (its serial as typed needs quoting
// and escaping); F fails, is repaired and passes; R fails twice; I has only a
// run quit early; S's second run is the only complete one and fails. Runs are
// added out of order on purpose.
TEST(YieldReport, FirstPassAndFinalYieldsByHand)
{
    const std::pair<std::string, std::string> runs[] = {
        {"f2.txt", header("F", "10:00 05/12/2026") + initialised + "PASSED  - One\nPASSED  - Two\n"},
        {"f1.txt", header("F", "09:00 05/12/2026") + initialised + "FAIL!!  - One\nNot Run - Two\n"},
        {"p1.txt", header("P,\"1\"\\", "09:30 05/12/2026") + initialised + "PASSED  - One\nSKIPPED - Two\n"},
        {"r1.txt", header("R", "08:00 05/12/2026") + "FAIL!! - Cannot open the USB Device\nNot Run - One\nNot Run - Two\n"},
        {"r2.txt", header("R", "08:00 06/12/2026") + initialised + "PASSED  - One\nFAIL!!  - Two\n"},
        {"i1.txt", header("I", "11:00 05/12/2026") + initialised + "Not Run - One\nNot Run - Two\n"},
        {"s1.txt", header("S", "07:00 05/12/2026") + initialised},
        {"s2.txt", header("S", "07:30 05/12/2026") + initialised + "FAIL!!  - One\nPASSED  - Two\n"},
        {"u1.txt", header("Unassigned", "07:30 05/12/2026") + initialised + "PASSED  - One\nPASSED  - Two\n"},
    };
    YieldReport report;
    for (const auto& [file, text] : runs) {
        ResultsLog log;
        std::string error;
        ASSERT_TRUE(parseResultsLog(text, log, error)) << error;
        report.add(log, file);
    }
    const YieldSummary s = report.summary();
    EXPECT_EQ((std::vector<uint64_t>{s.logs, s.unassignedRuns, s.boards, s.boardsWithVerdict, s.firstPassBoards,
                                     s.finalPassBoards}),
              (std::vector<uint64_t>{9, 1, 5, 4, 1, 2}));  // first pass: P; final: P, F
    EXPECT_EQ(s.openBoards, (std::vector<std::string>{"I", "R", "S"}));
    EXPECT_EQ(s.firstStarted, 202612050700);
    EXPECT_EQ(s.lastStarted, 202612060800);

    // The per-test rows (runs, passed, failed, skipped, not run, pass rate) and the per-board rows (serial, runs,
    // first, final and latest verdicts, latest log) as the report writes them.
    EXPECT_EQ(report.boards().at(1).serial, "I"); // sorted by serial, not in the order added
    std::ostringstream csv, json;
    writeCsvReport(csv, report);
    EXPECT_NE(csv.str().find("\nInitialisation Tests,9,8,1,0,0,0.8889\nOne,8,4,2,0,2,0.6667\nTwo,8,3,1,1,3,0.7500\n"),
              std::string::npos) << csv.str();
    EXPECT_NE(csv.str().find("\nF,2,failed,passed,passed,f2.txt\n"), std::string::npos) << csv.str();
    EXPECT_NE(csv.str().find("\nI,1,,,incomplete,i1.txt\n"), std::string::npos) << csv.str();
    EXPECT_NE(csv.str().find("\n\"P,\"\"1\"\"\\\",1,passed,passed,passed,p1.txt\n"), std::string::npos) << csv.str();
    writeJsonReport(json, report, {{"bad\x01.txt", "line 1: not a results log"}});
    EXPECT_NE(json.str().find("\"serial\": \"P,\\\"1\\\"\\\\\""), std::string::npos) << json.str();
    EXPECT_NE(json.str().find("\"bad\\u0001.txt\""), std::string::npos) << json.str();
    EXPECT_EQ(formatStarted(202612041405), "2026-12-04 14:05");
}
