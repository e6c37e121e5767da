#include "app/DefaultFilename.h"

#include <gtest/gtest.h>

namespace {

TEST(DefaultFilename, SerialAndLocalTimeInTheFixedDirectory)
{
    const QDateTime at(QDate(2026, 12, 4), QTime(14, 5, 9));
    EXPECT_EQ(createDefaultFilename("A1234", at), "/home/transfer/log/dynelle_test_A1234-20261204-140509.txt");
    EXPECT_EQ(createDefaultFilename("Unassigned", at), "/home/transfer/log/dynelle_test_Unassigned-20261204-140509.txt");
    EXPECT_TRUE(createDefaultFilename("X").startsWith("/home/transfer/log/dynelle_test_X-20"));
}

} // namespace
