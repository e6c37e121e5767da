#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/PosixSerialDevice.h"
#include "tests/boardlink/Pseudoterminal.h"
#include "tests/support/CapturingLogger.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

// Record locks only exclude other processes, so the rival holder of the
// device node has to be a child process.

namespace {

bool lockWholeFile(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_SETLK, &lock) == 0;
}

// A child that takes the lock and keeps it until released.
class RivalHolder {
public:
    explicit RivalHolder(const std::string& path)
    {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0)
            return;
        child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
            const char verdict = fd != -1 && lockWholeFile(fd) ? 'L' : 'F';
            (void)!::write(ready[1], &verdict, 1);
            char ignored;
            (void)!::read(release[0], &ignored, 1); // returns when the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        releaseFd = release[1];
        char verdict = 'F';
        if (child > 0 && ::read(ready[0], &verdict, 1) == 1)
            holding = verdict == 'L';
        ::close(ready[0]);
    }
    ~RivalHolder() { release(); }
    RivalHolder(const RivalHolder&) = delete;
    RivalHolder& operator=(const RivalHolder&) = delete;

    void release()
    {
        if (releaseFd != -1) {
            ::close(releaseFd);
            releaseFd = -1;
        }
        if (child > 0) {
            ::waitpid(child, nullptr, 0);
            child = -1;
        }
    }

    bool holding = false;

private:
    pid_t child = -1;
    int releaseFd = -1;
};

// Whether another process could take the lock right now.
bool anotherProcessCanLock(const std::string& path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        ::_exit(fd != -1 && lockWholeFile(fd) ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(PtyLock, NodeLockedByAnotherProcessCannotBeOpened)
{
    CapturingLogger log;
    Pseudoterminal pty;
    ASSERT_TRUE(pty.ok());
    RivalHolder rival(pty.path);
    ASSERT_TRUE(rival.holding);

    DynelleUSBProtocolLowLevel link{PosixSerialDevice::instance(), pty.path.c_str()};
    EXPECT_FALSE(link.openPort());
    EXPECT_EQ(link.fd, -1);

    ASSERT_EQ(log.count(spdlog::level::err), 1u);
    const std::string text = log.texts()[0];
    const std::string expectedStart =
        "bool DynelleUSBProtocolLowLevel::openPort(): Couldnt get exclusive access \"" + pty.path + "\": ";
    EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
    const std::string reason = text.substr(std::min(text.size(), expectedStart.size()));
    EXPECT_TRUE(reason == std::strerror(EAGAIN) || reason == std::strerror(EACCES)) << text;

    // Once the rival is gone the same link gets the node.
    rival.release();
    EXPECT_TRUE(link.openPort());
    EXPECT_NE(link.fd, -1);
}

TEST(PtyLock, OpenLinkKeepsOthersOutUntilDestroyed)
{
    CapturingLogger log;
    Pseudoterminal pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(anotherProcessCanLock(pty.path));
    {
        DynelleUSBProtocolLowLevel link{PosixSerialDevice::instance(), pty.path.c_str()};
        ASSERT_TRUE(link.openPort());
        ASSERT_TRUE(link.setTTY());
        EXPECT_FALSE(anotherProcessCanLock(pty.path));
    }
    EXPECT_TRUE(anotherProcessCanLock(pty.path));
    EXPECT_EQ(log.count(), 0u);
}

} // namespace
