#include "tests/app/ManagerFixture.h"

#include "app/StopSignals.h"

#include <csignal>
#include <memory>
#include <vector>

namespace {

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
        const QStringList lines = logText().split('\n');
        QStringList results;
        for (const QString& line : lines)
            if (line.contains(" - ") && !line.startsWith("PASSED - Initialisation"))
                results << line;
        return results;
    }
};

TEST_F(TestManagerRun, UnknownResultRepeatsFailedTestIsOfferedAgainAfterTheLaterTestsThenTheMenuEndsTheRun)
{
    std::vector<QString> order;
    auto a = add("A", {{7, NotRun}, {-3, NotRun}, {Next, Passed}}); // an unknown result runs it again
    auto b = add("B", {{Next, Failed}, {Next, Passed}});
    auto c = add("C", {{Next, Passed}});
    for (ScriptedUnitTest* test : {a.get(), b.get(), c.get()})
        test->onRun = [&order, test] { order.push_back(test->title); };
    screen.typeKeys("xxxx"); // one key per summary screen
    screen.typeKey('Q');     // at the menu, upper case works too

    EXPECT_EQ(manager.run(), 0);
    EXPECT_EQ(order, (std::vector<QString>{"A", "A", "A", "B", "C", "B"}));
    EXPECT_FALSE(screen.started);
    EXPECT_EQ(resultLines(), (QStringList{"PASSED  - A", "PASSED  - B", "PASSED  - C"}));
}

// Selecting in either case and the states shown are checked end to end.
TEST_F(TestManagerRun, AMenuKeyWithoutATestBehindItShowsTheMenuAgain)
{
    auto a = add("A", {{Menu, NotRun}});
    screen.typeKeys("p#q"); // 'p' is the 25th selector
    EXPECT_EQ(manager.run(), 0);
    EXPECT_EQ(a->runs, 1);
    EXPECT_FALSE(screen.keyWait);
    EXPECT_FALSE(screen.echo);
}

TEST_F(TestManagerRun, SummaryShowsTheTestsVerdictAndBlocksOnTheKeyWithoutPolling)
{
    auto a = add("Title with 10%%", {{Next, Failed}});
    add("B", {});
    size_t requestsWhenTestEnded = 0;
    size_t requestsAtSummaryKey = 1;
    a->onRun = [&] { requestsWhenTestEnded = board.requests.size(); };
    screen.typeKey('x', [&] {
        requestsAtSummaryKey = board.requests.size();
        EXPECT_EQ(screen.row(2), "  verdict 1");
    });

    EXPECT_EQ(manager.run(), -1); // B is not scripted and quits
    ASSERT_EQ(screen.blockingReads.size(), 1u);
    EXPECT_TRUE(screen.blockingReads[0]);
    EXPECT_EQ(requestsAtSummaryKey, requestsWhenTestEnded);
    EXPECT_FALSE(screen.keyWait);
}

// A test that asks the operator and leaves on q, as the board tests do.
class AskingTest : public UnitTest {
public:
    using UnitTest::UnitTest;
    int run(TestManager& tm) override
    {
        for (;;) {
            const int key = tm.prompt("Y or (Q)uit");
            if (key == 'q')
                return Quit;
            if (key == 'y') {
                state = Passed;
                return Next;
            }
        }
    }
};

// Where the run waits, the keys before the stop, whether a signal (else the keyboard input ends), the states logged.
struct Stop { const char* where; std::string keys; bool signal; QStringList logged; };
void PrintTo(const Stop& stop, std::ostream* out) { *out << stop.where << (stop.signal ? ", signal" : ", end of input"); }
class StopEndsTheRun : public TestManagerRun, public ::testing::WithParamInterface<Stop> {};

TEST_P(StopEndsTheRun, EveryWaitEndsLikeQuitWithMinusOne)
{
    catchStopSignals();
    forgetStopSignal();
    manager.addUnitTest(std::make_shared<AskingTest>("A"));
    manager.addUnitTest(std::make_shared<AskingTest>("B"));
    for (char key : GetParam().keys) {
        if (key == 'd') // a test that asks for the debug screen
            manager.unitTests[0] = std::make_shared<ScriptedUnitTest>(
                "A", std::vector<ScriptedUnitTest::Outcome>{{Debug, NotRun}});
        else
            screen.typeKey(key);
    }
    if (GetParam().signal)
        screen.typeKey('x', [] { std::raise(SIGTERM); }); // the signal arrives while the key is being read
    else
        screen.typeKey(Screen::inputClosed);
    EXPECT_EQ(manager.run(), -1);
    EXPECT_FALSE(screen.started);
    EXPECT_EQ(resultLines(), GetParam().logged);
    EXPECT_EQ(screen.keysLeft(), 0u);
    forgetStopSignal();
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        std::signal(number, SIG_DFL);
}
const Stop stops[] = {
    {"test prompt", "", false, {"Not Run - A", "Not Run - B"}},
    {"summary", "y", false, {"PASSED  - A", "Not Run - B"}},
    {"summary", "y", true, {"PASSED  - A", "Not Run - B"}},
    {"debug screen", "d", false, {"Not Run - A", "Not Run - B"}},
    {"menu", "yxyx", false, {"PASSED  - A", "PASSED  - B"}}, // Q here would give 0
};
INSTANTIATE_TEST_SUITE_P(Waits, StopEndsTheRun, ::testing::ValuesIn(stops));

TEST_F(TestManagerRun, NextIncompleteSearchesForwardThenWrapsRoundIncludingTheCurrentTest)
{
    const struct {
        std::vector<int> states;
        int currentTest, expected;
    } cases[] = {
        {{Passed, Failed, Passed}, 0, 1},
        {{Passed, Failed, Passed}, 2, 1},
        {{Passed, Failed, Passed}, 1, 1},  // the test just run counts
        {{Passed, Skipped, Passed}, 1, 3}, // all complete: the count
        {{NotRun, Passed, NotRun}, 0, 2},
        {{Failed, Passed}, -1, 0},
        {{Passed, Passed}, -1, 2},         // no wrap from a negative index
        {{Passed, 9}, 1, 1},               // unknown states are incomplete
        {{}, 0, 0},
    };
    for (const auto& c : cases) {
        manager.unitTests.clear();
        for (int state : c.states) {
            add("t", {})->state = state;
        }
        manager.currentTest = c.currentTest;
        EXPECT_EQ(manager.nextIncompleteTest(), c.expected) << c.states.size() << " tests, current " << c.currentTest;
    }
}

} // namespace
