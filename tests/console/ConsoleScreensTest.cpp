#include "console/ConsoleScreens.h"
#include "console/Screen.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "row,column[b]:text" for each line, b marking bold.
std::vector<std::string> texts(const Panel& panel)
{
    std::vector<std::string> result;
    for (const PanelLine& line : panel)
        result.push_back(std::to_string(line.row) + "," + std::to_string(line.column)
                         + (line.attributes & Screen::Bold ? "b" : "") + ":" + line.text.toStdString());
    return result;
}

using Lines = std::vector<std::string>;

TEST(ConsoleScreens, TestScreenSummaryAndMenuLayouts)
{
    const struct { const char* name; Panel panel; Lines lines; } cases[] = {
        {"test screen",
         testScreenPanel("Title *as is*", {"(Source: *{APS}* at *{SV}V*)", "", "a 10%% *b"}, {"", "Press *Y*"},
                         12034, 1),
         {"0,0b:Title *as is*", "2,2:(Source: ", "2,11b:ACDC", "2,15: at ", "2,19b:12.0V", "2,24:)", "4,2:a 10% ",
          "4,9b:b", "23,4:Press ", "23,10b:Y"}},
        {"summary", summaryPanel("Title 10%%", "FAILED: 10% off"),
         {"0,0b:Title 10%", "2,2b:FAILED: 10% off", "21,4:Press Any Key to continue : "}},
        {"menu", menuPanel({{"PASSED ", "A"}, {"Not Run", "B"}}),
         {"0,0b:Select Dynelle Test", "2,2:1) PASSED  - A", "3,2:2) Not Run - B",
          "23,6:Selection, (Q)uit, (U)pload and quit : "}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(texts(c.panel), c.lines) << c.name;

    // Never more entries than selectors.
    EXPECT_EQ(menuPanel(std::vector<MenuEntry>(30, MenuEntry{"Not Run", "T"})).size(), 1u + menuSelectorCount + 1u);
}

TEST(ConsoleScreens, MenuSelectorsInEitherCase)
{
    const std::pair<int, int> cases[] = {{'1', 0}, {'9', 8}, {'a', 9}, {'A', 9}, {'p', 24}, {'P', 24},
                                         {'q', -1}, {'0', -1}, {'#', -1}, {0, -1}, {0x19a, -1}, {-3, -1}};
    for (const auto& [key, position] : cases)
        EXPECT_EQ(menuSelection(key), position) << key;
}

} // namespace
