#include "platform/ServerCommon.h"
#include "platform/VersionInfo.h"
#include "tests/platform/FreshProcess.h"
#include "tests/platform/SimulatedUnit.h"

#include <QRegularExpression>
#include <QStringList>

TEST(VersionInfo, ReportsBuildBoardsFpgaAndDynelleOncePerProcess)
{
    const struct {
        int ids[4];  // main, mezzanine, front panel, main ECN; -1: unreadable
        bool fpgaAndDynelle;
        QStringList values;  // pairs 7..13
        int device;
        const char* sfpFile;
    } cases[] = {
        {{64, 3, 5, 2}, true, {"64", "2", "3", "5", "7", "1.2.3+45", "1"}, 1, "supportedSfpConfigKwL.json"},
        {{63, 0, 0, 0}, false, {"63", "0", "0", "0", "0", "0.0.0+0", "0"}, 0, "supportedSfpConfig.json"},
        {{-1, -1, -1, -1}, false, {"Unknown", "Unknown", "-1", "Unknown", "0", "0.0.0+0", "0"}, 0,
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
            EXPECT_EQ(ServerCommon::supportedSfpsFile(), c.sfpFile);
            unit.setBoardId(0, 100);  // built once: later changes do not show
            unit.write("dev/tr417_app", "");
            EXPECT_EQ(VersionInfo::getInstance().getVersionInfo(), pairs);
        });
    }
}
