#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/PosixSerialDevice.h"
#include "tests/boardlink/Pseudoterminal.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <termios.h>

#include <string>

namespace {

bool waitReadable(int fd)
{
    struct pollfd entry {fd, POLLIN, 0};
    return ::poll(&entry, 1, 5000) == 1;
}

TEST(PtyLink, RawModeThenTalkBothWays)
{
    Pseudoterminal pty;
    ASSERT_FALSE(pty.path.empty());
    struct termios before {};
    ASSERT_EQ(::tcgetattr(pty.follower, &before), 0);

    DynelleUSBProtocolLowLevel link{PosixSerialDevice::instance(), pty.path.c_str()};
    ASSERT_TRUE(link.initialize());
    struct termios after {};
    ASSERT_EQ(::tcgetattr(link.fd, &after), 0);
    EXPECT_EQ(after.c_iflag, before.c_iflag & ~static_cast<tcflag_t>(IGNBRK));
    EXPECT_EQ(after.c_oflag, 0u);
    EXPECT_EQ(after.c_lflag, 0u);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    // Reads return at once, so a poll with nothing waiting never blocks.
    EXPECT_EQ(after.c_cc[VMIN], 0);
    EXPECT_EQ(after.c_cc[VTIME], 0);
    EXPECT_TRUE(link.servicePort());

    // The driver may turn the carriage return into a second line feed; the
    // reading must come through either way.
    const std::string reply = "V1.0\nS 12034\r\n";
    ASSERT_EQ(::write(pty.leader, reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
    while (link.systemVoltage == link.noReading && waitReadable(link.fd))
        ASSERT_TRUE(link.servicePort());
    EXPECT_EQ(link.version, QString("V1.0"));
    EXPECT_EQ(link.systemVoltage, 12034);

    ASSERT_TRUE(link.sendLine("S\n"));
    ASSERT_TRUE(waitReadable(pty.leader));
    char received[16] = {};
    EXPECT_EQ(::read(pty.leader, received, sizeof received), 2);
    EXPECT_EQ(std::string(received), "S\n"); // no carriage return added
}

} // namespace
