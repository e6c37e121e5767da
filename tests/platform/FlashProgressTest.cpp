#include "platform/Flash.h"
#include "tests/platform/SimulatedUnit.h"

#include <functional>

namespace {

// The progress counters live for the process and never reset, so each case
// runs in a fresh child and reports a mismatch through its exit status.
struct ProgressCase {
    const char* name;
    std::function<void()> switches;
    std::vector<long> copies; // sizes of successive file-to-file copies
    std::string expected;     // standard error, byte for byte; %S, %D the paths
};

std::string fill(std::string text, const std::string& source, const std::string& destination)
{
    for (auto [key, value] : {std::pair<std::string, std::string>{"%S", source}, {"%D", destination}})
        for (size_t at; (at = text.find(key)) != std::string::npos;)
            text.replace(at, 2, value);
    return text;
}

bool matches(const ProgressCase& c)
{
    SimulatedUnit unit({});
    unit.write("source", std::string(32768, 'p'));
    const std::string source = unit.path("source"), destination = unit.path("copy");
    CapturedStream errors(stderr);
    c.switches();
    for (long size : c.copies)
        flashCopy(source.c_str(), destination.c_str(), size, 0);
    const std::string text = errors.text();
    const std::string expected = fill(c.expected, source, destination);
    if (text != expected)
        std::fprintf(stderr, "got:\n%s\nwanted:\n%s\n", text.c_str(), expected.c_str());
    return text == expected;
}

// Leaves through _Exit, after the unit's directory is gone.
void runCase(const ProgressCase& c)
{
    std::_Exit(matches(c) ? 0 : 1);
}

TEST(FlashProgress, PrintedByteForByte)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const ProgressCase cases[] = {
        {"machine-readable", [] { setProgress(true); }, {4096}, "100\n"},
        {"rounds halves up, one line a chunk", [] { setProgress(true); }, {32768},
         "013\n025\n038\n050\n063\n075\n088\n100\n"},
        {"counters carry over to the next copy", [] { setProgress(true); }, {4096, 4096}, "100\n200\n"},
        {"noisy after progress: backspaces and lines", [] { setProgress(true); setNoisy(true); }, {4096},
         "4096 bytes to transfer\nTransfer in progress: ...\b\b\b100\n\nSuccess! Copied 4096 bytes from %S to %D\n"},
        {"noisy alone: in place", [] { setNoisy(true); }, {8192},
         "8192 bytes to transfer\nTransfer in progress: ...\b\b\b050\b\b\b100\nSuccess! Copied 8192 bytes from %S to %D\n"},
        {"progress clears noisy", [] { setNoisy(true); setProgress(true); }, {4096}, "100\n"},
        {"neither: silent", [] {}, {4096}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EXIT(runCase(c), testing::ExitedWithCode(0), "") << c.name;
}

} // namespace
