#include "platform/BuildInfo.h"
#include "platform/ServerCommon.h"
#include "platform/VersionInfo.h"
#include "tests/platform/FreshProcess.h"
#include "tests/platform/SimulatedHostUnit.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <functional>

using BuildInfo::getBuildMetadata;
using BuildInfo::metadata_index_t;

struct VersionCase {
    const char* name;
    std::function<void(SimulatedHostUnit&)> prepare;
    // Expected values of pairs 7..13.
    QStringList boardValues;
    int device;
    const char* sfpFile;
};

TEST(VersionInfo, ReportsBoardsFpgaAndDynelleOncePerProcess)
{
    const VersionCase cases[] = {
        {"main 64 with everything",
         [](SimulatedHostUnit& u) {
             u.setBoardId(0, 64);
             u.setBoardId(3, 2);
             u.setBoardId(1, 3);
             u.setBoardId(2, 5);
             u.writeFile("/proc/tessaly_pcie", "fpga_version: 1.2.3+45\nfpga_design_id: 7\n");
             u.writeFile("/dev/tr417_app", "");
         },
         {"64", "2", "3", "5", "7", "1.2.3+45", "1"}, 1, "supportedSfpConfigKwL.json"},
        {"main 63, no fpga driver", [](SimulatedHostUnit& u) { u.setBoardId(0, 63); },
         {"63", "0", "0", "0", "0", "0.0.0+0", "0"}, 0, "supportedSfpConfig.json"},
        {"nothing readable",
         [](SimulatedHostUnit& u) {
             u.removeGpio(127);
             u.removeGpio(113);
             u.removeGpio(504);
             u.removeGpio(496);
         },
         {"Unknown", "Unknown", "-1", "Unknown", "0", "0.0.0+0", "0"}, 0, "supportedSfpConfig.json"},
    };
    const QStringList labels = {"Software", "SHA1",     "Branch",     "Build ID", "Toolchain", "Image", "Main",
                                "Main ECN", "Mezzanine", "Frontpanel", "FPGA ID",  "FPGA",      "DynelleFitted"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedHostUnit unit;
        c.prepare(unit);
        IN_FRESH_PROCESS({
            const auto& pairs = VersionInfo::getInstance().getVersionInfo();
            ASSERT_EQ(pairs.size(), 13);
            for (int i = 0; i < 13; ++i)
                EXPECT_EQ(pairs[i].first, labels[i]);
            EXPECT_EQ(pairs[1].second, getBuildMetadata(metadata_index_t::sha1));
            EXPECT_EQ(pairs[0].second, getBuildMetadata(metadata_index_t::software));
            for (int i = 0; i < 7; ++i)
                EXPECT_EQ(pairs[6 + i].second, c.boardValues[i]) << pairs[6 + i].first.toStdString();
            EXPECT_EQ(VersionInfo::device(), c.device);
            EXPECT_EQ(ServerCommon::supportedSfpsFile(), c.sfpFile);
            // Built once: a board fitted later does not show.
            unit.setBoardId(0, 100);
            unit.writeFile("/dev/tr417_app", "");
            EXPECT_EQ(VersionInfo::getInstance().getVersionInfo(), pairs);
            EXPECT_EQ(&VersionInfo::getInstance(), &VersionInfo::getInstance());
        });
    }
}
