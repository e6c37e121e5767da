#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/PosixSerialDevice.h"
#include "tests/boardlink/Pseudoterminal.h"
#include "tests/support/CapturingLogger.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <string>

// Record locks only exclude other processes, so the rival must be a child.

namespace {

// A child that holds a lock on the node until killed: its pid, or -1 when
// it could not get the lock.
pid_t rivalHolder(const std::string& path)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        const char verdict = fd != -1 && ::fcntl(fd, F_SETLK, &lock) == 0 ? 'L' : 'F';
        (void)!::write(ready[1], &verdict, 1);
        while (verdict == 'L')
            ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char verdict = 'F';
    const bool locked = child > 0 && ::read(ready[0], &verdict, 1) == 1 && verdict == 'L';
    ::close(ready[0]);
    if (child > 0 && !locked)
        ::waitpid(child, nullptr, 0);
    return locked ? child : -1;
}

void release(pid_t rival)
{
    ::kill(rival, SIGKILL);
    ::waitpid(rival, nullptr, 0);
}

TEST(PtyLock, NodeLockedByAnotherProcessIsRefusedUntilReleased)
{
    CapturingLogger log;
    Pseudoterminal pty;
    ASSERT_FALSE(pty.path.empty());
    const pid_t rival = rivalHolder(pty.path);
    ASSERT_GT(rival, 0);

    DynelleUSBProtocolLowLevel link{PosixSerialDevice::instance(), pty.path.c_str()};
    EXPECT_FALSE(link.openPort());
    EXPECT_EQ(link.fd, -1);
    const std::string start = "error: bool DynelleUSBProtocolLowLevel::openPort(): Couldnt get exclusive access \""
        + pty.path + "\": ";
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0] == start + std::strerror(EAGAIN) || lines[0] == start + std::strerror(EACCES)) << lines[0];

    release(rival);
    ASSERT_TRUE(link.openPort());
    const pid_t late = rivalHolder(pty.path); // our lock keeps others out in turn
    EXPECT_EQ(late, -1);
    if (late > 0)
        release(late);
}

} // namespace
