#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "tests/support/CapturingLogger.h"
#include "tests/support/FakeBoardDevice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

using Lines = std::vector<std::string>;
const std::string err = "error: bool DynelleUSBProtocolLowLevel::";

class DeviceLayer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(link.openPort()); }
    std::string queued() const { return std::string(link.readQueue.begin(), link.readQueue.end()); }

    CapturingLogger log;
    FakeBoardDevice board;
    DynelleUSBProtocolLowLevel link{board};
};

TEST_F(DeviceLayer, ChunkedReadsZeroByteRuleAndByteCounters)
{
    board.sendInOneRead(QByteArray("S 1\0S 2", 7));
    board.sendInOneRead("23\n");
    board.sendUnrequested(QByteArray(69, 'x'));

    EXPECT_TRUE(link.fillReadQueue());

    EXPECT_EQ(queued(), "S 123\n" + std::string(69, 'x'));
    EXPECT_EQ(link.rxByteCount, 7 + 3 + 69); // dropped bytes were received all the same
    EXPECT_EQ(board.reads, 2 + 3 + 1);       // 69 = 32 + 32 + 5, then the empty read

    EXPECT_TRUE(link.sendLine("V\n"));
    EXPECT_TRUE(link.sendLine("D 41\n"));
    EXPECT_EQ(link.txByteCount, 7);
    EXPECT_EQ(board.requests, (Lines{"V", "D 41"})); // the bytes as given, nothing added
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(DeviceLayer, ReadErrorKeepsTheQueueForTheNextPoll)
{
    board.sendInOneRead("S 5000\n");
    board.failOneRead(EIO);

    EXPECT_FALSE(link.servicePort());
    EXPECT_EQ(link.systemVoltage, link.noReading);
    EXPECT_EQ(log.lines(), Lines{err + "fillReadQueue(): Read Error 5: Input/output error"});

    EXPECT_TRUE(link.servicePort());
    EXPECT_EQ(link.systemVoltage, 5000);
}

TEST_F(DeviceLayer, OnlyFiveWriteFailuresPerProcessAreReported)
{
    DynelleUSBProtocolLowLevel::writeFailureReports = 0; // other tests may have used some
    board.writeErrno = EIO;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(link.sendLine("S\n"));
        DynelleUSBProtocolLowLevel other{board}; // a new link gets no fresh allowance
        EXPECT_FALSE(other.sendLine("S\n"));
    }
    EXPECT_EQ(link.txByteCount, 0);
    EXPECT_EQ(log.lines(), Lines(5, err + "sendLine(const QString&):  Error 5: Input/output error"));
    DynelleUSBProtocolLowLevel::writeFailureReports = 0;
}

TEST(DeviceLayerLifetime, OpenLocksOnceAndDestructionUnlocksThenCloses)
{
    FakeBoardDevice board;
    {
        DynelleUSBProtocolLowLevel link{board};
        EXPECT_TRUE(link.openPort());
        EXPECT_TRUE(link.openPort());
        EXPECT_EQ(board.openFlags, O_RDWR | O_NOCTTY | O_SYNC);
        EXPECT_EQ(board.closes, 0);
    }
    EXPECT_EQ(board.opens, 1);
    ASSERT_EQ(board.lockRequests.size(), 2u);
    EXPECT_EQ(board.lockRequests[0].l_type, F_WRLCK);
    EXPECT_EQ(board.lockRequests[1].l_type, F_UNLCK);
    for (const auto& lock : board.lockRequests)
        EXPECT_EQ(lock.l_len, 0); // the whole node, however long
    EXPECT_EQ(board.closes, 1);
}

struct FailureCase {
    const char* name;
    void (*breakBoard)(FakeBoardDevice&);
    bool (DynelleUSBProtocolLowLevel::*step)();
    int closes;
    std::string report;
};

TEST(DeviceLayerFailures, EachStepReportsAndLeavesTheLinkClosed)
{
    const FailureCase cases[] = {
        {"missing", [](FakeBoardDevice& b) { b.present = false; }, &DynelleUSBProtocolLowLevel::testPresenceOfUSBDevice,
         0, "testPresenceOfUSBDevice(): /dev/tr417_app Error 2: No such file or directory"},
        {"open", [](FakeBoardDevice& b) { b.openErrno = EACCES; }, &DynelleUSBProtocolLowLevel::openPort, 0,
         "openPort(): Failed Opening \"/dev/tr417_app\": Permission denied"},
        {"lock", [](FakeBoardDevice& b) { b.lockErrno = EAGAIN; }, &DynelleUSBProtocolLowLevel::openPort, 1,
         "openPort(): Couldnt get exclusive access \"/dev/tr417_app\": Resource temporarily unavailable"},
        {"tcgetattr", [](FakeBoardDevice& b) { b.tcgetattrErrno = EIO; }, &DynelleUSBProtocolLowLevel::setTTY, 1,
         "setTTY(): 5 from tcgetattr: Input/output error"},
        {"tcsetattr", [](FakeBoardDevice& b) { b.tcsetattrErrno = EINVAL; }, &DynelleUSBProtocolLowLevel::setTTY, 1,
         "setTTY(): 22 from tcsetattr: Invalid argument"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CapturingLogger log;
        FakeBoardDevice board;
        {
            DynelleUSBProtocolLowLevel link{board};
            c.breakBoard(board);
            if (c.step == &DynelleUSBProtocolLowLevel::setTTY) {
                ASSERT_TRUE(link.openPort());
            }
            EXPECT_FALSE((link.*c.step)());
            EXPECT_EQ(link.fd, -1);
        }
        // Destroying the closed link touches the node no more.
        EXPECT_EQ(board.closes, c.closes);
        EXPECT_EQ(log.lines(), Lines{err + c.report});
    }
}

} // namespace
