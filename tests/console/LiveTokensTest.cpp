#include "console/LiveTokens.h"

#include <gtest/gtest.h>

namespace {

TEST(LiveTokens, SystemVoltageInVoltsWithOneDecimal)
{
    const std::pair<int, const char*> table[] = {
        {12034, "12.0"}, {11850, "11.8"}, {11851, "11.9"}, {0, "0.0"}, {-1, "N/A"}, {-100000, "N/A"}, {9999, "10.0"}};
    for (const auto& [millivolts, text] : table)
        EXPECT_EQ(systemVoltageToken(millivolts).toStdString(), text) << millivolts;
}

TEST(LiveTokens, ActivePowerSourceLowestBitWins)
{
    const std::pair<int, const char*> table[] = {{1, "ACDC"}, {3, "ACDC"}, {7, "ACDC"}, {2, "DC"},      {6, "DC"},
                                                 {4, "Batt"}, {0, ""},     {8, ""},     {-100000, "N/A"}, {-2, "DC"}};
    for (const auto& [mask, text] : table)
        EXPECT_EQ(activePowerSourceToken(mask).toStdString(), text) << mask;
}

TEST(LiveTokens, EveryOccurrenceIsReplacedCaseSensitively)
{
    EXPECT_EQ(replaceLiveTokens("   (Active Power Source: *{APS}* at *{SV}V*)", 12034, 1),
              "   (Active Power Source: *ACDC* at *12.0V*)");
    EXPECT_EQ(replaceLiveTokens("{SV}/{SV} {aps} {APS}", -100000, -100000), "N/A/N/A {aps} N/A");
}

} // namespace
