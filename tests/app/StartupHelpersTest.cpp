#include "app/DefaultFilename.h"
#include "app/Usage.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(DefaultFilename, SerialAndLocalTimeInTheFixedDirectory)
{
    const QDateTime at(QDate(2026, 12, 4), QTime(14, 5, 9));
    EXPECT_EQ(createDefaultFilename("A1234", at), "/home/transfer/log/dynelle_test_A1234-20261204-140509.txt");
    EXPECT_EQ(createDefaultFilename("Unassigned", at), "/home/transfer/log/dynelle_test_Unassigned-20261204-140509.txt");
    EXPECT_TRUE(createDefaultFilename("X").startsWith("/home/transfer/log/dynelle_test_X-20"));
}

TEST(Usage, FiveLinesExactly)
{
    std::ostringstream out;
    printUsage(out);
    EXPECT_EQ(out.str(),
              "Usage: dynelle_test -h -? -f output/filename.txt\n"
              "Where:-\n"
              "  -? or -h      Prints ths help message\n"
              "  -f <filename> Writes the output to the passed filename instead of "
              "/home/transfer/log/dynelle_test_nnnnnn_nnnnnn.txt\n"
              "  -p            Creates a csv format output of the battery discharging (will run until Ctrl-C)\n");
}

} // namespace
