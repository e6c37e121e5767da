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
    EXPECT_TRUE(logText().endsWith("\ntr417 sw version: V1.2\n\nPASSED - Initialisation Tests\n")) << logText().toStdString();
}

TEST_F(LinkInitialisation, EachFailingStepPromptsWaitsForAKeyAndLogs)
{
    const struct {
        void (*breakBoard)(FakeBoardDevice&);
        const char* prompt;
        const char* logLine;
    } cases[] = {
        {[](FakeBoardDevice& d) { d.present = false; }, "Cannot find the USB Device - Quitting (press any key): ",
         "\nFAIL!! - Cannot find the USB Device\n"},
        {[](FakeBoardDevice& d) { d.lockErrno = EAGAIN; },
         "Cannot open the USB device. Is kw_server running? - Quitting (press any key): ",
         "\nFAIL!! - Cannot open the USB Device\n"},
        {[](FakeBoardDevice& d) { d.tcsetattrErrno = EIO; }, "Cannot set up the USB device? - Quitting (press any key): ",
         "\nFAIL!! - Cannot set up the USB Device\n"},
        {[](FakeBoardDevice& d) { d.setReply('V', ""); }, // everything but the version: 25 attempts
         "Not seeing any data flowing from the USB device? - Quitting (press any key): ",
         "\nFAIL!! - No data from the USB Device\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prompt);
        FakeBoardDevice board;
        board.setReading('S', 14000);
        c.breakBoard(board);
        TestManager rerun{false, screen, board, "/nonexistent"};
        rerun.setLogFileLocation(directory.filePath("results.txt"));
        rerun.createLogFile();
        screen.typeKey('z');
        EXPECT_FALSE(rerun.initialize(rerun));
        EXPECT_EQ(rerun.promptLines[0], c.prompt);
        EXPECT_EQ(screen.keysLeft(), 0u);
        EXPECT_TRUE(logText().endsWith(c.logLine)) << logText().toStdString();
        EXPECT_FALSE(logText().contains("PASSED"));
    }
}

TEST_F(LinkInitialisation, SilentBoardGivesUpAfter25AttemptsKeepingOtherReadings)
{
    device.setReply('V', "");
    screen.typeKey('z');
    EXPECT_FALSE(manager.initialize(manager));
    EXPECT_EQ(device.sleeps, 25 + 1); // and the one poll of the key wait
    EXPECT_EQ(manager.version, "Uninitialised");
    EXPECT_EQ(manager.systemVoltage, 14000);
}

TEST_F(BoardTestFixture, PollingStepSendsTheBurstInOrderAndAppliesTheReplies)
{
    board('P', 3);
    EXPECT_TRUE(manager.processEvents(1500));
    EXPECT_EQ(device.requests, (std::vector<std::string>{"C", "V", "T", "P", "S", "A", "B", "G"}));
    EXPECT_EQ(device.sleptNanoseconds, 1500000000); // the fake refuses a malformed duration
    EXPECT_EQ(manager.powerSource, 3);

    manager.fd = -1; // a closed port only sleeps
    EXPECT_TRUE(manager.processEvents(200));
    EXPECT_EQ(device.writes, 8);
    EXPECT_EQ(device.sleeps, 2);
}

TEST_F(BoardTestFixture, PollingStepSendsTheWholeBurstDespiteWriteFailuresAndReportsAReadFailure)
{
    device.writeErrno = EIO;
    device.failOneRead(EIO);
    EXPECT_FALSE(manager.processEvents(200));
    EXPECT_EQ(device.writes, 8);
}

} // namespace
