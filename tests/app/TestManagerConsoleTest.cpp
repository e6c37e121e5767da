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
    EXPECT_EQ(manager.detailLines[0], "line 1");
    EXPECT_EQ(manager.detailLines[14], "line 15");

    manager.detail("a\n\nb\n");
    EXPECT_EQ(manager.detailLines[0], "a");
    EXPECT_EQ(manager.detailLines[1], "");
    EXPECT_EQ(manager.detailLines[2], "b");
    EXPECT_EQ(manager.detailLines[3], ""); // the final line break gives an empty line
    EXPECT_EQ(manager.detailLines[14], "");

    manager.updatePrompt("one\ntwo\nthree");
    EXPECT_EQ(manager.promptLines[0], "one");
    EXPECT_EQ(manager.promptLines[1], "two");
    manager.updatePrompt("only");
    EXPECT_EQ(manager.promptLines[1], "");
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

TEST_F(TestManagerConsole, KeyWaitDropsTypeAheadPollsTheBoardAndLowerCasesTheKey)
{
    manager.fd = FakeBoardDevice::boardFd;
    screen.typeAhead('q'); // typed before the question was asked
    screen.typeKey('Y');
    EXPECT_EQ(manager.prompt("Question?"), 'y');
    EXPECT_EQ(screen.row(21), "    Question?");
    EXPECT_EQ(board.requests.size(), 8u);
    EXPECT_EQ(manager.systemVoltage, 14000);
    EXPECT_EQ(board.sleptNanoseconds, 200000000);
}

TEST_F(TestManagerConsole, SerialNumberEntryEditsTheLineAndIgnoresAResize)
{
    // (keys, what is stored); each entry is confirmed with y after a resize.
    const struct {
        std::vector<int> keys;
        QString serial;
    } cases[] = {
        {{'A', 'X', 127, 'B', ' ', 'c', '\n'}, "AB"},
        {{Screen::resized, '\r'}, "Unassigned"},
        {{'M', 0xc3, 0xbc, 'l', 8, 8, 'x', '\r'}, "Mx"}, // backspace takes the whole character
    };
    for (const auto& c : cases) {
        for (int key : c.keys)
            screen.typeKey(key);
        screen.typeKey(Screen::resized);
        screen.typeKey('y');
        EXPECT_EQ(manager.enterBoardSerialNumber(), c.serial);
        EXPECT_EQ(screen.row(16), "          You Entered \"" + c.serial + "\"");
        EXPECT_FALSE(screen.keyWait);
        EXPECT_FALSE(screen.echo);
    }
}

TEST_F(TestManagerConsole, LowerCaseIResetsTheExtremesAndTheWaitGoesOn)
{
    manager.fd = FakeBoardDevice::boardFd;
    int minimumSeenAtReset = 0;
    screen.typeKey('i', [&] { minimumSeenAtReset = manager.systemVoltageMin; });
    screen.typeKey('n', [&] {
        board.setReading('S', 12000);
        EXPECT_EQ(manager.systemVoltageMin, 14000) << "a fresh minimum after the reset";
    });
    EXPECT_EQ(manager.getLowerCh(), 'n');
    EXPECT_EQ(minimumSeenAtReset, 14000);

    screen.typeKey('I');
    EXPECT_EQ(manager.getLowerCh(), 'i'); // only lower case resets
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
