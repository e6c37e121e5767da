#include "platform/Flash.h"
#include "tests/platform/FreshProcess.h"
#include "tests/platform/SimulatedUnit.h"

#include <functional>

// The progress counters live for the process and never reset, so each case
// runs in a fresh child, on a unit of its own that it removes before it ends.
TEST(FlashProgress, PrintedByteForByte)
{
    const struct {
        const char* name;
        std::function<void()> switches;
        std::vector<long> copies;  // sizes of successive file-to-file copies
        std::string expected;      // standard error, byte for byte; @ for " bytes from SOURCE to DEST\n"
    } cases[] = {
        {"machine-readable", [] { setProgress(true); }, {4096}, "100\n"},
        {"rounds halves up, one line a chunk", [] { setProgress(true); }, {32768},
         "013\n025\n038\n050\n063\n075\n088\n100\n"},
        {"counters carry over to the next copy", [] { setProgress(true); }, {4096, 4096}, "100\n200\n"},
        {"noisy after progress: backspaces and lines", [] { setProgress(true); setNoisy(true); }, {4096},
         "4096 bytes to transfer\nTransfer in progress: ...\b\b\b100\n\nSuccess! Copied 4096@"},
        {"noisy alone: in place", [] { setNoisy(true); }, {8192},
         "8192 bytes to transfer\nTransfer in progress: ...\b\b\b050\b\b\b100\nSuccess! Copied 8192@"},
        {"progress clears noisy", [] { setNoisy(true); setProgress(true); }, {4096}, "100\n"},
        {"neither: silent", [] {}, {4096}, ""},
    };
    for (const auto& c : cases) {
        IN_FRESH_PROCESS({
            SimulatedUnit unit({});
            unit.write("source", std::string(32768, 'p'));
            const std::string source = unit.path("source"), destination = unit.path("copy");
            std::string expected = c.expected;
            if (const size_t at = expected.find('@'); at != std::string::npos)
                expected.replace(at, 1, " bytes from " + source + " to " + destination + "\n");
            CaptureStderr();
            c.switches();
            for (long size : c.copies)
                flashCopy(source.c_str(), destination.c_str(), size, 0);
            EXPECT_EQ(GetCapturedStderr(), expected) << c.name;
        });
    }
}
