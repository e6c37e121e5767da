#include "tests/app/ManagerFixture.h"

namespace {

class TestManagerConsole : public ManagerFixture {
};

TEST_F(TestManagerConsole, DetailAndPromptReplaceTheirWholeAreaAndCutExtraLines)
{
    QStringList twenty;
    for (int i = 1; i <= 20; ++i)
        twenty << QString("line %1").arg(i);
    manager.detail(twenty.join('\n'));
    EXPECT_EQ(manager.detailLines[14], "line 15");
    manager.detail("a\n\nb\n"); // the final line break gives an empty line
    EXPECT_EQ(QStringList(manager.detailLines, manager.detailLines + 15).join('|'), "a||b" + QString(12, '|'));
    manager.updatePrompt("one\ntwo\nthree");
    manager.updatePrompt("only");
    EXPECT_EQ(manager.promptLines[0] + '|' + manager.promptLines[1], "only|");
}

TEST_F(TestManagerConsole, TestScreenDrawsItsPanelWithThePresentReadings)
{
    // The layout itself is the panel's table test; here: the manager's state reaches it.
    manager.title("Title");
    manager.detail("\n   (Active Power Source: *{APS}* at *{SV}V*)");
    manager.updatePrompt("\nPress *Y*");
    manager.systemVoltage = 12034;
    manager.powerSource = 1;
    manager.showTestDisplay();
    EXPECT_EQ(screen.row(0), "Title");
    EXPECT_EQ(screen.row(3), "     (Active Power Source: ACDC at 12.0V)");
    EXPECT_EQ(screen.row(23), "    Press Y");
    EXPECT_TRUE(screen.boldAt(23, 10));
}

// The key wait itself (type-ahead dropped, one burst of requests per 200 ms,
// the key lower-cased, i starting the extremes afresh) is shown end to end.
TEST_F(TestManagerConsole, AnUpperCaseIIsAnAnswerAndLeavesTheExtremes)
{
    manager.fd = FakeBoardDevice::boardFd;
    screen.typeKey('I', [&] { manager.systemVoltageMin = 9000; });
    EXPECT_EQ(manager.getLowerCh(), 'i');
    EXPECT_EQ(manager.systemVoltageMin, 9000);
}

// Editing itself is the serial entry's table test; here: the keys reach it and the modes are restored.
TEST_F(TestManagerConsole, SerialNumberEntryEditsTheLineAndIgnoresAResize)
{
    for (int key : std::vector<int>{'A', 'X', 127, 'B', ' ', 'c', Screen::resized, '\n', Screen::resized, 'y'})
        screen.typeKey(key);
    EXPECT_EQ(manager.enterBoardSerialNumber(), "AB");
    EXPECT_EQ(screen.row(16), "          You Entered \"AB\"");
    EXPECT_FALSE(screen.keyWait);
    EXPECT_FALSE(screen.echo);
}

TEST_F(TestManagerConsole, DisplayIsSetUpOnceAndClosedOnlyWhenUp)
{
    manager.closeDisplay();
    EXPECT_EQ(screen.stopCount, 0);
    manager.initDisplay();
    manager.initDisplay();
    EXPECT_EQ(screen.startCount, 1);
    manager.closeDisplay();
    manager.closeDisplay();
    EXPECT_EQ(screen.stopCount, 1);
    manager.initDisplay();
    EXPECT_EQ(screen.startCount, 2);
}

} // namespace
