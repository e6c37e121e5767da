#include "platform/BoardLibrary.h"
#include "tests/platform/FreshProcess.h"
#include "tests/platform/SimulatedHostUnit.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

struct BoardIdCase {
    const char* name;
    int kind;
    std::initializer_list<unsigned> lines;
    const char* bits;
    int expectedId;
    int expectedBaseboardVariant;  // -1: not checked
};

TEST(BoardIdentity, ReadsGpioLinesMostSignificantFirst)
{
    const BoardIdCase cases[] = {
        {"main 65", 0, {127, 126, 125, 124, 123, 122, 121}, "1000001", 65, 1},
        {"main 0", 0, {127, 126, 125, 124, 123, 122, 121}, "0000000", 0, 0},
        {"main 63", 0, {127, 126, 125, 124, 123, 122, 121}, "0111111", 63, 0},
        {"main 64", 0, {127, 126, 125, 124, 123, 122, 121}, "1000000", 64, 1},
        {"ecn 11", 3, {113, 116, 115, 114}, "1011", 11, -1},
        {"ecn 8", 3, {113, 116, 115, 114}, "1000", 8, -1},
        {"mezzanine 17", 1, {508, 507, 506, 505, 504}, "10001", 17, -1},
        {"front panel 5", 2, {502, 501, 500, 499, 498, 497, 496}, "0000101", 5, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedHostUnit unit;
        unit.setGpio(c.lines, c.bits);
        IN_FRESH_PROCESS({
            EXPECT_EQ(read_board_id(c.kind), c.expectedId);
            if (c.expectedBaseboardVariant >= 0) {
                EXPECT_EQ(get_baseboard_variant(), c.expectedBaseboardVariant);
            }
        });
    }
}

TEST(BoardIdentity, UnreadableLineGivesMinusOneAndIsTriedAgain)
{
    SimulatedHostUnit unit;
    unit.removeGpio(124);
    IN_FRESH_PROCESS({
        CaptureStderr();
        EXPECT_EQ(read_board_id(0), -1);
        EXPECT_EQ(get_baseboard_variant(), 2);
        const std::string errors = GetCapturedStderr();
        EXPECT_NE(errors.find(unit.path("/sys/class/gpio/gpio124/value") + ": No such file or directory\n"),
                  std::string::npos)
            << errors;
        unit.setBoardId(0, 65);
        EXPECT_EQ(read_board_id(0), 65);
    });
}

TEST(BoardIdentity, SuccessfulReadIsCachedAndInvalidKindsRejected)
{
    SimulatedHostUnit unit;
    unit.setBoardId(2, 9);
    IN_FRESH_PROCESS({
        EXPECT_EQ(read_board_id(2), 9);
        unit.setBoardId(2, 3);
        unit.removeGpio(502);
        EXPECT_EQ(read_board_id(2), 9);
        EXPECT_EQ(read_board_id(4), -1);
        EXPECT_EQ(read_board_id(-1), -1);
    });
}

TEST(BoardIdentity, FrontPanelVariant)
{
    const std::pair<int, int> cases[] = {{-1, 1}, {0, 1}, {4, 1}, {5, 2}, {127, 2}};
    for (const auto& [id, variant] : cases)
        EXPECT_EQ(get_front_panel_variant(id), variant) << id;
}

struct LedCase {
    const char* name;
    unsigned frontPanelId;
    uint8_t rgb[3];
    int on;
    // red (pwmchip2), green (pwmchip0), blue (pwmchip1)
    const char* duty[3];
    const char* period;
    const char* enable;
};

TEST(FrontLed, ScalesPerFrontPanelVariantAndWritesEveryChannel)
{
    const LedCase cases[] = {
        {"variant 1", 4, {255, 128, 0}, 1, {"254000", "127000", "0"}, "255000", "1"},
        {"variant 2 dims red and blue", 5, {255, 255, 255}, 1, {"90000", "254000", "167000"}, "255000", "1"},
        {"off", 4, {255, 255, 255}, 0, {"0", "0", "0"}, "0", "0"},
    };
    const char* chips[3] = {"pwmchip2", "pwmchip0", "pwmchip1"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedHostUnit unit;
        unit.setBoardId(2, c.frontPanelId);
        IN_FRESH_PROCESS({
            EXPECT_EQ(setLED(c.rgb, c.on), 0);
            for (int i = 0; i < 3; ++i) {
                const std::string dir = std::string("/sys/class/pwm/") + chips[i];
                EXPECT_EQ(unit.readFile(dir + "/pwm0/duty_cycle"), c.duty[i]) << chips[i];
                EXPECT_EQ(unit.readFile(dir + "/pwm0/period"), c.period) << chips[i];
                EXPECT_EQ(unit.readFile(dir + "/pwm0/enable"), c.enable) << chips[i];
                EXPECT_EQ(unit.readFile(dir + "/export"), "0") << chips[i];
            }
        });
    }
}

TEST(FrontLed, FailedExportIsReportedButLevelsStillWritten)
{
    SimulatedHostUnit unit;
    unit.remove("/sys/class/pwm/pwmchip1/export");
    const uint8_t rgb[3] = {0, 255, 0};
    IN_FRESH_PROCESS({
        EXPECT_EQ(setLED(rgb, 1), 1);
        EXPECT_EQ(unit.readFile("/sys/class/pwm/pwmchip0/pwm0/duty_cycle"), "254000");
    });
}

TEST(Watchdog, DisarmsWithMagicCharacter)
{
    SimulatedHostUnit unit;
    IN_FRESH_PROCESS({
        start_dog(30);  // a regular file rejects the time-out request; only the open matters here
        EXPECT_EQ(stop_dog(), 1);
        EXPECT_EQ(unit.readFile("/dev/watchdog"), "V");
    });
}

TEST(WatchdogDeathTest, AbortsWithoutDevice)
{
    SimulatedHostUnit unit;
    unit.remove("/dev/watchdog");
    EXPECT_DEATH(start_dog(10), "Couldn't open the watchdog at /dev/watchdog: \n.*No such file or directory");
    EXPECT_DEATH(kick_dog(), "^Watchdog device not open\n");
    EXPECT_DEATH(stop_dog(), "^Watchdog device not open\n");
    EXPECT_DEATH(
        {
            unit.writeFile("/dev/watchdog", "");
            start_dog(10);
            stop_dog();
            kick_dog();
        },
        "Watchdog device not open\n");
}

TEST(I2c, RefusesWithoutDescriptorOrAddress)
{
    uint8_t value = 0;
    IN_FRESH_PROCESS({
        const int fd = open("/dev/null", O_RDWR);
        EXPECT_EQ(i2cWriteByte(fd, 1, 2), -19);
        EXPECT_EQ(i2cReadByte(fd, 1, &value), -19);
        i2cSetDeviceAddress(0x2e);
        EXPECT_EQ(i2cWriteByte(-1, 1, 2), -19);
        EXPECT_EQ(i2cReadByte(-1, 1, &value), -19);
        EXPECT_EQ(i2cWriteByte(fd, 1, 2), -1);  // reached the ioctl: /dev/null is no adapter
        close(fd);
    });
}
