#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "tests/support/CapturingLogger.h"
#include "tests/support/FakeBoardDevice.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

namespace {

const std::string signaturePrefix = "bool DynelleUSBProtocolLowLevel::";

std::string queued(const DynelleUSBProtocolLowLevel& link)
{
    return std::string(link.readQueue.begin(), link.readQueue.end());
}

class DeviceLayer : public ::testing::Test {
protected:
    CapturingLogger log;
    FakeBoardDevice board;
    DynelleUSBProtocolLowLevel link{board};
};

// --- reading -------------------------------------------------------------

TEST_F(DeviceLayer, ZeroByteEndsItsChunkButCountsAsReceived)
{
    ASSERT_TRUE(link.openPort());
    board.sendInOneRead(QByteArray("S 1\0S 2", 7));
    board.sendInOneRead("23\n"); // the next chunk is taken whole again

    EXPECT_TRUE(link.fillReadQueue());

    EXPECT_EQ(queued(link), "S 123\n");
    EXPECT_EQ(link.rxByteCount, 7 + 3);
    EXPECT_EQ(board.reads, 3);
}

TEST_F(DeviceLayer, NothingWaitingMeansExactlyOneRead)
{
    ASSERT_TRUE(link.openPort());
    EXPECT_TRUE(link.fillReadQueue());
    EXPECT_EQ(board.reads, 1);
    EXPECT_TRUE(link.readQueue.empty());
    EXPECT_EQ(link.rxByteCount, 0);
    EXPECT_EQ(log.count(), 0u);
}

TEST_F(DeviceLayer, OneCallDrainsEverythingInThirtyTwoByteChunks)
{
    ASSERT_TRUE(link.openPort());
    const QByteArray bytes(69, 'x');
    board.sendUnrequested(bytes);

    EXPECT_TRUE(link.fillReadQueue());

    EXPECT_EQ(board.reads, 4); // 32 + 32 + 5, then the empty read that ends it
    EXPECT_EQ(link.rxByteCount, 69);
    EXPECT_EQ(queued(link), bytes.toStdString());
}

TEST_F(DeviceLayer, ReadErrorKeepsWhatWasQueuedAndSkipsLineProcessing)
{
    ASSERT_TRUE(link.openPort());
    board.sendInOneRead("S 5000\n");
    board.failOneRead(EIO);

    EXPECT_FALSE(link.servicePort());

    EXPECT_EQ(queued(link), "S 5000\n");
    EXPECT_EQ(link.systemVoltage, link.noReading);
    EXPECT_EQ(link.rxByteCount, 7);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_EQ(log.entries()[0].level, spdlog::level::err);
    EXPECT_EQ(log.texts()[0], signaturePrefix + "fillReadQueue(): Read Error 5: Input/output error");

    // The next good poll picks the line up.
    EXPECT_TRUE(link.servicePort());
    EXPECT_EQ(link.systemVoltage, 5000);
    EXPECT_TRUE(link.readQueue.empty());
}

// --- writing -------------------------------------------------------------

TEST_F(DeviceLayer, SendLineWritesTheBytesAsGivenAndCountsThem)
{
    ASSERT_TRUE(link.openPort());
    EXPECT_TRUE(link.sendLine("V\n"));
    EXPECT_EQ(link.txByteCount, 2);
    EXPECT_TRUE(link.sendLine("D 41\n"));
    EXPECT_EQ(link.txByteCount, 7);
    EXPECT_EQ(board.writes, 2);
    EXPECT_EQ(board.requests, (std::vector<std::string>{"V", "D 41"}));
}

TEST_F(DeviceLayer, OnlyFiveWriteFailuresPerProcessAreReported)
{
    // The limit is shared by every link in the process, so start from a
    // known count and spread the failures over two links.
    DynelleUSBProtocolLowLevel::writeFailureReports = 0;
    FakeBoardDevice otherBoard;
    DynelleUSBProtocolLowLevel other{otherBoard};
    board.writeErrno = EIO;
    otherBoard.writeErrno = EIO;

    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(link.sendLine("S\n"));
        EXPECT_FALSE(other.sendLine("S\n"));
    }

    EXPECT_EQ(link.txByteCount, 0);
    EXPECT_EQ(other.txByteCount, 0);
    ASSERT_EQ(log.count(), 5u);
    for (const auto& entry : log.entries()) {
        EXPECT_EQ(entry.level, spdlog::level::err);
        EXPECT_EQ(entry.text, signaturePrefix + "sendLine(const QString&):  Error 5: Input/output error");
    }

    // A link made later starts no fresh allowance.
    DynelleUSBProtocolLowLevel late{board};
    EXPECT_FALSE(late.sendLine("S\n"));
    EXPECT_EQ(log.count(), 5u);
    DynelleUSBProtocolLowLevel::writeFailureReports = 0;
}

// --- opening, locking, closing ---------------------------------------------

TEST_F(DeviceLayer, OpenPortOpensForReadWriteAndLocksTheWholeFile)
{
    EXPECT_TRUE(link.openPort());
    EXPECT_EQ(link.fd, FakeBoardDevice::boardFd);
    EXPECT_EQ(board.openedPath, "/dev/tr417_app");
    EXPECT_EQ(board.openFlags, O_RDWR | O_NOCTTY | O_SYNC);
    ASSERT_EQ(board.lockRequests.size(), 1u);
    const struct flock& lock = board.lockRequests[0];
    EXPECT_EQ(lock.l_type, F_WRLCK);
    EXPECT_EQ(lock.l_whence, SEEK_SET);
    EXPECT_EQ(lock.l_start, 0);
    EXPECT_EQ(lock.l_len, 0);
    EXPECT_EQ(log.count(), 0u);
}

TEST_F(DeviceLayer, OpeningAnOpenPortNeitherReopensNorRelocks)
{
    ASSERT_TRUE(link.openPort());
    EXPECT_TRUE(link.openPort());
    EXPECT_EQ(board.opens, 1);
    EXPECT_EQ(board.lockCalls, 1);
}

TEST_F(DeviceLayer, FailedOpenIsReportedAndLeavesTheLinkClosed)
{
    board.openErrno = EACCES;
    EXPECT_FALSE(link.openPort());
    EXPECT_EQ(link.fd, -1);
    EXPECT_EQ(board.lockCalls, 0);
    ASSERT_EQ(log.count(spdlog::level::err), 1u);
    EXPECT_EQ(log.texts()[0], signaturePrefix + "openPort(): Failed Opening \"/dev/tr417_app\": Permission denied");
}

TEST_F(DeviceLayer, LockHeldElsewhereClosesTheDescriptor)
{
    board.lockErrno = EAGAIN;
    EXPECT_FALSE(link.openPort());
    EXPECT_EQ(link.fd, -1);
    EXPECT_EQ(board.closes, 1);
    ASSERT_EQ(log.count(spdlog::level::err), 1u);
    EXPECT_EQ(log.texts()[0], signaturePrefix + "openPort(): Couldnt get exclusive access \"/dev/tr417_app\": " +
                                  std::strerror(EAGAIN));
}

TEST(DeviceLayerLifetime, DestroyingAClosedLinkTouchesNothing)
{
    FakeBoardDevice board;
    { DynelleUSBProtocolLowLevel link{board}; }
    EXPECT_EQ(board.lockCalls, 0);
    EXPECT_EQ(board.closes, 0);

    board.lockErrno = EAGAIN; // closed by the failed open, not again later
    {
        DynelleUSBProtocolLowLevel link{board};
        EXPECT_FALSE(link.openPort());
    }
    EXPECT_EQ(board.lockCalls, 1);
    EXPECT_EQ(board.closes, 1);
}

TEST(DeviceLayerLifetime, DestroyingAnOpenLinkUnlocksThenCloses)
{
    FakeBoardDevice board;
    {
        DynelleUSBProtocolLowLevel link{board};
        ASSERT_TRUE(link.openPort());
    }
    ASSERT_EQ(board.lockRequests.size(), 2u);
    const struct flock& unlock = board.lockRequests[1];
    EXPECT_EQ(unlock.l_type, F_UNLCK);
    EXPECT_EQ(unlock.l_whence, SEEK_SET);
    EXPECT_EQ(unlock.l_start, 0);
    EXPECT_EQ(unlock.l_len, 0);
    EXPECT_EQ(board.closes, 1);
}

// --- terminal mode -----------------------------------------------------------

TEST_F(DeviceLayer, SetTTYChangesExactlyTheListedSettings)
{
    // Every bit set, so any flag the link clears or sets beyond the listed
    // ones shows up in the comparison.
    std::memset(&board.attributesFound, 0xff, sizeof board.attributesFound);
    ASSERT_TRUE(link.openPort());

    EXPECT_TRUE(link.setTTY());

    struct termios expected = board.attributesFound;
    expected.c_iflag &= ~static_cast<tcflag_t>(IGNBRK);
    expected.c_oflag = 0;
    expected.c_lflag = 0;
    expected.c_cc[VMIN] = 0;
    expected.c_cc[VTIME] = 0;
    ASSERT_EQ(board.attributesApplied.size(), 1u);
    EXPECT_EQ(std::memcmp(&board.attributesApplied[0], &expected, sizeof expected), 0);
    EXPECT_EQ(board.tcsetattrWhens[0], TCSANOW);
    EXPECT_EQ(link.fd, FakeBoardDevice::boardFd);
}

struct TtyFailureCase {
    int FakeBoardDevice::*errnoMember;
    int errnoValue;
    const char* expectedText;
};

TEST(DeviceLayerTerminal, FailureOfEitherCallClosesTheLink)
{
    const TtyFailureCase cases[] = {
        {&FakeBoardDevice::tcgetattrErrno, EIO, "setTTY(): 5 from tcgetattr: Input/output error"},
        {&FakeBoardDevice::tcsetattrErrno, EINVAL, "setTTY(): 22 from tcsetattr: Invalid argument"},
    };
    for (const auto& c : cases) {
        CapturingLogger log;
        FakeBoardDevice board;
        board.*c.errnoMember = c.errnoValue;
        DynelleUSBProtocolLowLevel link{board};
        ASSERT_TRUE(link.openPort());

        EXPECT_FALSE(link.setTTY()) << c.expectedText;

        EXPECT_EQ(link.fd, -1);
        EXPECT_EQ(board.closes, 1);
        EXPECT_TRUE(board.attributesApplied.empty());
        ASSERT_EQ(log.count(spdlog::level::err), 1u);
        EXPECT_EQ(log.texts()[0], signaturePrefix + c.expectedText);
    }
}

// --- presence and the whole start-up -----------------------------------------

TEST_F(DeviceLayer, MissingNodeIsReportedWithErrno)
{
    board.present = false;
    EXPECT_FALSE(link.testPresenceOfUSBDevice());
    EXPECT_EQ(board.statPath, "/dev/tr417_app");
    ASSERT_EQ(log.count(spdlog::level::err), 1u);
    EXPECT_EQ(log.texts()[0],
              signaturePrefix + "testPresenceOfUSBDevice(): /dev/tr417_app Error 2: No such file or directory");
}

struct InitializeCase {
    const char* name;
    void (*breakBoard)(FakeBoardDevice&);
    bool expected;
    int expectedOpens;
    int expectedLockCalls;
    size_t expectedModeChanges;
};

TEST(DeviceLayerInitialize, StopsAtTheFirstFailingStep)
{
    const InitializeCase cases[] = {
        {"all well", [](FakeBoardDevice&) {}, true, 1, 1, 1},
        {"node missing", [](FakeBoardDevice& b) { b.present = false; }, false, 0, 0, 0},
        {"open fails", [](FakeBoardDevice& b) { b.openErrno = EBUSY; }, false, 1, 0, 0},
        {"lock held", [](FakeBoardDevice& b) { b.lockErrno = EACCES; }, false, 1, 1, 0},
        {"mode refused", [](FakeBoardDevice& b) { b.tcsetattrErrno = EIO; }, false, 1, 1, 0},
    };
    for (const auto& c : cases) {
        CapturingLogger log;
        FakeBoardDevice board;
        c.breakBoard(board);
        DynelleUSBProtocolLowLevel link{board};

        EXPECT_EQ(link.initialize(), c.expected) << c.name;

        EXPECT_EQ(board.opens, c.expectedOpens) << c.name;
        EXPECT_EQ(board.lockCalls, c.expectedLockCalls) << c.name;
        EXPECT_EQ(board.attributesApplied.size(), c.expectedModeChanges) << c.name;
        EXPECT_EQ(link.fd != -1, c.expected) << c.name;
        EXPECT_EQ(log.count(), c.expected ? 0u : 1u) << c.name;
    }
}

} // namespace
