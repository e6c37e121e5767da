#include "app/DischargeLog.h"
#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "tests/support/FakeBoardDevice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

// Runs the discharge log for a number of polls on a fake board to which a
// script feeds replies during each poll's wait, with a clock that ticks a
// second per poll.
std::string dischargeOutput(FakeBoardDevice& board, int polls, const std::function<void(int)>& beforePoll,
                            int* result = nullptr)
{
    DynelleUSBProtocolLowLevel link(board, "/dev/fake_tr417");
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    std::time_t now = 1000;
    int poll = 0;
    const DischargeClock clock{[&] { beforePoll(poll++); now += 1; }, [&] { return now; }};
    const int status = runDischargeLog(link, out, clock, polls);
    if (result)
        *result = status;
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

TEST(DischargeLog, WritesALineOnlyWhenCapacityOrFuelGaugeChanges)
{
    FakeBoardDevice board;
    const std::string output = dischargeOutput(board, 6, [&](int poll) {
        switch (poll) {
        case 0: break; // nothing answered yet: the first line shows no readings
        case 1: board.sendUnrequested("C 80\nA 75\n"); break;
        case 2: board.sendUnrequested("# getAnalogFuelGauge() = 75 1234\n"); break; // raw alone: no line
        case 3: board.sendUnrequested("A 74\n"); break;
        case 4: break;
        case 5: board.sendUnrequested("C 79\n"); break;
        }
    });
    EXPECT_EQ(output, "delta,batteryCapacity,analogFuelGauge,rawAnalogFuelGauge\n"
                      "1,-100000,-100000,-100000\n"
                      "2,80,75,-100000\n"
                      "4,80,74,1234\n"
                      "6,79,74,1234\n");
    ASSERT_GE(board.requests.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(board.requests.begin(), board.requests.begin() + 4),
              (std::vector<std::string>{"D 41", "A", "V", "C"}));
    EXPECT_EQ(board.requests.size(), 24u);
}

TEST(DischargeLog, WithoutADeviceSaysSoAndFails)
{
    FakeBoardDevice board;
    board.present = false;
    int status = 0;
    EXPECT_EQ(dischargeOutput(board, 1, [](int) {}, &status), "Cant Initialise interface\n");
    EXPECT_EQ(status, -1);
}

} // namespace
