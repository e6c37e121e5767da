#include "console/DebugPanels.h"
#include "console/Screen.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> texts(const Panel& panel)
{
    std::vector<std::string> result;
    for (const PanelLine& line : panel)
        result.push_back(std::to_string(line.row) + "," + std::to_string(line.column) + ":" + line.text.toStdString());
    return result;
}

using Lines = std::vector<std::string>;

TEST(DebugPanels, ReadingsAndTheirCodes)
{
    EXPECT_EQ(texts(timeToEmptyPanel(-2)), Lines{"10,4:Time To Empty    : Not Discharging"});
    EXPECT_EQ(texts(timeToEmptyPanel(-1)), Lines{"10,4:Time To Empty    : No Battery"});
    EXPECT_EQ(texts(timeToEmptyPanel(-3)), Lines{"10,4:Time To Empty    : -3  mins"});
    EXPECT_EQ(texts(timeToEmptyPanel(95)), Lines{"10,4:Time To Empty    : 95  mins"});
    EXPECT_EQ(texts(analogFuelGaugePanel(50)),
              Lines{"6,4:Analog Fuel Gauge: 50 % ~ 2.7V   (Only valid for G-Plate)"});
    // Computed in double: the largest reading does not wrap round.
    EXPECT_EQ(texts(analogFuelGaugePanel(2147483647)),
              Lines{"6,4:Analog Fuel Gauge: 2147483647% ~ 99882960.7V   (Only valid for G-Plate)"});
    EXPECT_EQ(texts(debugHeaderPanel(QString::fromLatin1("V1\x1b[2J"), "/dev/x", 1, 2))[0],
              "0,0:Dynelle Test Debug - TR417 SW Version : V1\\x1b[2J");
    EXPECT_EQ(texts(batteryVoltagePanel(12345)),
              Lines{"7,4:Battery Voltage  : 12.3V         (Read from Battery Protocol)"});
    EXPECT_EQ(texts(batteryCapacityPanel(7)), Lines{"8,4:Battery Capacity : 7  %          (Read from Battery Protocol)"});
    EXPECT_EQ(texts(powerSourcePanel(6)),
              (Lines{"12,2:Power Sources", "13,4:6-Pin J1 (ACDC D7) : No ", "14,4:4-Pin J2 (  DC D8) : Yes",
                     "15,4:2-Pin J3 ( BAT D9) : Yes"}));
    const std::pair<int, Lines> protocols[] = {
        {1, {"Yes", "No ", "No "}}, {3, {"No ", "Yes", "No "}}, {2, {"No ", "No ", "Yes"}},
        {0, {"No ", "No ", "No "}}, {4, {"No ", "No ", "No "}}};
    for (const auto& [interface, shown] : protocols) {
        const Panel panel = protocolsPanel(interface);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(panel[i + 1].text.right(3).toStdString(), shown[i]) << interface << " line " << i;
    }
}

TEST(DebugPanels, ColourBandsOfTheExtremes)
{
    const int alarm = Screen::AlarmPair | Screen::Bold;
    const int warning = Screen::WarningPair | Screen::Bold;
    const int good = Screen::GoodPair;
    const std::pair<int, int> minimum[] = {{10400, alarm}, {10401, warning}, {10700, warning},
                                           {10701, good},  {-100000, alarm}, {14000, good}};
    for (const auto& [millivolts, attributes] : minimum)
        EXPECT_EQ(systemVoltageMinAttributes(millivolts), attributes) << millivolts;
    const std::pair<int, int> maximum[] = {{17800, alarm}, {17799, warning}, {17300, warning},
                                           {17299, good},  {-100000, good},  {20000, alarm}};
    for (const auto& [millivolts, attributes] : maximum)
        EXPECT_EQ(systemVoltageMaxAttributes(millivolts), attributes) << millivolts;
}

} // namespace
