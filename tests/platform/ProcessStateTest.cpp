#include "platform/BoardLibrary.h"
#include "platform/Flash.h"
#include "platform/KwPlatformAbstraction.h"
#include "platform/PlatformRoot.h"
#include "platform/ServerCommon.h"
#include "platform/VersionInfo.h"
#include "tests/platform/FreshProcess.h"
#include "tests/platform/OnSimulatedUnit.h"

#include <fcntl.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QStringList>

#include <functional>

using KwTypes::boardIdentity;

TEST(BoardIdentity, UnreadableLineIsRetriedSuccessIsCachedAndMeansNoBoard)
{
    IN_FRESH_PROCESS({
        SimulatedHostUnit unit;
        unit.remove(unit.gpio(124));
        unit.remove(unit.gpio(506));  // mezzanine unreadable
        CaptureStderr();
        EXPECT_EQ(read_board_id(0), -1);
        EXPECT_NE(GetCapturedStderr().find(unit.path(unit.gpio(124)) + ": No such file or directory\n"), std::string::npos);
        unit.setBoardId(0, 70);
        EXPECT_EQ(read_board_id(0), 70);
        unit.remove(unit.gpio(127));
        EXPECT_EQ(read_board_id(0), 70);
        EXPECT_EQ(read_board_id(4), -1);
        std::unique_ptr<Tessaly::PlatformAbstractionInterface> platform = std::make_unique<Tessaly::KwPlatformAbstraction>();
        for (int which = -1; which <= 5; ++which)
            EXPECT_EQ(platform->hasBoard(static_cast<boardIdentity>(which)), which == 0 || which == 2 || which == 3) << which;
    });
}

TEST(FrontLed, ScalesPerFrontPanelVariantAndWritesEveryChannel)
{
    const struct {
        unsigned frontPanelId;
        KwTypes::ledRGB rgb;
        bool on;
        const char* written;  // red, green, blue channel: export, period, duty cycle, enable
    } cases[] = {
        {4, {255, 128, 0}, true, "0 255000 254000 1 0 255000 127000 1 0 255000 0 1 "},
        {5, {255, 255, 255}, true, "0 255000 90000 1 0 255000 254000 1 0 255000 167000 1 "},
        {4, {255, 255, 255}, false, "0 0 0 0 0 0 0 0 0 0 0 0 "},
    };
    for (const auto& c : cases) {
        IN_FRESH_PROCESS({
            SimulatedHostUnit unit;
            unit.setBoardId(2, c.frontPanelId);
            EXPECT_EQ(Tessaly::KwPlatformAbstraction().setLED(c.rgb, c.on), 0);
            std::string written;
            for (const char* chip : {"pwmchip2", "pwmchip0", "pwmchip1"})
                for (const char* file : {"export", "pwm0/period", "pwm0/duty_cycle", "pwm0/enable"})
                    written += unit.read(std::string("sys/class/pwm/") + chip + "/" + file) + " ";
            EXPECT_EQ(written, c.written) << c.frontPanelId;
            // A failed export is reported; the levels are written anyway.
            unit.remove("sys/class/pwm/pwmchip1/export");
            EXPECT_EQ(Tessaly::KwPlatformAbstraction().setLED(c.rgb, true), 1);
            EXPECT_EQ(unit.read("sys/class/pwm/pwmchip1/pwm0/enable"), "1");
        });
    }
}

TEST(DevicesDeathTest, WatchdogDisarmsOrAbortsAndI2cRefusesWithoutDescriptorOrAddress)
{
    IN_FRESH_PROCESS({
        SimulatedHostUnit unit;
        start_dog(30);  // a regular file rejects the time-out request; only the open matters
        EXPECT_EQ(stop_dog(), 1);
        EXPECT_EQ(unit.read("dev/watchdog"), "V");
        uint8_t value = 0;
        const int fd = open("/dev/null", O_RDWR);
        EXPECT_EQ(i2cWriteByte(fd, 1, 2), -19);
        i2cSetDeviceAddress(0x2e);
        EXPECT_EQ(i2cReadByte(-1, 1, &value), -19);
        EXPECT_EQ(i2cWriteByte(fd, 1, 2), -1);  // reached the adapter: /dev/null is none
        close(fd);
    });
    EXPECT_DEATH(stop_dog(), "^Watchdog device not open\n");
    EXPECT_DEATH({ { SimulatedHostUnit unit; start_dog(10); stop_dog(); } kick_dog(); }, "^Watchdog device not open\n");
    EXPECT_DEATH({ platform_set_root("/nonexistent"); start_dog(10); }, "^Couldn't open the watchdog at /dev/watchdog: \n.*No such file or directory");
}

// The progress counters live for the process and never reset.
TEST(FlashProgress, PrintedByteForByte)
{
    const struct {
        const char* name;
        std::function<void()> switches;
        std::vector<long> copies;  // sizes of successive file-to-file copies
        const char* expected;      // standard error, byte for byte
    } cases[] = {
        {"rounds halves up, one line a chunk; counters carry over to the next copy", [] { setProgress(true); },
         {32768, 4096}, "013\n025\n038\n050\n063\n075\n088\n100\n900\n"},
        {"noisy alone: in place", [] { setNoisy(true); }, {8192},
         "8192 bytes to transfer\nTransfer in progress: ...\b\b\b050\b\b\b100\n"
         "Success! Copied 8192 bytes from source to copy\n"},
        {"progress clears noisy", [] { setNoisy(true); setProgress(true); }, {4096}, "100\n"},
        {"neither: silent", [] {}, {4096}, ""},
    };
    for (const auto& c : cases) {
        IN_FRESH_PROCESS({
            SimulatedUnit unit({});
            unit.write("source", std::string(32768, 'p'));
            ASSERT_EQ(::chdir(unit.root.c_str()), 0);  // short names in the messages
            CaptureStderr();
            c.switches();
            for (long size : c.copies)
                flashCopy("source", "copy", size, 0);
            EXPECT_EQ(GetCapturedStderr(), c.expected) << c.name;
        });
    }
}

TEST(VersionInfo, ReportsBuildBoardsFpgaAndDynelleOncePerProcess)
{
    const struct {
        int ids[4];  // main, mezzanine, front panel, main ECN; -1: unreadable. Each read wrong way round differs.
        bool fpgaAndDynelle;
        QStringList values;  // pairs 7..13
        int device, baseboardVariant;
        const char* sfpFile;
    } cases[] = {
        {{64, 3, 5, 11}, true, {"64", "11", "3", "5", "7", "1.2.3+45", "1"}, 1, 1, "supportedSfpConfigKwL.json"},
        {{63, 0, 0, 0}, false, {"63", "0", "0", "0", "0", "0.0.0+0", "0"}, 0, 0, "supportedSfpConfig.json"},
        {{-1, -1, -1, -1}, false, {"Unknown", "Unknown", "-1", "Unknown", "0", "0.0.0+0", "0"}, 0, 2,
         "supportedSfpConfig.json"},
    };
    const QStringList labels = {"Software", "SHA1",     "Branch",     "Build ID", "Toolchain", "Image", "Main",
                                "Main ECN", "Mezzanine", "Frontpanel", "FPGA ID",  "FPGA",      "DynelleFitted"};
    // The build texts generated from the source tree; the image is named after the toolchain.
    const char* buildShapes[] = {"^[0-9]+\\.[0-9]+\\.[0-9]+$", "^[0-9a-f]{40}$", ".", "^[0-9]{1,10}$", ".", "."};
    const unsigned firstLine[4] = {127, 508, 502, 113};
    for (const auto& c : cases) {
        IN_FRESH_PROCESS({
            SimulatedHostUnit unit;
            for (int kind = 0; kind < 4; ++kind)
                c.ids[kind] < 0 ? unit.remove(unit.gpio(firstLine[kind])) : unit.setBoardId(kind, c.ids[kind]);
            if (c.fpgaAndDynelle) {
                unit.write("proc/tessaly_pcie", "fpga_version: 1.2.3+45\nfpga_design_id: 7\n");
                unit.write("dev/tr417_app", "");
            }
            const auto pairs = VersionInfo::getInstance().getVersionInfo();
            ASSERT_EQ(pairs.size(), 13);
            for (int i = 0; i < 13; ++i)
                EXPECT_EQ(pairs[i].first, labels[i]);
            for (int i = 0; i < 6; ++i)
                EXPECT_TRUE(QRegularExpression(buildShapes[i]).match(pairs[i].second).hasMatch()) << qPrintable(pairs[i].second);
            EXPECT_EQ(pairs[5].second, pairs[4].second);
            for (int i = 0; i < 7; ++i)
                EXPECT_EQ(pairs[6 + i].second, c.values[i]) << qPrintable(pairs[6 + i].first);
            EXPECT_EQ(VersionInfo::device(), c.device);
            EXPECT_EQ(get_baseboard_variant(), c.baseboardVariant);
            EXPECT_EQ(ServerCommon::supportedSfpsFile(), c.sfpFile);
            unit.setBoardId(0, 100);  // built once: later changes do not show
            unit.write("dev/tr417_app", "");
            EXPECT_EQ(VersionInfo::getInstance().getVersionInfo(), pairs);
        });
    }
}
