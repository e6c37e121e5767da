#include "platform/KwPlatformAbstraction.h"
#include "tests/platform/SimulatedHostUnit.h"

#include <gtest/gtest.h>

#include <memory>

using Tessaly::KwPlatformAbstraction;
using KwTypes::boardIdentity;

TEST(PlatformAbstraction, FpgaStatusIsReadOnceAndBadLinesKeepValues)
{
    struct Case {
        const char* name;
        const char* status;  // nullptr: no file
        unsigned expected[5];  // design id, major, minor, patch, build
    };
    const Case cases[] = {
        {"both lines", "fpga_version: 1.2.3+45\nfpga_design_id: 7\n", {7, 1, 2, 3, 45}},
        {"missing file", nullptr, {99, 99, 99, 99, 99}},
        {"malformed version", "fpga_version: 1.2\nfpga_design_id: 8\n", {8, 99, 99, 99, 99}},
        {"lines swapped", "fpga_design_id: 8\nfpga_version: 1.2.3+4\n", {99, 99, 99, 99, 99}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedHostUnit unit;
        if (c.status)
            unit.writeFile("/proc/tessaly_pcie", c.status);
        KwPlatformAbstraction platform;
        unsigned v[5] = {99, 99, 99, 99, 99};
        EXPECT_TRUE(platform.getFPGABuildInfo(v[0], v[1], v[2], v[3], v[4]));
        EXPECT_EQ(std::vector<unsigned>(v, v + 5), std::vector<unsigned>(c.expected, c.expected + 5));
        unsigned again[5] = {5, 5, 5, 5, 5};
        EXPECT_TRUE(platform.getFPGABuildInfo(again[0], again[1], again[2], again[3], again[4]));
        EXPECT_EQ(std::vector<unsigned>(again, again + 5), std::vector<unsigned>(5, 5u));
    }
}

TEST(PlatformAbstraction, DynelleFittedIsAnExistenceTest)
{
    SimulatedHostUnit unit;
    EXPECT_FALSE(KwPlatformAbstraction().hasDynelleFitted());
    unit.writeFile("/dev/tr417_app", "");
    EXPECT_TRUE(KwPlatformAbstraction().hasDynelleFitted());
}

TEST(PlatformAbstraction, SerialNumberOrAllOnes)
{
    SimulatedHostUnit unit;
    EXPECT_EQ(KwPlatformAbstraction().getSerialNumber(), 0xFFFFFFFFu);  // erased record
    unit.writeFile("/dev/mtd3", std::string("mac: 123456\nserial: 000042"));
    EXPECT_EQ(KwPlatformAbstraction().getSerialNumber(), 42u);
}
