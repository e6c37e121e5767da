#include "tests/boardtests/BoardTestFixture.h"

#include <cerrno>

namespace {

// initialize() opens the link itself.
class LinkInitialisation : public BoardTestFixture {
protected:
    LinkInitialisation() { manager.fd = -1; device.setReply('V', "V1.2"); bench("S14000"); manager.createLogFile(); }
};

TEST_F(LinkInitialisation, TalkingBoardPassesAfterOneAttemptAndLogsItsVersion)
{
    EXPECT_TRUE(manager.initialize(manager));
    EXPECT_EQ(manager.screenTitle, "Initialisation Tests");
    EXPECT_EQ(device.sleeps, 1);
    EXPECT_TRUE(logText().endsWith("\ntr417 sw version: V1.2\n\nPASSED - Initialisation Tests\n")) << logText().toStdString();
}

struct Failure {
    void (*breakBoard)(FakeBoardDevice&);
    const char *prompt, *logLine;
    int sleeps; // the one poll of the key wait, after any attempts
    bool readingsKept;
};
void PrintTo(const Failure& f, std::ostream* out) { *out << f.logLine; }
class FailingInitialisation : public LinkInitialisation, public ::testing::WithParamInterface<Failure> {};

TEST_P(FailingInitialisation, PromptsWaitsForAKeyAndLogs)
{
    const Failure& f = GetParam();
    f.breakBoard(device);
    screen.typeKey('z');
    EXPECT_FALSE(manager.initialize(manager));
    EXPECT_EQ(manager.promptLines[0], f.prompt + QString(" - Quitting (press any key): "));
    EXPECT_EQ(screen.keysLeft(), 0u);
    EXPECT_EQ(device.sleeps, f.sleeps);
    EXPECT_EQ(manager.version, "Uninitialised");
    EXPECT_EQ(manager.systemVoltage, f.readingsKept ? 14000 : manager.noReading);
    EXPECT_TRUE(logText().endsWith("\nFAIL!! - " + QString(f.logLine) + '\n')) << logText().toStdString();
    EXPECT_FALSE(logText().contains("PASSED"));
}
INSTANTIATE_TEST_SUITE_P(EachStep, FailingInitialisation, ::testing::Values(
    Failure{[](FakeBoardDevice& d) { d.present = false; }, "Cannot find the USB Device", "Cannot find the USB Device", 1, false},
    Failure{[](FakeBoardDevice& d) { d.lockErrno = EAGAIN; }, "Cannot open the USB device. Is kw_server running?",
            "Cannot open the USB Device", 1, false},
    Failure{[](FakeBoardDevice& d) { d.tcsetattrErrno = EIO; }, "Cannot set up the USB device?", "Cannot set up the USB Device", 1, false},
    // Everything but the version: 25 attempts, other readings kept.
    Failure{[](FakeBoardDevice& d) { d.setReply('V', ""); }, "Not seeing any data flowing from the USB device?",
            "No data from the USB Device", 25 + 1, true}));

TEST_F(BoardTestFixture, PollingStepSendsTheWholeBurstInOrderAndAppliesTheReplies)
{
    bench("P3");
    EXPECT_TRUE(manager.processEvents(1500));
    EXPECT_EQ(device.requests, (std::vector<std::string>{"C", "V", "T", "P", "S", "A", "B", "G"}));
    EXPECT_EQ(device.sleptNanoseconds, 1500000000); // the fake refuses a malformed duration
    EXPECT_EQ(manager.powerSource, 3);
    device.writeErrno = EIO; // no write failure cuts the burst short; a read failure is reported
    device.failOneRead(EIO);
    EXPECT_FALSE(manager.processEvents(200));
    EXPECT_EQ(device.writes, 16);
    manager.fd = -1; // a closed port only sleeps
    EXPECT_TRUE(manager.processEvents(200));
    EXPECT_EQ(device.writes, 16);
    EXPECT_EQ(device.sleeps, 3);
}

} // namespace
