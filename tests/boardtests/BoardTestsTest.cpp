#include "boardtests/BatteryProtocolUnitTest.h"
#include "boardtests/PowerSourceUnitTest.h"
#include "boardtests/SysVoltageAndLEDTest.h"
#include "tests/support/ManagerFixture.h"
#include <ostream>
#include <vector>

const char* const passed = "PASSED: Test Completed";
const char* const notRun = "Test Not Run";
const char* const skipped = "Test Skipped";
const char* const sources = "ERROR: Unexpected Power Sources Indicated";

// One run: bench readings, skipVoltageCheck or the fuel-gauge check, keys, outcome and, when set, the last prompt.
struct Verdict { const char* bench; bool flag; const char* keys; int result, state; const char *message, *prompt = nullptr; };
void PrintTo(const Verdict& v, std::ostream* out) { *out << v.bench << " / " << v.flag << " / " << v.keys; }

class BoardTestFixture : public ManagerFixture {
protected:
    BoardTestFixture() { manager.fd = FakeBoardDevice::boardFd; }

    void bench(const char* readings)
    {
        for (const QString& reading : QString(readings).split(' ', Qt::SkipEmptyParts))
            board.setReply(reading[0].toLatin1(), reading.left(1).toLatin1() + ' ' + reading.mid(1).toLatin1());
    }
    void expectVerdict(UnitTest& test, const Verdict& v)
    {
        bench(v.bench);
        manager.skipVoltageCheck = v.flag;
        screen.typeKeys(v.keys);
        EXPECT_EQ(test.run(manager), v.result);
        EXPECT_EQ(test.state, v.state);
        EXPECT_EQ(test.resultMessage, v.message);
        if (v.prompt) { // a bare EXPECT under if draws a dangling-else warning
            EXPECT_EQ(manager.promptLines[0] + '\n' + manager.promptLines[1], v.prompt);
        }
        EXPECT_EQ(screen.keysLeft(), 0u);
    }
};

class VerdictTest : public BoardTestFixture, public ::testing::WithParamInterface<Verdict> {};

TEST_F(BoardTestFixture, AStopWhileWaitingForTheVersionEndsWithoutAVerdict)
{
    manager.fd = -1; // initialize() opens the link itself
    board.setReply('V', "");
    manager.createLogFile();
    manager.keyboardClosed = true;
    EXPECT_FALSE(manager.initialize(manager));
    EXPECT_EQ(board.sleeps, 0);
    EXPECT_FALSE(logText().contains("FAIL!!")) << logText().toStdString();
}

const char* const led = "ERROR: LED not confirmed to be lit";
const char* const read13v5 = "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 13.5V)";
const char* const read14v2 = "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.2V)";
const std::string ledRetry = "\n (*R*)etry, (*N*)ext Test, (*M*)enu or (*Q*)uit : ";
const std::string ledSourcesPrompt = sources + ledRetry, read14v2Prompt = read14v2 + ledRetry,
                  ledPrompt = "ERROR: Expected you to respond with 'Y'answer \"Yes\"?" + ledRetry;

TEST_F(BoardTestFixture, SysVoltageSupplyForATargetFollowsTheDropMeasuredAtPass)
{
    SysVoltageAndLEDTest test{"ACDC", "LED D7 *On*", "*6-Pin* J1", 1};
    EXPECT_EQ(test.getPSUVoltageRequired(12.0f), 0.0f);
    expectVerdict(test, {"P1 S13700", false, "y", Next, Passed, passed});
    EXPECT_NEAR(test.getPSUVoltageRequired(12.0f), 12.34f, 0.005f);
    EXPECT_EQ(QStringList(manager.detailLines, manager.detailLines + 6).join('\n'),
              "   (Active Power Source: *{APS}* at *{SV}V*)\n\n1. Ensure the TR333 is supplying power to the TR250\n"
              "2. Ensure PRBS, MIG and Stress tests are running at maximum load\n"
              "3. Connect a Bench Supply set to *14.0V* on *6-Pin* J1\n4. Power off the other DC inputs.");
}

class SysVoltageVerdicts : public VerdictTest {};
TEST_P(SysVoltageVerdicts, Verdict)
{
    SysVoltageAndLEDTest test{"ACDC", "LED D7 *On*", "*6-Pin* J1", 1};
    expectVerdict(test, GetParam());
}
const Verdict sysVoltageVerdicts[] = {
    {"P1 S14000", false, "m", Menu, NotRun, notRun, "Do you see LED D7 *On*?\n *Y* or *N* (*M*)enu, (*D*)ebug, (*Q*)uit : "},
    {"P1 S13500", false, "y", Next, Passed, passed},      {"P1 S14200", false, "y", Next, Passed, passed},
    {"P1 S13499", false, "yn", Next, Failed, read13v5},
    {"P1 S14201", false, "yq", Quit, Failed, read14v2, read14v2Prompt.c_str()},
    {"P1 S13499", false, "yrq", Quit, Failed, read13v5},  {"P1 S9000", true, "y", Next, Passed, passed},
    {"P2 S14000", false, "nn", Next, Failed, sources, ledSourcesPrompt.c_str()}, // checked before the answer
    {"P1 S14000", false, "nn", Next, Failed, led, ledPrompt.c_str()},
    {"P1 S14000", false, "nry", Next, Passed, passed}};
INSTANTIATE_TEST_SUITE_P(KeysAndLimits, SysVoltageVerdicts, ::testing::ValuesIn(sysVoltageVerdicts));

const char* const read11v8 = "ERROR: Expected System Voltage to be within 0.2V of 11.6V (read 11.8V)";
const std::string powerRetry = "\n (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit : ";
const std::string powerSourcesPrompt = sources + powerRetry, read11v8Prompt = read11v8 + powerRetry;

class PowerSourceVerdicts : public VerdictTest {};
TEST_P(PowerSourceVerdicts, Verdict)
{
    PowerSourceUnitTest test{"Stage", "Supply {AL} then {IL}", "\nPress *Y* to continue: ", 3, 11600};
    expectVerdict(test, GetParam());
    EXPECT_EQ(manager.detailLines[0], "Supply *11.6V* then *10.0V*");
}
const Verdict powerSourceVerdicts[] = {
    {"P3 S11600", false, "q", Quit, NotRun, notRun, "\nPress *Y* to continue: "},
    {"P3 S11600", false, "n", Next, Passed, passed}, // only m, q, d leave at once
    {"P3 S11800", false, "I", Next, Passed, passed}, // upper-case I answers; only i starts the extremes afresh
    {"P3 S11801", false, "yn", Next, Failed, read11v8, read11v8Prompt.c_str()},
    {"P3 S11801", false, "yrm", Menu, Failed, read11v8}, // retry asks again
    {"P3 S9000", true, "y", Next, Passed, passed},
    {"P1 S11600", true, "yn", Next, Failed, sources, powerSourcesPrompt.c_str()}, // the mask must match exactly
    {"P0 S11600", false, "yxrq", Quit, Failed, sources}};
INSTANTIATE_TEST_SUITE_P(KeysAndLimits, PowerSourceVerdicts, ::testing::ValuesIn(powerSourceVerdicts));

const char* const prompt = "\nPress Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit: ";
const char* const noProtocol = "FAILED Protocol Not Found";
const char* const gauge = "FAILED: Analog Fuel Gauge not within 10% of Battery Capacity";

TEST_F(BoardTestFixture, BatteryCountsDownFromSixOverTwentyFiveSteps)
{
    BatteryProtocolUnitTest test("I2C", "1. Fit\n2. Set", prompt, 3, false);
    expectVerdict(test, {"B2", false, "yq", Quit, Failed, noProtocol,
                         "ERROR: Software didn't find an active protocol\n (R)etry, (N)ext Test, (M)enu or (Q)uit : "});
    const QString waiting = QString(prompt).trimmed() + "  ...";
    std::vector<int> counts;
    for (const QString& row : screen.secondPromptRows)
        if (row.size() == waiting.size() + 1 && row.startsWith(waiting))
            counts.push_back(row.right(1).toInt());
    EXPECT_EQ(counts, (std::vector<int>{6, 5, 5, 5, 5, 5, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1}));
}

class BatteryVerdicts : public VerdictTest {};
TEST_P(BatteryVerdicts, Verdict)
{
    BatteryProtocolUnitTest test("G plate", "", prompt, 1, GetParam().flag); // the flag: the fuel gauge is checked
    test.state = Failed; // a verdict left from an earlier run
    expectVerdict(test, GetParam());
}
const Verdict batteryVerdicts[] = {
    {"B1 C50 A50", true, "q", Quit, NotRun, notRun},     {"B1 C50 A50", true, "s", Next, Skipped, skipped},
    {"B1 C50 A59", true, "y", Next, Passed, passed},     {"B1 C50 A60", true, "yn", Next, Failed, gauge},
    {"B1 C60 A50", true, "yn", Next, Failed, gauge},     {"B1 C-1 A0", true, "yn", Next, Failed, gauge},
    {"B1 C60 A50", false, "y", Next, Passed, passed},    {"B1 C60 A50", true, "ys", Next, Skipped, skipped},
    {"B1 C60 A50", true, "yrn", Next, NotRun, notRun}, // retry starts over
    {"B2", false, "yn", Next, Failed, noProtocol},
    {"B2 C60 A50", true, "yxn", Next, Failed, gauge}}; // another key goes on to the fuel gauge
INSTANTIATE_TEST_SUITE_P(KeysAndLimits, BatteryVerdicts, ::testing::ValuesIn(batteryVerdicts));

TEST_F(BoardTestFixture, AStopDuringTheCountDownLeavesTheTestNotRun)
{
    BatteryProtocolUnitTest test("I2C", "", prompt, 3, false);
    bench("B2");
    screen.typeKey('y', [this] { manager.keyboardClosed = true; });
    EXPECT_EQ(test.run(manager), Quit);
    EXPECT_EQ(test.state, NotRun);
    EXPECT_EQ(board.sleeps, 1); // the prompt's own poll only
}
