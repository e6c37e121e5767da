#include "console/ConsoleScreens.h"
#include "console/DebugPanels.h"
#include "console/LiveTokens.h"
#include "console/Markup.h"
#include "console/Screen.h"
#include "console/SerialEntry.h"
#include "tests/support/ScriptedScreen.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Lines = std::vector<std::string>;

// "row,column[b]:text" for each line, b marking bold.
Lines texts(const Panel& panel)
{
    Lines result;
    for (const PanelLine& line : panel)
        result.push_back(std::to_string(line.row) + "," + std::to_string(line.column)
                         + (line.attributes & Screen::Bold ? "b" : "") + ":" + line.text.toStdString());
    return result;
}

// A doubled percent shows once but takes two columns of advance: the next
// piece starts where the stored text would have ended.
TEST(Markup, AsterisksSwitchBoldAndDoubledPercentShowsOnce)
{
    const struct { QString text; int column; Lines lines; } table[] = {
        {"LED D7 *On*, LED D8 *Off*", 0, {"1,0:LED D7 ", "1,7b:On", "1,9:, LED D8 ", "1,18b:Off"}},
        {"unpaired *rest bold", 0, {"1,0:unpaired ", "1,9b:rest bold"}},
        {"empty ** piece", 0, {"1,0:empty ", "1,6: piece"}},
        {"(*M*)enu, (*D*)ebug", 0, {"1,0:(", "1,1b:M", "1,2:)enu, (", "1,9b:D", "1,10:)ebug"}},
        {"10% single", 0, {"1,0:10% single"}},
        {"%%%", 0, {"1,0:%%"}},
        {"a%%*b*", 0, {"1,0:a%", "1,3b:b"}},
        {"  indented", 2, {"1,2:  indented"}},
    };
    for (const auto& [text, column, lines] : table)
        EXPECT_EQ(texts(markupLine(1, column, text)), lines) << text.toStdString();
    // The local encoding, and formats are never expanded.
    EXPECT_EQ(consoleBytes("%s %d %%"), QByteArray("%s %d %"));
}

TEST(LiveTokens, VoltageInVoltsWithOneDecimalAndTheLowestLiveSource)
{
    const std::pair<int, const char*> volts[] = {
        {12034, "12.0"}, {11850, "11.8"}, {11851, "11.9"}, {0, "0.0"}, {-1, "N/A"}, {9999, "10.0"}};
    for (const auto& [millivolts, text] : volts)
        EXPECT_EQ(systemVoltageToken(millivolts).toStdString(), text) << millivolts;
    // The lowest live input wins; bits beyond the three inputs are no input.
    const std::pair<int, const char*> sources[] = {
        {7, "ACDC"}, {6, "DC"}, {4, "Batt"}, {8, ""}, {-100000, "N/A"}, {-2, "DC"}};
    for (const auto& [mask, text] : sources)
        EXPECT_EQ(activePowerSourceToken(mask).toStdString(), text) << mask;
    // Every occurrence, case-sensitively.
    EXPECT_EQ(replaceLiveTokens("   (Active Power Source: *{APS}* at *{SV}V*)", 12034, 1),
              "   (Active Power Source: *ACDC* at *12.0V*)");
    EXPECT_EQ(replaceLiveTokens("{SV}/{SV} {aps} {APS}", -100000, -100000), "N/A/N/A {aps} N/A");
}

TEST(ConsolePanels, ScreenLayoutsAndDebugReadings)
{
    const auto protocols = [](std::string singleWire, std::string i2c, std::string smb) {
        return Lines{"17,2:Battery Protocols", "18,4:Single Wire (G-Plate): " + singleWire,
                     "19,4:I2C (V-Plate)        : " + i2c, "20,4:SMB (V-Plate)        : " + smb};
    };
    const std::pair<Panel, Lines> panels[] = {
        {testScreenPanel("Title *as is*", {"(Source: *{APS}* at *{SV}V*)", "", "a 10%% *b"}, {"", "Press *Y*"},
                         12034, 1),
         {"0,0b:Title *as is*", "2,2:(Source: ", "2,11b:ACDC", "2,15: at ", "2,19b:12.0V", "2,24:)", "4,2:a 10% ",
          "4,9b:b", "23,4:Press ", "23,10b:Y"}},
        {summaryPanel("Title 10%%", "FAILED: 10% off"),
         {"0,0b:Title 10%", "2,2b:FAILED: 10% off", "21,4:Press Any Key to continue : "}},
        {menuPanel({{"PASSED ", "A"}, {"Not Run", "B"}}),
         {"0,0b:Select Dynelle Test", "2,2:1) PASSED  - A", "3,2:2) Not Run - B",
          "23,6:Selection, (Q)uit, (U)pload and quit : "}},
        {debugHeaderPanel(QString::fromLatin1("V1\x1b[2J"), "/dev/x", 1, 2),
         {"0,0:Dynelle Test Debug - TR417 SW Version : V1\\x1b[2J",
          "2,4:USB Device       : /dev/x" + std::string(12, ' ') + "TX(       1) RX(       2)"}},
        // -2 and -1 are codes; any other value is minutes.
        {timeToEmptyPanel(-2), {"10,4:Time To Empty    : Not Discharging"}},
        {timeToEmptyPanel(-1), {"10,4:Time To Empty    : No Battery"}},
        {timeToEmptyPanel(95), {"10,4:Time To Empty    : 95  mins"}},
        {analogFuelGaugePanel(50), {"6,4:Analog Fuel Gauge: 50 % ~ 2.7V   (Only valid for G-Plate)"}},
        // Computed in double: the largest reading does not wrap round.
        {analogFuelGaugePanel(2147483647),
         {"6,4:Analog Fuel Gauge: 2147483647% ~ 99882960.7V   (Only valid for G-Plate)"}},
        {batteryVoltagePanel(12345), {"7,4:Battery Voltage  : 12.3V         (Read from Battery Protocol)"}},
        {batteryCapacityPanel(7), {"8,4:Battery Capacity : 7  %          (Read from Battery Protocol)"}},
        {powerSourcePanel(6), {"12,2:Power Sources", "13,4:6-Pin J1 (ACDC D7) : No ", "14,4:4-Pin J2 (  DC D8) : Yes",
                               "15,4:2-Pin J3 ( BAT D9) : Yes"}},
        {protocolsPanel(1), protocols("Yes", "No ", "No ")},
        {protocolsPanel(3), protocols("No ", "Yes", "No ")},
        {protocolsPanel(2), protocols("No ", "No ", "Yes")},
        {protocolsPanel(4), protocols("No ", "No ", "No ")},
    };
    for (const auto& [panel, lines] : panels)
        EXPECT_EQ(texts(panel), lines);
}

TEST(ConsolePanels, TheMenuHasOneEntryPerSelector)
{
    EXPECT_EQ(menuPanel(std::vector<MenuEntry>(30, MenuEntry{"Not Run", "T"})).size(), 1u + menuSelectorCount + 1u);
    const std::pair<int, int> selectors[] = {{'1', 0}, {'9', 8}, {'a', 9}, {'A', 9}, {'p', 24}, {'P', 24},
                                             {'q', -1}, {'0', -1}, {'#', -1}, {0, -1}, {0x19a, -1}, {-3, -1}};
    for (const auto& [key, position] : selectors)
        EXPECT_EQ(menuSelection(key), position) << key;
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

TEST(SerialEntry, KeysEditTheTypedLine)
{
    const struct { QByteArray line; int key; QByteArray after; } cases[] = {
        {"AB", 'C', "ABC"},
        {"AB", 127, "A"},                  // delete
        {"AB", 8, "A"},                    // backspace
        {"", 127, ""},
        {"M\xc3\xbc", 127, "M"},           // the whole UTF-8 character
        {"AB", 0xc3, "AB\xc3"},            // bytes beyond ASCII are kept
        {"AB", 0x1b, "AB"},                // escape and other controls are not
        {"AB", 0x19a, "AB"},               // function keys neither
        {QByteArray(maxTypedBytes, 'x'), 'y', QByteArray(maxTypedBytes, 'x')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(editedLine(c.line, c.key), c.after) << c.line.toStdString() << " + " << c.key;
    EXPECT_FALSE(endsLine(' ')); // CR and LF end the line in the manager's entry test and end to end
}

TEST(SerialEntry, TheFirstWordOfAtMostEightyBytesIsTheSerialNumber)
{
    const QByteArray long81 = QByteArray(79, 'a') + "\xc3\xbc";
    const struct { QByteArray line; QString serial; } cases[] = {
        {"AB123 trailing words", "AB123"},
        {"   X1\t", "X1"},
        {"   ", "Unassigned"},
        {"M\xc3\xbcller", QString::fromUtf8("M\xc3\xbcller")},
        {QByteArray(90, 'z'), QString(80, 'z')},
        {long81, QString(79, 'a')}, // 81 bytes: the last character does not fit whole
    };
    for (const auto& c : cases)
        EXPECT_EQ(serialNumberFromLine(c.line), c.serial) << c.line.toStdString();
}

} // namespace
