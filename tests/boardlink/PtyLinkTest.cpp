#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/PosixSerialDevice.h"
#include "tests/boardlink/Pseudoterminal.h"
#include "tests/support/CapturingLogger.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Waits (in poll, not spinning) until the descriptor has data or the time is up.
bool waitReadable(int fd, std::chrono::milliseconds limit)
{
    struct pollfd entry {fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(limit.count())) == 1;
}

TEST(PtyLink, OpenLockSetModeThenTalkBothWays)
{
    CapturingLogger log;
    Pseudoterminal pty;
    ASSERT_TRUE(pty.ok());
    struct termios before {};
    ASSERT_EQ(::tcgetattr(pty.follower, &before), 0);

    DynelleUSBProtocolLowLevel link{PosixSerialDevice::instance(), pty.path.c_str()};
    ASSERT_TRUE(link.testPresenceOfUSBDevice());
    ASSERT_TRUE(link.openPort());
    ASSERT_NE(link.fd, -1);
    ASSERT_TRUE(link.setTTY());

    struct termios after {};
    ASSERT_EQ(::tcgetattr(link.fd, &after), 0);
    EXPECT_EQ(after.c_iflag, before.c_iflag & ~static_cast<tcflag_t>(IGNBRK));
    EXPECT_EQ(after.c_oflag, 0u);
    EXPECT_EQ(after.c_lflag, 0u);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_cc[VMIN], 0);
    EXPECT_EQ(after.c_cc[VTIME], 0);
    EXPECT_EQ(::cfgetispeed(&after), ::cfgetispeed(&before));
    EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&before));

    // Nothing waiting: the read returns at once instead of blocking the poll.
    const auto start = Clock::now();
    EXPECT_TRUE(link.servicePort());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));

    // Board to host. The input flags are left as the driver has them, so a
    // carriage return may arrive as a second line feed; either way the
    // reading must come through.
    const std::string reply = "V1.0\nS 12034\r\n";
    ASSERT_EQ(::write(pty.leader, reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (link.systemVoltage == link.noReading && Clock::now() < deadline) {
        waitReadable(link.fd, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
        ASSERT_TRUE(link.servicePort());
    }
    EXPECT_EQ(link.version, QString("V1.0"));
    EXPECT_EQ(link.systemVoltage, 12034);
    EXPECT_EQ(link.rxByteCount, static_cast<int>(reply.size()));

    // Host to board: exactly the bytes given, no carriage return added.
    ASSERT_TRUE(link.sendLine("S\n"));
    EXPECT_EQ(link.txByteCount, 2);
    ASSERT_TRUE(waitReadable(pty.leader, std::chrono::seconds(5)));
    char received[16] = {};
    EXPECT_EQ(::read(pty.leader, received, sizeof received), 2);
    EXPECT_EQ(std::string(received), "S\n");
    EXPECT_EQ(log.count(), 0u);
}

TEST(PtyLink, NodeThatIsNoTerminalFailsSetTTYAndCloses)
{
    CapturingLogger log;
    char path[] = "/tmp/boardlink-notty-XXXXXX";
    const int file = ::mkstemp(path);
    ASSERT_NE(file, -1);
    ::close(file);

    {
        DynelleUSBProtocolLowLevel link{PosixSerialDevice::instance(), path};
        ASSERT_TRUE(link.openPort());
        EXPECT_FALSE(link.setTTY());
        EXPECT_EQ(link.fd, -1);
    }
    ::unlink(path);

    ASSERT_EQ(log.count(), 1u);
    EXPECT_EQ(log.texts()[0],
              "bool DynelleUSBProtocolLowLevel::setTTY(): 25 from tcgetattr: Inappropriate ioctl for device");
}

} // namespace
