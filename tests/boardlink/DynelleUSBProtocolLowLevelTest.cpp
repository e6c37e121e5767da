#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "tests/support/CapturingLogger.h"
#include "tests/support/FakeBoardDevice.h"
#include <gtest/gtest.h>
#include <cerrno>
#include <cstring>
#include <string>

using Lines = std::vector<std::string>;
using Link = DynelleUSBProtocolLowLevel;
const std::string err = "error: bool DynelleUSBProtocolLowLevel::";

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(link.openPort()); }
    void receive(const QByteArray& bytes) { board.sendInOneRead(bytes); ASSERT_TRUE(link.servicePort()); }

    CapturingLogger log;
    FakeBoardDevice board;
    Link link{board};
};

// Reading, chunking, the zero-byte rule, the counters and the extremes are
// checked against a plain model of the bytes by the board_replies fuzz
// harness, whose corpus replays with the unit tests. Here: what that model
// takes from the link's own parsing, and what the link logs.
TEST_F(LinkTest, SendLineSendsTheBytesAsGivenAndCountsThemAndOnlyFiveWriteFailuresPerProcessAreReported)
{
    EXPECT_TRUE(link.sendLine("D 41\n"));
    EXPECT_EQ(link.txByteCount, 5);
    EXPECT_EQ(board.requests, Lines{"D 41"});
    Link::writeFailureReports = 0; // other tests may have used some
    board.writeErrno = EIO;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(link.sendLine("S\n"));
        EXPECT_FALSE(Link{board}.sendLine("S\n")); // a new link gets no fresh allowance
    }
    EXPECT_EQ(log.lines(), Lines(5, err + "sendLine(const QString&):  Error 5: Input/output error"));
}

TEST(LinkLifetime, ReopeningKeepsTheLockAndDestructionUnlocksThenClosesOnce)
{
    CapturingLogger log;
    FakeBoardDevice board;
    {
        Link link{board};
        EXPECT_TRUE(link.openPort());
        EXPECT_TRUE(link.openPort());
    }
    EXPECT_EQ(board.lockTypes, (std::vector<short>{F_WRLCK, F_UNLCK}));
    EXPECT_EQ(board.closes, 1);
    // A node locked by another process (end to end: the simulator's lock) is refused and told.
    board.lockErrno = EAGAIN;
    { EXPECT_FALSE((Link{board, "/dev/x"}.openPort())); } // closed by the failure, not again when destroyed
    EXPECT_EQ(board.closes, 2);
    EXPECT_EQ(log.lines(), Lines{err + "openPort(): Couldnt get exclusive access \"/dev/x\": " + std::strerror(EAGAIN)});
}

TEST_F(LinkTest, MalformedNumbersReadZeroAndAShortLineIsLoggedAsAnError)
{
    receive("S 3x\nT  7 \r\n"); // blanks and a CR LF line end around a number are not part of it
    EXPECT_EQ(link.systemVoltage, 0);
    EXPECT_EQ(link.timeToEmpty, 7);
    EXPECT_FALSE(link.processReceivedLine("C "));
    EXPECT_EQ(log.lines(), Lines{err + "RXBatteryCapacity(const QString&):  Expecting at least 3 chars in message \"C \""});
}

TEST_F(LinkTest, RawFuelGaugeCommentsAndUnknownLinesLoggedEscaped)
{
    receive("# getAnalogFuelGauge() = 12 345\n# getAnalogFuelGauge() =  12 999\n"
            "# getAnalogFuelGauge() = 12 345 6\nD 41\nX 1\ns 5\n"); // only five pieces set the figure
    EXPECT_EQ(link.rawAnalogFuelGauge, 345);
    // Board bytes never reach the log raw: a line that would clear the screen.
    receive("\x1b[2J\x1b[30;40mX\x9b\n");
    const std::string info = "info: bool DynelleUSBProtocolLowLevel::processReceivedLine(const QString&): ";
    EXPECT_EQ(log.lines(), (Lines{info + "\"X 1\"", info + "\"s 5\"", info + "\"\\x1b[2J\\x1b[30;40mX\\x9b\""}));
}
