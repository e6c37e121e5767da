#include "app/UnitTestGroup.h"
#include "tests/app/ManagerFixture.h"
#include "tests/app/ScriptedUnitTest.h"

namespace {

using Outcomes = std::vector<ScriptedUnitTest::Outcome>;

struct GroupCase {
    const char* name;
    std::vector<Outcomes> children;
    int expectedResult;
    int expectedState;
    const char* expectedMessage;
    std::vector<int> expectedRuns;
};

void PrintTo(const GroupCase& c, std::ostream* out)
{
    *out << c.name;
}

class UnitTestGroupRun : public ManagerFixture, public testing::WithParamInterface<GroupCase> {
};

TEST_P(UnitTestGroupRun, JudgesItsChildrenTogether)
{
    const GroupCase& c = GetParam();
    UnitTestGroup group("Group");
    std::vector<std::shared_ptr<ScriptedUnitTest>> children;
    for (const Outcomes& outcomes : c.children) {
        children.push_back(std::make_shared<ScriptedUnitTest>("child", outcomes));
        group.addUnitTest(children.back());
    }
    group.state = Failed; // left over from an earlier run

    EXPECT_EQ(group.run(manager), c.expectedResult);
    EXPECT_EQ(group.state, c.expectedState);
    EXPECT_EQ(group.resultMessage.toStdString(), c.expectedMessage);
    for (size_t i = 0; i < children.size(); ++i)
        EXPECT_EQ(children[i]->runs, c.expectedRuns[i]) << "child " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnitTestGroupRun,
    testing::Values(
        GroupCase{"BothPass", {{{Next, Passed}}, {{Next, Passed}}}, Next, Passed, "PASSED: Test Completed", {1, 1}},
        GroupCase{"FirstFails", {{{Next, Failed}}, {{Next, Passed}}}, Next, Failed, "FAILED: 1 failed out of 2", {1, 1}},
        GroupCase{"SkippedCountsAgainst", {{{Next, Skipped}}, {{Next, Failed}}}, Next, Failed,
                  "FAILED: 2 failed out of 2", {1, 1}},
        GroupCase{"OddResultGoesOn", {{{9, Passed}}, {{Next, Passed}}}, Next, Passed, "PASSED: Test Completed", {1, 1}},
        GroupCase{"SecondAsksForMenu", {{{Next, Passed}}, {{Menu, Failed}}}, Menu, NotRun, "Test Not Completed", {1, 1}},
        GroupCase{"FirstQuits", {{{Quit, NotRun}}, {{Next, Passed}}}, Quit, NotRun, "Test Not Completed", {1, 0}},
        GroupCase{"FirstAsksForDebug", {{{Debug, NotRun}}, {{Next, Passed}}}, Debug, NotRun, "Test Not Completed", {1, 0}},
        GroupCase{"NoChildren", {}, Next, Passed, "PASSED: Test Completed", {}}),
    [](const testing::TestParamInfo<GroupCase>& info) { return std::string(info.param.name); });

TEST(UnitTestModel, NewTestIsNotRunAndStateStringsAreSevenCharacters)
{
    ScriptedUnitTest test("t", {});
    EXPECT_EQ(test.getTestStateStr(), "Not Run");
    EXPECT_EQ(test.resultMessage, "Test Not Run");
    const std::vector<std::pair<int, const char*>> table = {
        {Passed, "PASSED "}, {Failed, "FAIL!! "}, {NotRun, "Not Run"}, {Skipped, "SKIPPED"}, {4, "*ERROR*"},
        {7, "*ERROR*"},      {-1, "*ERROR*"}};
    for (const auto& [state, text] : table) {
        test.state = state;
        EXPECT_EQ(test.getTestStateStr().toStdString(), text) << state;
    }
}

} // namespace
