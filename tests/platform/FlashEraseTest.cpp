#include "platform/Flash.h"
#include "tests/platform/SimulatedUnit.h"

#include <fcntl.h>

namespace {

constexpr uint32_t E = 0x1000; // erase block of the simulated partition

// Erased bytes read 0xFF; the partition starts out all 0x00.
std::string erasedBetween(uint32_t from, uint32_t to)
{
    std::string bytes(16 * E, '\0');
    bytes.replace(from, to - from, to - from, '\xFF');
    return bytes;
}

TEST(FlashErase, SectorCountsOffsetsAndMessages)
{
    struct {
        const char* name;
        long size, offset;
        bool noisy;
        int result;
        uint32_t from, to;
        std::vector<const char*> messages;
    } cases[] = {
        {"rounds size up and offset down", 3 * E + 1, E + 5, true, 0, E, 5 * E,
         {"Size not a multiple of erase size\n", "Moving device start offset to erase boundary, new start offset: 4096\n",
          "Erase in progress (4 sectors from offset 0x00001000): ...\n"}},
        {"quiet rounding still erases", 3 * E + 1, E + 5, false, 0, E, 5 * E,
         {"Erase in progress (4 sectors from offset 0x00001000): ...\n"}},
        {"whole partition ignores the offset", -1, 3 * E, true, 0, 0, 16 * E,
         {"No size given, erasing entire partition\n", "Erase in progress: ...", "\nFlash erased successfully\n"}},
        {"more than the partition fails at its end", 17 * E, 0, true, -1, 0, 16 * E,
         {"attempt to erase more than partition size \n", "Erase in progress (17 sectors from offset 0x00000000): ...\n",
          "ERASE IOCTL failed\n: Invalid argument\n"}},
    };
    for (const auto& c : cases) {
        SimulatedUnit unit({{2, "fpga", 16 * E, E}});
        setNoisy(c.noisy);
        CaptureStderr();
        EXPECT_EQ(flashErase(unit.path("dev/mtd2").c_str(), c.size, c.offset), c.result) << c.name;
        const std::string text = GetCapturedStderr();
        for (const char* message : c.messages)
            EXPECT_NE(text.find(message), std::string::npos) << c.name << ": " << message << " in\n" << text;
        if (!c.noisy) {
            EXPECT_EQ(text.find("Size not a multiple"), std::string::npos) << c.name;
        }
        EXPECT_TRUE(unit.read("dev/mtd2") == erasedBetween(c.from, c.to)) << c.name;
    }
}

TEST(FlashErase, UnopenableDeviceAndEmptySectorRun)
{
    setNoisy(true);
    {
        CaptureStderr();
        EXPECT_EQ(flashErase("/nonexistent/mtd0", -1, 0), -2);
        EXPECT_EQ(GetCapturedStderr(), "Failed to open /nonexistent/mtd0\nReason: No such file or directory\n"
                                 "Could not open mtd device at /nonexistent/mtd0 for erasure\n");
    }
    SimulatedUnit unit({{2, "fpga", 16 * E, E}});
    mtd_info_user info{};
    CaptureStderr();
    const int fd = open_mtd(unit.path("dev/mtd2").c_str(), &info);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flash_erase_sectors(fd, info, 0, 0), 0);
    ::close(fd);
    EXPECT_EQ(GetCapturedStderr(), "MTD type: 3\nMTD total size : 65536 bytes\nMTD write size : 1 bytes\n"
                             "MTD erase size : 4096 bytes\nMTD overhead / block : 0 bytes\nMTD Flags : 0x00000C00\n"
                             "Erase in progress (0 sectors from offset 0x00000000): ...\n\n");
    EXPECT_EQ(unit.read("dev/mtd2"), std::string(16 * E, '\0'));
}

TEST(FlashErase, OnlyListedPartitionsUnderAnotherRootAreSimulated)
{
    SimulatedUnit unit({{2, "fpga", 16 * E, E}});
    unit.write("dev/mtd5", std::string(E, '\0')); // not in /proc/mtd: a plain file
    setNoisy(false);
    mtd_info_user info{};
    const int fd = open_mtd(unit.path("dev/mtd5").c_str(), &info);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(info.size, 0u);
    EXPECT_EQ(info.erasesize, 0u);
    platform_set_root(nullptr);
    const int real = open_mtd(unit.path("dev/mtd2").c_str(), &info);
    ::close(real);
    EXPECT_EQ(info.size, 0u) << "under the real root a regular file is no partition";
}

} // namespace
