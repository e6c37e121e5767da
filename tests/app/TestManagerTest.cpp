#include "tests/support/ManagerFixture.h"

#include "app/DefaultFilename.h"
#include "app/UnitTest.h"
#include "app/UnitTestGroup.h"

#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// A test whose verdicts are scripted: each run takes the next (result,
// state) pair; it records how often it ran.
class ScriptedUnitTest : public UnitTest {
public:
    using Outcome = std::pair<int, int>; // run result, state afterwards

    ScriptedUnitTest(const QString& title, std::vector<Outcome> outcomes)
        : UnitTest(title), outcomes(outcomes.begin(), outcomes.end())
    {
    }

    int run(TestManager&) override
    {
        ++runs;
        if (onRun)
            onRun();
        if (outcomes.empty())
            return Quit; // an unscripted run ends the manager's loop
        const Outcome next = outcomes.front();
        outcomes.pop_front();
        state = next.second;
        return next.first;
    }

    int runs = 0;
    std::function<void()> onRun;
    std::deque<Outcome> outcomes;
};

class TestManagerRun : public ManagerFixture {
protected:
    std::shared_ptr<ScriptedUnitTest> add(const QString& title, std::vector<ScriptedUnitTest::Outcome> outcomes)
    {
        auto test = std::make_shared<ScriptedUnitTest>(title, std::move(outcomes));
        manager.addUnitTest(test);
        return test;
    }

    QStringList resultLines() const
    {
        QStringList results = logText().split('\n').filter(" - ");
        results.removeAll("PASSED - Initialisation Tests");
        return results;
    }
};

TEST_F(TestManagerRun, UnknownResultRepeatsFailedTestIsOfferedAgainAfterTheLaterTestsThenTheMenuEndsTheRun)
{
    std::vector<QString> order;
    size_t requestsAtLastRun = 0;
    auto a = add("A", {{7, NotRun}, {-3, NotRun}, {Next, Passed}}); // an unknown result runs it again
    auto b = add("B", {{Next, Failed}, {Next, Passed}});
    auto c = add("C", {{Next, Passed}});
    for (ScriptedUnitTest* test : {a.get(), b.get(), c.get()})
        test->onRun = [&, test] {
            order.push_back(test->title);
            requestsAtLastRun = board.requests.size();
            EXPECT_FALSE(screen.keyWait); // a summary's blocking key wait would stall the tests' polling
        };
    // One key per summary screen, read blocking without polling the board (the
    // bench may be loaded); at the menu 'p' (the 25th selector) and '#' select
    // no test, then Q. Selecting in either case is shown end to end.
    for (int i = 0; i < 4; ++i)
        screen.typeKey('x', [&] { EXPECT_EQ(board.requests.size(), requestsAtLastRun); });
    screen.typeKeys("p#Q");

    EXPECT_EQ(manager.run(), 0);
    EXPECT_EQ(order, (std::vector<QString>{"A", "A", "A", "B", "C", "B"}));
    EXPECT_EQ(screen.blockingReads, std::vector<bool>(7, true));
    EXPECT_EQ(screen.stopCount, screen.startCount);
    EXPECT_FALSE(screen.keyWait);
    EXPECT_FALSE(screen.echo);
    EXPECT_EQ(resultLines(), (QStringList{"PASSED  - A", "PASSED  - B", "PASSED  - C"}));
}

// Where the run waits, the tests' outcomes, the keys before the keyboard input
// ends, the states logged (unknown ones as *ERROR*). A stop at a test's prompt
// and by signal are shown end to end.
struct Stop { const char* where; std::vector<ScriptedUnitTest::Outcome> a, b; std::string keys; QStringList logged; };
void PrintTo(const Stop& stop, std::ostream* out) { *out << stop.where; }
class StopEndsTheRun : public TestManagerRun, public ::testing::WithParamInterface<Stop> {};

TEST_P(StopEndsTheRun, EveryWaitEndsLikeQuitWithMinusOne)
{
    add("A", GetParam().a);
    add("B", GetParam().b);
    screen.typeKeys(GetParam().keys);
    screen.typeKey(Screen::inputClosed);
    EXPECT_EQ(manager.run(), -1);
    manager.closeDisplay(); // as the program does once more on its way out
    EXPECT_EQ(screen.stopCount, screen.startCount);
    EXPECT_EQ(resultLines(), GetParam().logged);
    EXPECT_EQ(screen.keysLeft(), 0u);
}
const Stop stops[] = {
    {"summary", {{Next, 4}}, {}, "", {"*ERROR* - A", "Not Run - B"}},
    {"debug screen", {{Debug, -1}}, {}, "", {"*ERROR* - A", "Not Run - B"}},
    {"menu", {{Next, Passed}}, {{Next, Passed}}, "xx", {"PASSED  - A", "PASSED  - B"}}, // Q here would give 0
};
INSTANTIATE_TEST_SUITE_P(Waits, StopEndsTheRun, ::testing::ValuesIn(stops));

TEST_F(TestManagerRun, NextIncompleteSearchesForwardThenWrapsRoundIncludingTheCurrentTest)
{
    const struct {
        std::vector<int> states;
        int currentTest, expected;
    } cases[] = {
        {{Passed, Failed, Passed}, 2, 1},
        {{Passed, 9, Passed}, 1, 1},       // the test just run counts; unknown states are incomplete
        {{Passed, Skipped, Passed}, 1, 3}, // all complete: the count
        {{Failed, Passed}, -1, 0},
        {{Passed, Passed}, -1, 2},         // no wrap from a negative index
        {{}, 0, 0},
    };
    for (const auto& c : cases) {
        manager.unitTests.clear();
        for (int state : c.states)
            add("t", {})->state = state;
        manager.currentTest = c.currentTest;
        EXPECT_EQ(manager.nextIncompleteTest(), c.expected) << c.states.size() << " tests, current " << c.currentTest;
    }
}

// The layout is the panel's table test, title and prompt are shown end to
// end; the readings there are N/A, so here: the manager's readings reach it.
TEST_F(TestManagerRun, DetailAndPromptFillTheirWholeAreaAndTheTestScreenShowsThePresentReadings)
{
    manager.detail(QString("-\n").repeated(14) + "line 15\nline 16\nline 17");
    EXPECT_EQ(manager.detailLines[14], "line 15");
    manager.detail("a\n\nb\n"); // the final line break gives an empty line
    EXPECT_EQ(QStringList(manager.detailLines, manager.detailLines + 15).join('|'), "a||b" + QString(12, '|'));
    manager.updatePrompt("one\ntwo\nthree");
    manager.updatePrompt("only");
    EXPECT_EQ(manager.promptLines[0] + '|' + manager.promptLines[1], "only|");
    manager.detail("\n   (Active Power Source: *{APS}* at *{SV}V*)");
    manager.systemVoltage = 12034;
    manager.powerSource = 1;
    manager.showTestDisplay();
    EXPECT_EQ(screen.row(3), "     (Active Power Source: ACDC at 12.0V)");
}

// Editing itself is the serial entry's table test; here: the keys reach it and the modes are restored.
TEST_F(TestManagerRun, SerialNumberEntryEditsTheLineAndIgnoresAResize)
{
    for (int key : std::vector<int>{'A', 'X', 127, 'B', ' ', 'c', Screen::resized, '\n', Screen::resized, 'y'})
        screen.typeKey(key);
    EXPECT_EQ(manager.enterBoardSerialNumber(), "AB");
    EXPECT_EQ(screen.row(16), "          You Entered \"AB\"");
    EXPECT_FALSE(screen.keyWait);
    EXPECT_FALSE(screen.echo);
}

using Outcomes = std::vector<ScriptedUnitTest::Outcome>;

// Both passing, quitting and the debug screen from within a group are shown end to end.
TEST_F(TestManagerRun, GroupJudgesItsChildrenTogether)
{
    const struct {
        const char* name;
        std::vector<Outcomes> children;
        int result, state;
        const char* message;
    } cases[] = {
        {"first fails", {{{Next, Failed}}, {{Next, Passed}}}, Next, Failed, "FAILED: 1 failed out of 2"},
        {"skipped counts against", {{{Next, Skipped}}, {{Next, Failed}}}, Next, Failed, "FAILED: 2 failed out of 2"},
        {"odd result goes on", {{{9, Passed}}, {{Next, Passed}}}, Next, Passed, "PASSED: Test Completed"},
        {"second asks for menu", {{{Next, Passed}}, {{Menu, Failed}}}, Menu, NotRun, "Test Not Completed"},
        {"no children", {}, Next, Passed, "PASSED: Test Completed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UnitTestGroup group("Group");
        std::vector<std::shared_ptr<ScriptedUnitTest>> children;
        for (const Outcomes& outcomes : c.children) {
            children.push_back(std::make_shared<ScriptedUnitTest>("child", outcomes));
            group.addUnitTest(children.back());
        }
        group.state = Failed; // left over from an earlier run
        EXPECT_EQ(group.run(manager), c.result);
        EXPECT_EQ(group.state, c.state);
        EXPECT_EQ(group.resultMessage.toStdString(), c.message);
        for (const auto& child : children)
            EXPECT_EQ(child->runs, 1); // each once, whatever the first's verdict
    }
}

TEST(DefaultFilename, SerialAndLocalTimeInTheFixedDirectory)
{
    const QDateTime at(QDate(2026, 12, 4), QTime(14, 5, 9));
    EXPECT_EQ(createDefaultFilename("A1234", at), "/home/transfer/log/dynelle_test_A1234-20261204-140509.txt");
    EXPECT_TRUE(createDefaultFilename("X").startsWith("/home/transfer/log/dynelle_test_X-20"));
}

} // namespace
