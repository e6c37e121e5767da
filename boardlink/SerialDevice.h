#pragma once

#include <sys/types.h>

struct flock;
struct termios;
struct timespec;

// The system calls the board link makes on its device node, behind one seam so
// that the link and everything above it can run against a simulated board.
// Each call behaves like its POSIX namesake: -1 and errno on failure.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    virtual int stat(const char* path) = 0;
    virtual int open(const char* path, int flags) = 0;
    virtual int setLock(int fd, const struct flock& lock) = 0; // fcntl(fd, F_SETLK, &lock)
    virtual int tcgetattr(int fd, struct termios& attributes) = 0;
    virtual int tcsetattr(int fd, int when, const struct termios& attributes) = 0;
    virtual ssize_t read(int fd, void* buffer, size_t count) = 0;
    virtual ssize_t write(int fd, const void* buffer, size_t count) = 0;
    virtual int close(int fd) = 0;
    virtual int nanosleep(const struct timespec& duration) = 0;
};
