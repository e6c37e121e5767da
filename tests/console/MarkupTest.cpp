#include "console/Markup.h"
#include "tests/support/ScriptedScreen.h"

#include <gtest/gtest.h>

namespace {

// Renders one line and returns it with bold characters in brackets, so that
// a table can say exactly what is shown and how.
std::string rendered(const QString& text, int column = 0)
{
    ScriptedScreen screen;
    printMarkup(screen, 1, column, text);
    EXPECT_EQ(screen.currentAttributes & Screen::Bold, 0) << "bold left on after the line";
    std::string result;
    bool bold = false;
    const QString row = screen.row(1);
    for (int c = 0; c < row.size(); ++c) {
        if (screen.boldAt(1, c) != bold) {
            result += bold ? "]" : "[";
            bold = !bold;
        }
        result += row[c].toLatin1();
    }
    if (bold)
        result += "]";
    return result;
}

TEST(Markup, AsterisksSwitchBoldAndAreNotShown)
{
    const std::pair<QString, std::string> table[] = {
        {"LED D7 *On*, LED D8 *Off*", "LED D7 [On], LED D8 [Off]"},
        {"plain", "plain"},
        {"*all bold*", "[all bold]"},
        {"unpaired *rest bold", "unpaired [rest bold]"},
        {"empty ** piece", "empty  piece"},
        {"(*M*)enu, (*D*)ebug", "([M])enu, ([D])ebug"},
    };
    for (const auto& [text, shown] : table)
        EXPECT_EQ(rendered(text), shown) << text.toStdString();
}

TEST(Markup, DoubledPercentShowsOnceButTakesTwoColumnsOfAdvance)
{
    EXPECT_EQ(rendered("within 10%% of"), "within 10% of");
    EXPECT_EQ(rendered("10% single"), "10% single");
    EXPECT_EQ(rendered("%%%"), "%%");
    // The next piece starts where the stored text would have ended.
    EXPECT_EQ(rendered("a%%*b*"), "a% [b]");
    EXPECT_EQ(rendered("  indented", 2), "    indented");
}

TEST(Markup, ConsoleBytesUseTheLocalEncodingAndNeverExpandFormats)
{
    EXPECT_EQ(consoleBytes("%s %d %%"), QByteArray("%s %d %"));
}

} // namespace
