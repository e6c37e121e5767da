#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "tests/support/CapturingLogger.h"
#include "tests/support/FakeBoardDevice.h"
#include <gtest/gtest.h>
#include <cerrno>
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

TEST_F(LinkTest, ChunkedReadsZeroByteRuleAndByteCounters)
{
    board.sendInOneRead(QByteArray("S 1\0S 2", 7));
    board.sendInOneRead("23\n");
    board.sendUnrequested(QByteArray(69, 'x'));
    EXPECT_TRUE(link.fillReadQueue());
    EXPECT_EQ(std::string(link.readQueue.begin(), link.readQueue.end()), "S 123\n" + std::string(69, 'x'));
    EXPECT_EQ(link.rxByteCount, 7 + 3 + 69); // dropped bytes were received all the same
    EXPECT_EQ(board.reads, 2 + 3 + 1);       // 69 = 32 + 32 + 5, then the empty read
    EXPECT_TRUE(link.sendLine("D 41\n"));
    EXPECT_EQ(link.txByteCount, 5);
    EXPECT_EQ(board.requests, Lines{"D 41"}); // the bytes as given, nothing added
}

TEST_F(LinkTest, OnlyFiveWriteFailuresPerProcessAreReported)
{
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
    EXPECT_EQ(board.opens, 1);
    ASSERT_EQ(board.lockRequests.size(), 2u);
    EXPECT_EQ(board.lockRequests[1].l_type, F_UNLCK);
    EXPECT_EQ(board.closes, 1);
    board.lockErrno = EAGAIN;
    { EXPECT_FALSE(Link{board}.openPort()); } // closed by the failure, not again when destroyed
    EXPECT_EQ(board.closes, 2);
}

TEST_F(LinkTest, EachLetterSetsItsReadingAndAShortLineIsAnError)
{
    const struct { char letter; int Link::*reading; const char* handler; } cases[] = {
        {'A', &Link::analogFuelGauge, "RXAnalogFuelGauge"}, {'B', &Link::batteryInterface, "RXBatteryInterface"},
        {'C', &Link::batteryCapacity, "RXBatteryCapacity"}, {'G', &Link::batteryVoltage, "RXBatteryVoltage"},
        {'P', &Link::powerSource, "RXPowerSource"},         {'S', &Link::systemVoltage, "RXSystemVoltage"},
        {'T', &Link::timeToEmpty, "RXTimeToEmpty"}};
    for (const auto& c : cases) {
        const QByteArray letter(1, c.letter);
        receive(letter + " -12\r\n");
        EXPECT_EQ(link.*c.reading, -12) << c.letter;
        log.clear();
        EXPECT_FALSE(link.processReceivedLine(letter + ' '));
        EXPECT_EQ(log.lines(), Lines{err + c.handler + "(const QString&):  Expecting at least 3 chars in message \""
                                     + c.letter + " \""});
        receive(letter + " 3x\n");
        EXPECT_EQ(link.*c.reading, 0) << c.letter; // a malformed number is no error
    }
}

TEST_F(LinkTest, SplitEmptyUnknownAndCommentLinesAndVoltageExtremes)
{
    receive("\n\nV 2\xb0\r\nS 120");
    EXPECT_EQ(link.version, QString::fromLatin1("V 2\xb0\r")); // the whole line
    EXPECT_EQ(link.systemVoltage, link.noReading);
    receive("34\n\n# getAnalogFuelGauge() = 12 345\n# getAnalogFuelGauge() =  12 999\n"
            "# getAnalogFuelGauge() = 12 345 6\nD 41\nX 1\ns 5\n"); // only five pieces set the figure
    EXPECT_EQ(link.systemVoltage, 12034);
    EXPECT_EQ(link.rawAnalogFuelGauge, 345);
    const std::string info = "info: bool DynelleUSBProtocolLowLevel::processReceivedLine(const QString&): ";
    EXPECT_EQ(log.lines(), (Lines{info + "\"X 1\"", info + "\"s 5\""}));
    // Board bytes never reach the log raw: a line that would clear the screen.
    log.clear();
    receive("\x1b[2J\x1b[30;40mX\x9b\n");
    EXPECT_EQ(log.lines(), Lines{info + "\"\\x1b[2J\\x1b[30;40mX\\x9b\""});
    receive("S 13500\nS 14100\nS\n"); // a short line takes no part in the extremes
    EXPECT_EQ(link.systemVoltageMin, 12034);
    EXPECT_EQ(link.systemVoltageMax, 14100);
    link.systemVoltageMin = link.systemVoltageMax = link.noReading;
    receive("S 13000\n");
    EXPECT_EQ(link.systemVoltageMin, 13000);
    EXPECT_EQ(link.systemVoltageMax, 13000);
}
