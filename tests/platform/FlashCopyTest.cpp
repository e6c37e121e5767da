#include "platform/Flash.h"
#include "tests/platform/SimulatedUnit.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr uint32_t E = 0x1000;

std::string pattern(size_t length, int seed)
{
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 131 + seed) >> 3);
    return bytes;
}

TEST(FlashCopy, IntoASimulatedPartition)
{
    const std::string image = pattern(6000, 1);
    struct {
        const char* name;
        char oldFill;
        long size, offset;
        bool noErase;
        std::string expected; // the partition afterwards, up to 4 blocks
    } cases[] = {
        {"erases whole blocks first", 0, -1, 0, false, image + std::string(2 * E - 6000, '\xFF') + std::string(2 * E, 0)},
        {"writes at the offset", 0, 100, E, false,
         std::string(E, 0) + image.substr(0, 100) + std::string(E - 100, '\xFF') + std::string(2 * E, 0)},
        // NOR flash only clears bits: without an erase, old data shows through.
        {"without erase only clears bits", 0x0F, 2, 0, true, std::string("\x00\x0C", 2) + std::string(4 * E - 2, 0x0F)},
    };
    for (const auto& c : cases) {
        SimulatedUnit unit({{1, "fpga", 4 * E, E}}, c.oldFill);
        unit.write("image", c.noErase ? std::string("\xF0\x3C") : image);
        setNoErase(c.noErase);
        setNoisy(false);
        EXPECT_EQ(flashCopy(unit.path("image").c_str(), unit.path("dev/mtd1").c_str(), c.size, c.offset), 0) << c.name;
        EXPECT_TRUE(unit.read("dev/mtd1") == c.expected) << c.name;
    }
    setNoErase(false);
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

TEST(FlashCopy, BetweenFilesAndStandardStreams)
{
    SimulatedUnit unit({{1, "fpga", 4 * E, E}});
    const std::string flash = pattern(4 * E, 7);
    unit.write("dev/mtd1", flash);
    setNoisy(false);
    // From a partition the whole partition; the offset is where to read.
    EXPECT_EQ(flashCopy(unit.path("dev/mtd1").c_str(), unit.path("all").c_str(), -1, 0), 0);
    EXPECT_TRUE(unit.read("all") == flash);
    EXPECT_EQ(flashCopy(unit.path("all").c_str(), unit.path("tail").c_str(), 10, 5), 0);
    EXPECT_EQ(unit.read("tail"), flash.substr(5, 10));

    // 100 bytes of standard input into a file created 0644.
    unit.write("input", pattern(300, 3));
    const int savedInput = ::dup(STDIN_FILENO);
    const int input = ::open(unit.path("input").c_str(), O_RDONLY);
    ::dup2(input, STDIN_FILENO);
    const mode_t savedMask = ::umask(022);
    EXPECT_EQ(flashCopy("", unit.path("new").c_str(), 100, 0), 0);
    ::umask(savedMask);
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);
    ::close(input);
    EXPECT_EQ(unit.read("new"), pattern(100, 3));
    struct stat status {};
    ::stat(unit.path("new").c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0644u);

    // An existing file is overwritten in place, not truncated.
    unit.write("existing", std::string(8, 'o'));
    unit.write("two", "ab");
    EXPECT_EQ(flashCopy(unit.path("two").c_str(), unit.path("existing").c_str(), -1, 0), 0);
    EXPECT_EQ(unit.read("existing"), "aboooooo");

    CaptureStdout();
    EXPECT_EQ(flashCopy(unit.path("two").c_str(), "", -1, 0), 0);
    EXPECT_EQ(GetCapturedStdout(), "ab");
}

} // namespace
