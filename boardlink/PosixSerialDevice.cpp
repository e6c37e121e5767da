#include "boardlink/PosixSerialDevice.h"

#include "logging/SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

PosixSerialDevice& PosixSerialDevice::instance()
{
    static PosixSerialDevice device;
    return device;
}

int PosixSerialDevice::stat(const char* path)
{
    struct stat status {};
    return ::stat(path, &status);
}

int PosixSerialDevice::open(const char* path, int flags)
{
    return ::open(path, flags);
}

int PosixSerialDevice::setLock(int fd, const struct flock& lock)
{
    return ::fcntl(fd, F_SETLK, &lock);
}

int PosixSerialDevice::tcgetattr(int fd, struct termios& attributes)
{
    return ::tcgetattr(fd, &attributes);
}

int PosixSerialDevice::tcsetattr(int fd, int when, const struct termios& attributes)
{
    return ::tcsetattr(fd, when, &attributes);
}

ssize_t PosixSerialDevice::read(int fd, void* buffer, size_t count)
{
    return ::read(fd, buffer, count);
}

ssize_t PosixSerialDevice::write(int fd, const void* buffer, size_t count)
{
    return ::write(fd, buffer, count);
}

int PosixSerialDevice::close(int fd)
{
    return ::close(fd);
}

int PosixSerialDevice::nanosleep(const struct timespec& duration)
{
    // A stray signal must not cut a poll interval short: sleep out the rest.
    struct timespec remaining = duration;
    int result;
    while ((result = ::nanosleep(&remaining, &remaining)) == -1 && Tessaly::SystemError::last().number == EINTR) {
    }
    return result;
}
