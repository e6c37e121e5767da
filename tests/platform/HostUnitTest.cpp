#include "platform/BoardLibrary.h"
#include "platform/KwPlatformAbstraction.h"
#include "platform/PlatformDescriptor.h"
#include "tests/platform/OnSimulatedUnit.h"

#include <stdexcept>
#include <vector>

using Tessaly::KwPlatformAbstraction;

TEST(IdentityRecord, ReadsSerialAndReportsEveryFailure)
{
    const std::string mac = std::string("mac: \x02\x4b\x57\x00\x12\x67\n", 12);
    const struct {
        std::string partition;  // nothing: no device file
        int result;
        unsigned serial;
        const char* message;
    } cases[] = {
        {mac + "serial: 004711", 0, 4711, ""},
        {mac + "serail: 004711", -1, 0, "Cannot find serial key\n"},
        {mac + "seria", -1, 0, "Cannot read\n"},
        {"", -1, 12345, "Failed to open mtd\n"},
    };
    for (const auto& c : cases) {
        SimulatedHostUnit unit;
        c.partition.empty() ? unit.remove("dev/mtd3") : unit.write("dev/mtd3", c.partition);
        unsigned serial = 12345;
        CaptureStderr();
        EXPECT_EQ(getSerial(&serial), c.result) << c.partition;
        EXPECT_EQ(GetCapturedStderr(), c.message) << c.partition;
        EXPECT_EQ(serial, c.serial) << c.partition;
        EXPECT_EQ(KwPlatformAbstraction().getSerialNumber(), c.result == 0 ? 4711u : 0xFFFFFFFFu);
    }
    CaptureStderr();
    EXPECT_EQ(getSerial(nullptr), -1);
    EXPECT_EQ(GetCapturedStderr(), "Nowhere to put serial num!\n");
}

// A good record read back: unitctl's end-to-end test.
TEST(IdentityRecord, MacNeedsItsKeySetWritesTheRecordAndPartitionMustBeListed)
{
    SimulatedHostUnit unit;
    uint8_t mac[6] = {};
    EXPECT_EQ(getMac(nullptr), -1);
    EXPECT_EQ(getMac(mac), -1);  // erased
    unit.write("dev/mtd3", "mac:-ABCDEF");
    EXPECT_EQ(getMac(mac), -1);

    unit.write("dev/mtd3", std::string(0x10000, '\0'));  // programmed bits: the block must be erased first
    ASSERT_EQ(setSerialAndMac(0x123456), 0);
    const uint8_t oui[3] = {DYNELLE_MAC_OUI_BYTES};
    const std::string record = "mac: " + std::string(oui, oui + 3) + "\x12\x34\x56\nserial: 119304";
    EXPECT_EQ(unit.read("dev/mtd3"), record + std::string(0x10000 - 26, '\xff'));
    unit.setFwSetenvStatus(3);
    EXPECT_EQ(setSerialAndMac(4711), 3);

    unit.write("proc/mtd", "dev:    size   erasesize  name\n");
    unsigned serial = 0;
    EXPECT_THROW(getSerial(&serial), std::out_of_range);
    EXPECT_THROW(getMac(mac), std::out_of_range);
    EXPECT_THROW(setSerialAndMac(1), std::out_of_range);
    unit.remove("var/volatile");
    EXPECT_EQ(setSerialAndMac(4711), -1);
}

TEST(PlatformAbstraction, FpgaStatusLinesAreReadInTurnAndBadOnesKeepValues)
{
    SimulatedHostUnit unit;
    // The second call goes on with the third line: wrong way round, so nothing is taken.
    unit.write("proc/tessaly_pcie", "fpga_version: 1.2\nfpga_design_id: 8\nfpga_design_id: 8\nfpga_version: 1.2.3+4\n");
    KwPlatformAbstraction platform;
    for (const auto& expected : {std::vector<unsigned>{8, 9, 9, 9, 9}, std::vector<unsigned>(5, 9)}) {
        std::vector<unsigned> v(5, 9); // design id, major, minor, patch, build
        EXPECT_TRUE(platform.getFPGABuildInfo(v[0], v[1], v[2], v[3], v[4]));
        EXPECT_EQ(v, expected);
    }
}

TEST(Descriptors, PlatformRoundTripsInIdOrderShortSequencesThrowNamesFollowTheTable)
{
    const auto board = [](std::deque<uint32_t> words) {
        unsigned index = 0;
        return BoardDescriptor::deserialize(words, index);
    };
    PlatformDescriptor platform(7);
    platform.addBoard(board({6, 1, 0xFFFFFFFF, 0xFFFFFFFF}));
    platform.addBoard(board({2, 5, 9, 0xFFFFFFFF}));
    platform.addBoard(board({2, 5, 9, 0xFFFFFFFF}));  // same id: replaced
    std::deque<uint32_t> words = {0xAA};
    platform.serialize(words);
    EXPECT_EQ(words, (std::deque<uint32_t>{0xAA, 7, 2, 2, 5, 9, 0xFFFFFFFF, 6, 1, 0xFFFFFFFF, 0xFFFFFFFF}));

    const auto copy = PlatformDescriptor::deserialize(words, 1);
    EXPECT_TRUE(*copy == platform);
    EXPECT_EQ(static_cast<int>(copy->getBoardIdByIdx(1)), 6);
    EXPECT_FALSE(copy->getBoardDescriptor(static_cast<BoardDescriptor::BoardId>(3)));
    for (const auto& cut : std::deque<std::deque<uint32_t>>{{7, 1, 6, 1}, {7}, {}, {7, 2, 6, 1, 2, 3}})
        EXPECT_THROW(PlatformDescriptor::deserialize(cut, 0), std::out_of_range) << cut.size();
    for (const auto& [id, name] : {std::pair<int, const char*>{0, "Undefined/Unknown Board"},
                                   {1, "TR118 Kw Baseboard"}, {6, "TR417 KwP Dynelle Board"},
                                   {12, "TR207 84RM Miscellaneous I/O Board"}, {13, "Undefined/Unknown Board"}})
        EXPECT_EQ(board({static_cast<uint32_t>(id), 0, 0, 0})->getBoardName(), name) << id;
}
