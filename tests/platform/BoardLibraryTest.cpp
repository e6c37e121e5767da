#include "platform/BoardLibrary.h"
#include "tests/platform/FreshProcess.h"
#include "tests/platform/SimulatedHostUnit.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

TEST(BoardIdentity, ReadsGpioLinesMostSignificantFirst)
{
    const struct {
        int kind;
        unsigned id;
        int baseboardVariant;
    } cases[] = {{0, 65, 1}, {0, 0, 0}, {0, 63, 0}, {0, 64, 1}, {3, 11, 0}, {1, 19, 0}, {2, 5, 0}};  // 64, 11, 19 and 5 read otherwise backwards
    for (const auto& c : cases) {
        IN_FRESH_PROCESS({
            SimulatedHostUnit unit;
            unit.setBoardId(c.kind, c.id);
            EXPECT_EQ(read_board_id(c.kind), static_cast<int>(c.id)) << c.kind;
            EXPECT_EQ(get_baseboard_variant(), c.baseboardVariant) << c.kind;
        });
    }
}

TEST(BoardIdentity, UnreadableLineIsRetriedAndSuccessIsCached)
{
    IN_FRESH_PROCESS({
        SimulatedHostUnit unit;
        unit.remove(unit.gpio(124));
        testing::internal::CaptureStderr();
        EXPECT_EQ(read_board_id(0), -1);
        EXPECT_EQ(get_baseboard_variant(), 2);
        EXPECT_NE(testing::internal::GetCapturedStderr().find(unit.path(unit.gpio(124)) + ": No such file or directory\n"),
                  std::string::npos);
        unit.setBoardId(0, 65);
        EXPECT_EQ(read_board_id(0), 65);
        unit.remove(unit.gpio(127));
        EXPECT_EQ(read_board_id(0), 65);
        EXPECT_EQ(read_board_id(4), -1);
    });
    for (const auto& [id, variant] : {std::pair{-1, 1}, {4, 1}, {5, 2}})
        EXPECT_EQ(get_front_panel_variant(id), variant) << id;
}

TEST(FrontLed, ScalesPerFrontPanelVariantAndWritesEveryChannel)
{
    const struct {
        unsigned frontPanelId;
        uint8_t rgb[3];
        int on;
        const char* files[3][3];  // red (pwmchip2), green (pwmchip0), blue (pwmchip1): period, duty, enable
    } cases[] = {
        {4, {255, 128, 0}, 1, {{"255000", "254000", "1"}, {"255000", "127000", "1"}, {"255000", "0", "1"}}},
        {5, {255, 255, 255}, 1, {{"255000", "90000", "1"}, {"255000", "254000", "1"}, {"255000", "167000", "1"}}},
        {4, {255, 255, 255}, 0, {{"0", "0", "0"}, {"0", "0", "0"}, {"0", "0", "0"}}},
    };
    for (const auto& c : cases) {
        IN_FRESH_PROCESS({
            SimulatedHostUnit unit;
            unit.setBoardId(2, c.frontPanelId);
            EXPECT_EQ(setLED(c.rgb, c.on), 0);
            const char* chips[3] = {"pwmchip2", "pwmchip0", "pwmchip1"};
            for (int i = 0; i < 3; ++i) {
                const std::string dir = std::string("sys/class/pwm/") + chips[i];
                EXPECT_EQ(unit.read(dir + "/export"), "0");
                EXPECT_EQ(unit.read(dir + "/pwm0/period"), c.files[i][0]) << c.frontPanelId << chips[i];
                EXPECT_EQ(unit.read(dir + "/pwm0/duty_cycle"), c.files[i][1]) << c.frontPanelId << chips[i];
                EXPECT_EQ(unit.read(dir + "/pwm0/enable"), c.files[i][2]) << c.frontPanelId << chips[i];
            }
            // A failed export is reported; the levels are written anyway.
            unit.remove("sys/class/pwm/pwmchip1/export");
            EXPECT_EQ(setLED(c.rgb, 1), 1);
            EXPECT_EQ(unit.read("sys/class/pwm/pwmchip1/pwm0/enable"), "1");
        });
    }
}

TEST(WatchdogDeathTest, DisarmsWithMagicCharacterAndAbortsWithoutDevice)
{
    IN_FRESH_PROCESS({
        SimulatedHostUnit unit;
        start_dog(30);  // a regular file rejects the time-out request; only the open matters
        EXPECT_EQ(stop_dog(), 1);
        EXPECT_EQ(unit.read("dev/watchdog"), "V");
    });
    EXPECT_DEATH(kick_dog(), "^Watchdog device not open\n");
    EXPECT_DEATH(stop_dog(), "^Watchdog device not open\n");
    EXPECT_DEATH({ { SimulatedHostUnit unit; start_dog(10); stop_dog(); } kick_dog(); }, "^Watchdog device not open\n");
    EXPECT_DEATH({ platform_set_root("/nonexistent"); start_dog(10); }, "^Couldn't open the watchdog at /dev/watchdog: \n.*No such file or directory");
}

TEST(I2c, RefusesWithoutDescriptorOrAddress)
{
    IN_FRESH_PROCESS({
        uint8_t value = 0;
        const int fd = open("/dev/null", O_RDWR);
        EXPECT_EQ(i2cWriteByte(fd, 1, 2), -19);
        EXPECT_EQ(i2cReadByte(fd, 1, &value), -19);
        i2cSetDeviceAddress(0x2e);
        EXPECT_EQ(i2cReadByte(-1, 1, &value), -19);
        EXPECT_EQ(i2cWriteByte(fd, 1, 2), -1);  // reached the adapter: /dev/null is none
        close(fd);
    });
}
