#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/PosixSerialDevice.h"
#include "tests/support/CapturingLogger.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// The board's node: the link opens the follower by its path, the test plays the board on the leader.
struct Pseudoterminal {
    Pseudoterminal() { EXPECT_EQ(::openpty(&leader, &follower, name, nullptr, nullptr), 0); }
    ~Pseudoterminal() { ::close(leader); ::close(follower); }
    int leader = -1, follower = -1;
    char name[256] = {};
};

TEST(PtyLink, RawModeThenTalkBothWays)
{
    auto waitReadable = [](int fd) { struct pollfd entry {fd, POLLIN, 0}; return ::poll(&entry, 1, 5000) == 1; };
    Pseudoterminal pty;
    struct termios before {}, after {};
    ASSERT_EQ(::tcgetattr(pty.follower, &before), 0);
    DynelleUSBProtocolLowLevel link{PosixSerialDevice::instance(), pty.name};
    ASSERT_TRUE(link.initialize());
    ASSERT_EQ(::tcgetattr(link.fd, &after), 0);
    EXPECT_EQ(after.c_iflag, before.c_iflag & ~tcflag_t(IGNBRK));
    EXPECT_EQ(after.c_oflag | after.c_lflag, 0u);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_cc[VMIN] | after.c_cc[VTIME], 0); // reads return at once: a poll with nothing waiting never blocks
    EXPECT_TRUE(link.servicePort());
    // The driver may turn the carriage return into a second line feed; the reading comes through either way.
    const std::string reply = "V1.0\nS 12034\r\n";
    ASSERT_EQ(::write(pty.leader, reply.data(), reply.size()), ssize_t(reply.size()));
    while (link.systemVoltage == link.noReading && waitReadable(link.fd))
        ASSERT_TRUE(link.servicePort());
    EXPECT_EQ(link.version, QString("V1.0"));
    EXPECT_EQ(link.systemVoltage, 12034);

    ASSERT_TRUE(link.sendLine("S\n"));
    ASSERT_TRUE(waitReadable(pty.leader));
    char received[16] = {};
    EXPECT_EQ(::read(pty.leader, received, sizeof received), 2);
    EXPECT_STREQ(received, "S\n"); // no carriage return added
}

// Record locks only exclude other processes, so the rival is a child that
// holds a lock on the node, when it gets one, until destroyed.
struct Rival {
    explicit Rival(const char* path)
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        if ((pid = ::fork()) == 0) {
            struct flock lock {};
            lock.l_type = F_WRLCK;
            const int fd = ::open(path, O_RDWR | O_NOCTTY);
            const char verdict = fd != -1 && ::fcntl(fd, F_SETLK, &lock) == 0 ? 'L' : 'F';
            (void)!::write(ready[1], &verdict, 1);
            while (verdict == 'L')
                ::pause();
            ::_exit(0);
        }
        char verdict = 'F';
        locked = pid > 0 && ::read(ready[0], &verdict, 1) == 1 && verdict == 'L';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~Rival()
    {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0)
            ::waitpid(pid, nullptr, 0);
    }
    pid_t pid = -1;
    bool locked = false;
};

TEST(PtyLock, NodeLockedByAnotherProcessIsRefusedUntilReleased)
{
    CapturingLogger log;
    Pseudoterminal pty;
    DynelleUSBProtocolLowLevel link{PosixSerialDevice::instance(), pty.name};
    {
        Rival rival(pty.name);
        ASSERT_TRUE(rival.locked);
        EXPECT_FALSE(link.openPort());
        EXPECT_EQ(link.fd, -1);
    }
    const std::string start = "error: bool DynelleUSBProtocolLowLevel::openPort(): Couldnt get exclusive access \""
        + std::string(pty.name) + "\": ";
    EXPECT_THAT(log.lines(), testing::ElementsAre(testing::AnyOf(start + std::strerror(EAGAIN), start + std::strerror(EACCES))));
    ASSERT_TRUE(link.openPort());
    EXPECT_FALSE(Rival(pty.name).locked); // our lock keeps others out in turn
}

} // namespace
