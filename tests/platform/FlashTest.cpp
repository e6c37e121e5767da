#include "platform/Flash.h"
#include "platform/MtdParts.h"
#include "platform/PlatformRoot.h"
#include "tests/platform/OnSimulatedUnit.h"

#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

namespace {

constexpr uint32_t E = 0x1000; // erase block of the simulated partitions
const std::string header = "dev:    size   erasesize  name\n";

TEST(MtdParts, ReadsTheKernelsLinesAndReportsBadOnes)
{
    CaptureStderr();
    const auto parts = parseMtdPartsText(header + "mtd3: 00020000 00010000 \"ident\"\n"
                                                  "mtd10: 7fffffff 00001000 \"big\"\n"
                                                  "mtd5: 00020000 00010000 \"two words\"\n\n"
                                                  "mtd4: 00001000 00001000 \"ident\"\n", stderr);
    EXPECT_EQ(GetCapturedStderr(), "Could not find enough tokens (found: 5 wanted: 4)\n"
                                   "Could not find enough tokens (found: 0 wanted: 4)\n");
    ASSERT_EQ(parts.size(), 2u);  // the fields of ordinary lines: unit-flash's end-to-end "parts"
    EXPECT_EQ(parts.at("big").size, 0x7FFFFFFFu);
    EXPECT_EQ(parts.at("ident").node, "mtd4") << "a later line of the same name replaces the earlier";
    EXPECT_TRUE(parseMtdPartsText("mtd3: 00020000 00010000 \"ident\"\n", nullptr).empty()) << "first line is the header";
    // Sizes must be signed 32-bit hexadecimal numbers.
    EXPECT_THROW(parseMtdPartsText(header + "mtd3: zz 00010000 \"ident\"\n", nullptr), std::invalid_argument);
    EXPECT_THROW(parseMtdPartsText(header + "mtd3: 00020000 80000000 \"ident\"\n", nullptr), std::out_of_range);
    // The table is read afresh each time (the identity record tests); without it, nothing.
    SimulatedUnit unit({});
    unit.remove("proc/mtd");
    CaptureStderr();
    EXPECT_TRUE(parseMtdParts().empty());
    EXPECT_EQ(GetCapturedStderr(), "Failed to get mtp parts\n");
}

TEST(FlashErase, SectorCountsOffsetsMessagesAndUnlistedFiles)
{
    struct {
        long size, offset;
        bool noisy;
        int result;
        uint32_t from, to; // erased to 0xFF; the rest stays 0x00
        std::vector<const char*> messages;
    } cases[] = {
        {3 * E + 1, E + 5, true, 0, E, 5 * E,
         {"MTD type: 3\nMTD total size : 65536 bytes\nMTD write size : 1 bytes\nMTD erase size : 4096 bytes\n"
          "MTD overhead / block : 0 bytes\nMTD Flags : 0x00000C00\n",
          "Size not a multiple of erase size\n", "Moving device start offset to erase boundary, new start offset: 4096\n",
          "Erase in progress (4 sectors from offset 0x00001000): ...\n"}},
        {3 * E + 1, E + 5, false, 0, E, 5 * E, {"Erase in progress (4 sectors from offset 0x00001000): ...\n"}},
        {-1, 3 * E, true, 0, 0, 16 * E,
         {"No size given, erasing entire partition\n", "Erase in progress: ...", "\nFlash erased successfully\n"}},
        {17 * E, 0, true, -1, 0, 16 * E,
         {"attempt to erase more than partition size \n", "Erase in progress (17 sectors from offset 0x00000000): ...\n",
          "ERASE IOCTL failed\n: Invalid argument\n"}},
    };
    for (const auto& c : cases) {
        SimulatedUnit unit({{2, "fpga", 16 * E, E}});
        setNoisy(c.noisy);
        CaptureStderr();
        EXPECT_EQ(flashErase(unit.path("dev/mtd2").c_str(), c.size, c.offset), c.result) << c.size;
        const std::string text = GetCapturedStderr();
        for (const char* message : c.messages)
            EXPECT_NE(text.find(message), std::string::npos) << message << " in\n" << text;
        EXPECT_EQ(text.find("Size not a multiple") != std::string::npos, c.noisy && c.size % E == 1) << text;
        std::string erased(16 * E, '\0');
        erased.replace(c.from, c.to - c.from, c.to - c.from, '\xFF');
        EXPECT_TRUE(unit.read("dev/mtd2") == erased) << c.size;
    }
    setNoisy(true);
    CaptureStderr();
    EXPECT_EQ(flashErase("/nonexistent/mtd0", -1, 0), -2);
    EXPECT_EQ(GetCapturedStderr(), "Failed to open /nonexistent/mtd0\nReason: No such file or directory\n"
                                   "Could not open mtd device at /nonexistent/mtd0 for erasure\n");
    SimulatedUnit unit({{2, "fpga", 16 * E, E}});
    mtd_info_user info{};
    // Only partitions listed in /proc/mtd, and only under another root, are simulated.
    setNoisy(false);
    unit.write("dev/mtd5", std::string(E, '\0'));
    ::close(open_mtd(unit.path("dev/mtd5").c_str(), &info));
    EXPECT_EQ(info.size, 0u);
    platform_set_root(nullptr);
    ::close(open_mtd(unit.path("dev/mtd2").c_str(), &info));
    EXPECT_EQ(info.size, 0u) << "under the real root a regular file is no partition";
}

TEST(FlashCopy, FailuresAndTheirCodes)
{
    SimulatedUnit unit({{1, "fpga", 4 * E, E}});
    unit.write("short", std::string(100, 'x'));
    std::filesystem::create_directory(unit.path("dir"));
    const std::string mtd = unit.path("dev/mtd1"), shortFile = unit.path("short"), dir = unit.path("dir");
    const std::string missing = unit.path("missing");
    struct {
        std::string source, destination;
        long size;
        int result;
        std::string message;
    } cases[] = {
        {missing, mtd, -1, -2, "Could not open " + missing + "\nReason: No such file or directory\n"},
        {dir, mtd, -1, -2, "Could not open " + dir + "\nReason: Invalid source\n"},
        {shortFile, dir, -1, -3, "Could not open " + dir + "\nReason: Invalid destination\n"},
        {shortFile, mtd, 4 * E + 1, -4, "Size requested is 16385 bytes but mtd is only 16384 bytes\n"},
        {shortFile, unit.path("copy"), 200, -5, "Could not write to " + unit.path("copy") + "\nReason: No data available\n"},
    };
    for (const auto& c : cases) {
        setNoisy(true);
        CaptureStderr();
        EXPECT_EQ(flashCopy(c.source.c_str(), c.destination.c_str(), c.size, 0), c.result) << c.message;
        const std::string errors = GetCapturedStderr();
        EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
    }
    EXPECT_EQ(unit.read("dev/mtd1"), std::string(4 * E, '\0')) << "nothing erased on a failure before the erase";
}

// A size and an offset, and the read-back of a copy without erase: unit-flash's end-to-end tests.
TEST(FlashCopy, ErasesOnlyTheBlocksItWritesAndCopiesBetweenFiles)
{
    SimulatedUnit unit({{1, "fpga", 4 * E, E}});
    std::string image(6000, '\0');
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>((i * 131 + 1) >> 3);
    unit.write("image", image);
    setNoisy(false);
    EXPECT_EQ(flashCopy(unit.path("image").c_str(), unit.path("dev/mtd1").c_str(), -1, 0), 0);
    const std::string flash = image + std::string(2 * E - 6000, '\xFF') + std::string(2 * E, 0);
    EXPECT_TRUE(unit.read("dev/mtd1") == flash);
    // From a partition the whole partition, into a new file made 0644.
    const mode_t savedMask = ::umask(022);
    EXPECT_EQ(flashCopy(unit.path("dev/mtd1").c_str(), unit.path("all").c_str(), -1, 0), 0);
    ::umask(savedMask);
    EXPECT_TRUE(unit.read("all") == flash);
    struct stat status {};
    ::stat(unit.path("all").c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    // An existing file is overwritten in place, not truncated.
    unit.write("existing", std::string(8, 'o'));
    unit.write("two", "ab");
    EXPECT_EQ(flashCopy(unit.path("two").c_str(), unit.path("existing").c_str(), -1, 0), 0);
    EXPECT_EQ(unit.read("existing"), "aboooooo");
}

} // namespace
