#include "platform/KwPlatformAbstraction.h"
#include "tests/platform/SimulatedHostUnit.h"

#include <gtest/gtest.h>

#include <vector>

using Tessaly::KwPlatformAbstraction;

TEST(PlatformAbstraction, FpgaStatusIsReadOnceAndBadLinesKeepValues)
{
    const struct {
        const char* status;  // nullptr: no file
        std::vector<unsigned> expected;  // design id, major, minor, patch, build
    } cases[] = {
        {"fpga_version: 1.2.3+45\nfpga_design_id: 7\n", {7, 1, 2, 3, 45}},
        {nullptr, {9, 9, 9, 9, 9}},
        {"fpga_version: 1.2\nfpga_design_id: 8\n", {8, 9, 9, 9, 9}},
        {"fpga_design_id: 8\nfpga_version: 1.2.3+4\n", {9, 9, 9, 9, 9}},
    };
    for (const auto& c : cases) {
        SimulatedHostUnit unit;
        if (c.status)
            unit.write("proc/tessaly_pcie", c.status);
        KwPlatformAbstraction platform;
        for (const auto& expected : {c.expected, std::vector<unsigned>(5, 9)}) {  // the second call reads nothing
            std::vector<unsigned> v(5, 9);
            EXPECT_TRUE(platform.getFPGABuildInfo(v[0], v[1], v[2], v[3], v[4]));
            EXPECT_EQ(v, expected) << (c.status ? c.status : "no file");
        }
    }
}

TEST(PlatformAbstraction, DynelleFittedAndSerialNumber)
{
    SimulatedHostUnit unit;
    EXPECT_FALSE(KwPlatformAbstraction().hasDynelleFitted());
    unit.write("dev/tr417_app", "");
    EXPECT_TRUE(KwPlatformAbstraction().hasDynelleFitted());

    EXPECT_EQ(KwPlatformAbstraction().getSerialNumber(), 0xFFFFFFFFu);  // erased record
    unit.write("dev/mtd3", "mac: 123456\nserial: 000042");
    EXPECT_EQ(KwPlatformAbstraction().getSerialNumber(), 42u);
}
