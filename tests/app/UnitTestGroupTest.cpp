#include "app/UnitTestGroup.h"
#include "tests/app/ManagerFixture.h"

namespace {

using Outcomes = std::vector<ScriptedUnitTest::Outcome>;

class UnitTestGroupRun : public ManagerFixture {
};

// Both passing, and the debug screen from within a group, are shown end to end.
TEST_F(UnitTestGroupRun, JudgesItsChildrenTogether)
{
    const struct {
        const char* name;
        std::vector<Outcomes> children;
        int result, state;
        const char* message;
        std::vector<int> runs;
    } cases[] = {
        {"first fails", {{{Next, Failed}}, {{Next, Passed}}}, Next, Failed, "FAILED: 1 failed out of 2", {1, 1}},
        {"skipped counts against", {{{Next, Skipped}}, {{Next, Failed}}}, Next, Failed, "FAILED: 2 failed out of 2",
         {1, 1}},
        {"odd result goes on", {{{9, Passed}}, {{Next, Passed}}}, Next, Passed, "PASSED: Test Completed", {1, 1}},
        {"second asks for menu", {{{Next, Passed}}, {{Menu, Failed}}}, Menu, NotRun, "Test Not Completed", {1, 1}},
        {"first quits", {{{Quit, NotRun}}, {{Next, Passed}}}, Quit, NotRun, "Test Not Completed", {1, 0}},
        {"no children", {}, Next, Passed, "PASSED: Test Completed", {}},
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
        for (size_t i = 0; i < children.size(); ++i)
            EXPECT_EQ(children[i]->runs, c.runs[i]) << "child " << i;
    }
}

// The four known states are shown end to end on the menu and in the log.
TEST(UnitTestModel, NewTestIsNotRunAndAnUnknownStateShowsAsAnError)
{
    ScriptedUnitTest test("t", {});
    EXPECT_EQ(test.getTestStateStr(), "Not Run");
    EXPECT_EQ(test.resultMessage, "Test Not Run");
    for (int state : {4, -1}) {
        test.state = state;
        EXPECT_EQ(test.getTestStateStr(), "*ERROR*") << state;
    }
}

} // namespace
