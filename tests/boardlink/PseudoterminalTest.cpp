#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/PosixSerialDevice.h"
#include "tests/support/CapturingLogger.h"
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <string>

// Record locks only exclude other processes: the rival is a child holding one, if it gets it, until destroyed.
struct Rival {
    explicit Rival(const char* path)
    {
        int ready[2] = {-1, -1};
        if (::pipe(ready) == 0 && (pid = ::fork()) == 0) {
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
    ~Rival() { if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0); }
    pid_t pid = -1;
    bool locked = false;
};

TEST(PtyLock, NodeLockedByAnotherProcessIsRefusedUntilReleased)
{
    CapturingLogger log;
    int leader = -1, follower = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&leader, &follower, name, nullptr, nullptr), 0);
    DynelleUSBProtocolLowLevel link{PosixSerialDevice::instance(), name};
    {
        Rival rival(name);
        ASSERT_TRUE(rival.locked);
        EXPECT_FALSE(link.openPort());
        EXPECT_EQ(link.fd, -1);
    }
    const std::string start = "error: bool DynelleUSBProtocolLowLevel::openPort(): Couldnt get exclusive access \""
        + std::string(name) + "\": ";
    EXPECT_THAT(log.lines(), testing::ElementsAre(testing::AnyOf(start + std::strerror(EAGAIN), start + std::strerror(EACCES))));
    ASSERT_TRUE(link.openPort());
    EXPECT_FALSE(Rival(name).locked); // our lock keeps others out in turn
    ::close(leader);
    ::close(follower);
}
