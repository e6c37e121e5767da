#include "platform/MtdParts.h"
#include "tests/platform/SimulatedUnit.h"

#include <stdexcept>

namespace {

const std::string header = "dev:    size   erasesize  name\n";

TEST(MtdParts, ReadsTheKernelsLines)
{
    const auto parts = parseMtdPartsText(header + "mtd3: 00020000 00010000 \"ident\"\n"
                                                  "mtd10: 7fffffff 00001000 \"big\"\n"
                                                  "mtd4: 00001000 00001000 \"ident\"\n", nullptr);
    ASSERT_EQ(parts.size(), 2u);
    auto [node, name, size, erase] = parts.at("big");
    EXPECT_EQ(node, "mtd10");
    EXPECT_EQ(name, "big");
    EXPECT_EQ(size, 0x7FFFFFFFu);
    EXPECT_EQ(erase, 4096u);
    EXPECT_EQ(parts.at("ident").node, "mtd4") << "a later line of the same name replaces the earlier";
    EXPECT_EQ(parts.at("ident").size, 4096u);
}

TEST(MtdParts, SkipsAndReportsLinesWithoutFourFields)
{
    struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"mtd5: 00020000 00010000 \"two words\"\n", "Could not find enough tokens (found: 5 wanted: 4)\n"},
        {"\n", "Could not find enough tokens (found: 0 wanted: 4)\n"},
    };
    for (const auto& c : cases) {
        CaptureStderr();
        EXPECT_TRUE(parseMtdPartsText(header + c.line + "mtd3: 00020000 00010000 \"ident\"\n", stderr).count("ident"));
        EXPECT_EQ(GetCapturedStderr(), c.message) << c.line;
    }
    EXPECT_TRUE(parseMtdPartsText("mtd3: 00020000 00010000 \"ident\"\n", nullptr).empty()) << "first line is the header";
}

TEST(MtdParts, SizesThatAreNoSigned32BitHexNumberThrow)
{
    EXPECT_THROW(parseMtdPartsText(header + "mtd3: zz 00010000 \"ident\"\n", nullptr), std::invalid_argument);
    EXPECT_THROW(parseMtdPartsText(header + "mtd3: 00020000 80000000 \"ident\"\n", nullptr), std::out_of_range);
}

TEST(MtdParts, LooksUpUnderThePlatformRootAfresh)
{
    SimulatedUnit unit({{3, "ident", 0x20000, 0x10000}});
    EXPECT_EQ(getDevNodeName("ident"), "mtd3");
    unit.write("proc/mtd", header + "mtd7: 00020000 00010000 \"ident\"\n");
    EXPECT_EQ(getDevNodeName("ident"), "mtd7");
    try {
        getDevNodeName("fpga");
        ADD_FAILURE() << "no throw";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "map::at");
    }
    std::filesystem::remove(unit.path("proc/mtd"));
    CaptureStderr();
    EXPECT_TRUE(parseMtdParts().empty());
    EXPECT_EQ(GetCapturedStderr(), "Failed to get mtp parts\n");
}

} // namespace
