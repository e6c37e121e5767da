#include "platform/BoardLibrary.h"
#include "tests/platform/SimulatedHostUnit.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

struct SerialCase {
    const char* name;
    std::string record;  // written at offset 0 of the partition
    int result;
    unsigned serial;
    const char* message;
};

TEST(IdentityRecord, ReadsSerialAndReportsEveryFailure)
{
    const std::string mac = std::string("mac: ") + std::string("\x02\x4b\x57\x00\x12\x67", 6) + "\n";
    const SerialCase cases[] = {
        {"leading zeros", mac + "serial: 004711", 0, 4711, ""},
        {"six digits", mac + "serial: 999999", 0, 999999, ""},
        {"wrong key", mac + "serail: 004711", -1, 0, "Cannot find serial key\n"},
        {"erased partition", std::string(), -1, 0, "Cannot find serial key\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedHostUnit unit;
        std::string image = unit.readFile("/dev/mtd3");
        image.replace(0, c.record.size(), c.record);
        unit.writeFile("/dev/mtd3", image);
        unsigned serial = 12345;
        CaptureStderr();
        EXPECT_EQ(getSerial(&serial), c.result);
        EXPECT_EQ(GetCapturedStderr(), c.message);
        EXPECT_EQ(serial, c.serial);
    }
}

TEST(IdentityRecord, SerialFailuresBeforeReading)
{
    SimulatedHostUnit unit;
    CaptureStderr();
    EXPECT_EQ(getSerial(nullptr), -1);
    EXPECT_EQ(GetCapturedStderr(), "Nowhere to put serial num!\n");

    unit.writeFile("/dev/mtd3", "mac: 123456\nseria");
    unsigned serial = 0;
    CaptureStderr();
    EXPECT_EQ(getSerial(&serial), -1);
    EXPECT_EQ(GetCapturedStderr(), "Cannot read\n");

    unit.remove("/dev/mtd3");
    CaptureStderr();
    EXPECT_EQ(getSerial(&serial), -1);
    EXPECT_EQ(GetCapturedStderr(), "Failed to open mtd\n");
    uint8_t mac[6];
    EXPECT_EQ(getMac(mac), -1);

    unit.writeFile("/proc/mtd", "dev:    size   erasesize  name\n");
    EXPECT_THROW(getSerial(&serial), std::out_of_range);
    EXPECT_THROW(getMac(mac), std::out_of_range);
    EXPECT_THROW(setSerialAndMac(1), std::out_of_range);
}

TEST(IdentityRecord, MacNeedsItsKey)
{
    SimulatedHostUnit unit;
    uint8_t mac[6] = {};
    EXPECT_EQ(getMac(nullptr), -1);
    EXPECT_EQ(getMac(mac), -1);  // erased partition
    unit.writeFile("/dev/mtd3", std::string("mac:-") + "\x01\x02\x03\x04\x05\x06");
    EXPECT_EQ(getMac(mac), -1);
    unit.writeFile("/dev/mtd3", std::string("mac: ") + "\x01\x02\x03\x04\x05\x06");
    EXPECT_EQ(getMac(mac), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(mac), 6), "\x01\x02\x03\x04\x05\x06");
}

TEST(IdentityRecord, SetSerialAndMacWritesRecordIntoPartition)
{
    SimulatedHostUnit unit;
    unit.writeFile("/dev/mtd3", std::string(0x10000, '\x00'));  // programmed bits: the block must be erased first
    ASSERT_EQ(setSerialAndMac(0x123456), 0);

    const std::string image = unit.readFile("/dev/mtd3");
    ASSERT_EQ(image.size(), 0x10000u);
    const uint8_t oui[3] = {DYNELLE_MAC_OUI_BYTES};
    const std::string expected = std::string("mac: ") + std::string(reinterpret_cast<const char*>(oui), 3)
                                 + "\x12\x34\x56" + "\nserial: 119304";
    EXPECT_EQ(image.substr(0, 26), expected);
    EXPECT_EQ(image.substr(26), std::string(0x10000 - 26, '\xff'));
    EXPECT_EQ(unit.readFile("/var/volatile/tmps"), expected);
    EXPECT_EQ(unit.readFile("/fw_setenv.args"), "runlevel 4\n");

    unsigned serial = 0;
    uint8_t mac[6] = {};
    EXPECT_EQ(getSerial(&serial), 0);
    EXPECT_EQ(serial, 119304u);
    EXPECT_EQ(getMac(mac), 0);
    EXPECT_EQ(mac[5], 0x56);

    unit.setFwSetenvStatus(3);
    EXPECT_NE(setSerialAndMac(4711), 0);
    unit.remove("/var/volatile");
    EXPECT_EQ(setSerialAndMac(4711), -1);
}
