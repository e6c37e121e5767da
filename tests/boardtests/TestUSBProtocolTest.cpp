#include "tests/boardtests/BoardTestFixture.h"
#include <cerrno>

// initialize() opens the link itself.
class LinkInitialisation : public BoardTestFixture {
protected:
    LinkInitialisation() { manager.fd = -1; device.setReply('V', "V1.2"); bench("S14000"); manager.createLogFile(); }
};

struct Failure { void (*breakBoard)(FakeBoardDevice&); const char *prompt, *logLine; int sleeps; };
class FailingInitialisation : public LinkInitialisation, public ::testing::WithParamInterface<Failure> {};
TEST_P(FailingInitialisation, PromptsWaitsForAKeyAndLogs)
{
    GetParam().breakBoard(device);
    screen.typeKey('z');
    EXPECT_FALSE(manager.initialize(manager));
    EXPECT_EQ(manager.promptLines[0], GetParam().prompt + QString(" - Quitting (press any key): "));
    EXPECT_EQ(screen.keysLeft(), 0u);
    EXPECT_EQ(device.sleeps, GetParam().sleeps); // the key wait's one poll, after any attempts
    EXPECT_TRUE(logText().endsWith("\nFAIL!! - " + QString(GetParam().logLine) + '\n')) << logText().toStdString();
}
INSTANTIATE_TEST_SUITE_P(EachStep, FailingInitialisation, ::testing::Values(
    Failure{[](FakeBoardDevice& d) { d.present = false; }, "Cannot find the USB Device", "Cannot find the USB Device", 1},
    Failure{[](FakeBoardDevice& d) { d.lockErrno = EAGAIN; }, "Cannot open the USB device. Is kw_server running?",
            "Cannot open the USB Device", 1},
    Failure{[](FakeBoardDevice& d) { d.tcsetattrErrno = EIO; }, "Cannot set up the USB device?", "Cannot set up the USB Device", 1},
    Failure{[](FakeBoardDevice& d) { d.setReply('V', ""); }, "Not seeing any data flowing from the USB device?",
            "No data from the USB Device", 25 + 1}));

TEST_F(BoardTestFixture, PollingStepSendsTheWholeBurstInOrderAndAppliesTheReplies)
{
    bench("P3");
    EXPECT_TRUE(manager.processEvents(1500));
    EXPECT_EQ(device.requests, (std::vector<std::string>{"C", "V", "T", "P", "S", "A", "B", "G"}));
    EXPECT_EQ(device.sleptNanoseconds, 1500000000);
    EXPECT_EQ(manager.powerSource, 3);
}

TEST_F(LinkInitialisation, AStopWhileWaitingForTheVersionEndsWithoutAVerdict)
{
    device.setReply('V', "");
    manager.keyboardClosed = true;
    EXPECT_FALSE(manager.initialize(manager));
    EXPECT_EQ(device.sleeps, 0);
    EXPECT_FALSE(logText().contains("FAIL!!")) << logText().toStdString();
}
