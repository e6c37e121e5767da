#include "tests/boardtests/BoardTestFixture.h"

#include <cerrno>

namespace {

class LinkInitialisation : public BoardTestFixture {
protected:
    LinkInitialisation()
    {
        manager.fd = -1; // initialize() opens the link itself
        device.setReply('V', "V1.2");
        board('S', 14000);
        manager.createLogFile();
    }
};

TEST_F(LinkInitialisation, TalkingBoardPassesAfterOneAttemptAndLogsItsVersion)
{
    EXPECT_TRUE(manager.initialize(manager));
    EXPECT_EQ(manager.screenTitle, "Initialisation Tests");
    EXPECT_EQ(device.sleeps, 1);
    EXPECT_EQ(manager.systemVoltage, 14000);
    EXPECT_NE(manager.fd, -1);
    EXPECT_TRUE(logText().endsWith("\ntr417 sw version: V1.2\n\nPASSED - Initialisation Tests\n")) << logText().toStdString();
}

struct LinkFailure {
    const char* name;
    std::function<void(FakeBoardDevice&)> breakBoard;
    const char* prompt;
    const char* logLine;
};

class LinkFailures : public LinkInitialisation, public ::testing::WithParamInterface<LinkFailure> {};

TEST_P(LinkFailures, PromptWaitsForAnyKeyAndLogsTheFailure)
{
    GetParam().breakBoard(device);
    screen.typeKey('z');
    EXPECT_FALSE(manager.initialize(manager));
    EXPECT_EQ(manager.promptLines[0], GetParam().prompt);
    EXPECT_EQ(screen.keysLeft(), 0u);
    EXPECT_TRUE(logText().endsWith(GetParam().logLine)) << logText().toStdString();
    EXPECT_FALSE(logText().contains("PASSED"));
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, LinkFailures,
    ::testing::Values(
        LinkFailure{"NodeMissing", [](FakeBoardDevice& d) { d.present = false; },
                    "Cannot find the USB Device - Quitting (press any key): ", "\nFAIL!! - Cannot find the USB Device\n"},
        LinkFailure{"OpenFails", [](FakeBoardDevice& d) { d.openErrno = EACCES; },
                    "Cannot open the USB device. Is kw_server running? - Quitting (press any key): ",
                    "\nFAIL!! - Cannot open the USB Device\n"},
        LinkFailure{"Locked", [](FakeBoardDevice& d) { d.lockErrno = EAGAIN; },
                    "Cannot open the USB device. Is kw_server running? - Quitting (press any key): ",
                    "\nFAIL!! - Cannot open the USB Device\n"},
        LinkFailure{"TerminalSetUp", [](FakeBoardDevice& d) { d.tcsetattrErrno = EIO; },
                    "Cannot set up the USB device? - Quitting (press any key): ",
                    "\nFAIL!! - Cannot set up the USB Device\n"},
        LinkFailure{"SilentBoard", [](FakeBoardDevice& d) { d.silence(); },
                    "Not seeing any data flowing from the USB device? - Quitting (press any key): ",
                    "\nFAIL!! - No data from the USB Device\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkInitialisation, MissingNodeIsNeitherOpenedNorLocked)
{
    device.present = false;
    screen.typeKey('z');
    manager.initialize(manager);
    EXPECT_EQ(device.opens, 0);
    EXPECT_EQ(device.lockCalls, 0);
}

TEST_F(LinkInitialisation, BoardReportingEverythingButItsVersionGivesUpAfter25Attempts)
{
    device.setReply('V', "");
    int attempts = 0;
    device.onSleep = [&] { attempts += manager.promptLines[0].isEmpty() ? 1 : 0; };
    screen.typeKey('z');
    EXPECT_FALSE(manager.initialize(manager));
    EXPECT_EQ(attempts, 25);
    EXPECT_EQ(manager.version, "Uninitialised");
    EXPECT_EQ(manager.systemVoltage, 14000); // other replies are still applied
}

TEST_F(BoardTestFixture, PollingStepWithClosedPortOnlySleeps)
{
    manager.fd = -1;
    EXPECT_TRUE(manager.processEvents(1500));
    ASSERT_EQ(device.sleepDurations.size(), 1u);
    EXPECT_EQ(device.sleepDurations[0].tv_sec, 1);
    EXPECT_EQ(device.sleepDurations[0].tv_nsec, 500000000);
    EXPECT_EQ(device.writeCalls, 0);
}

TEST_F(BoardTestFixture, PollingStepSendsTheBurstInOrderAndAppliesTheReplies)
{
    board('P', 3);
    EXPECT_TRUE(manager.processEvents(200));
    EXPECT_EQ(device.requests, (std::vector<std::string>{"C", "V", "T", "P", "S", "A", "B", "G"}));
    EXPECT_EQ(device.sleepDurations.at(0).tv_sec, 0);
    EXPECT_EQ(device.sleepDurations.at(0).tv_nsec, 200000000);
    EXPECT_EQ(manager.powerSource, 3);
}

TEST_F(BoardTestFixture, PollingStepSendsWholeBurstDespiteWriteFailuresAndReportsReadFailure)
{
    device.writeErrno = EIO;
    device.readErrno = EIO;
    EXPECT_FALSE(manager.processEvents(200));
    EXPECT_EQ(device.writeCalls, 8);
}

TEST_F(BoardTestFixture, InterruptedSleepIsNotResumed)
{
    struct InterruptedBoard : WatchedBoard {
        int nanosleep(const struct timespec& duration) override
        {
            WatchedBoard::nanosleep(duration);
            errno = EINTR;
            return -1;
        }
    } interrupted;
    TestManager closedLink(false, screen, interrupted, "/nonexistent");
    EXPECT_TRUE(closedLink.processEvents(200));
    EXPECT_EQ(interrupted.sleepDurations.size(), 1u);
}

} // namespace
