#pragma once

#include "boardlink/SerialDevice.h"

// The real thing: every call goes straight to the operating system.
class PosixSerialDevice : public SerialDevice {
public:
    static PosixSerialDevice& instance();

    int stat(const char* path) override;
    int open(const char* path, int flags) override;
    int setLock(int fd, const struct flock& lock) override;
    int tcgetattr(int fd, struct termios& attributes) override;
    int tcsetattr(int fd, int when, const struct termios& attributes) override;
    ssize_t read(int fd, void* buffer, size_t count) override;
    ssize_t write(int fd, const void* buffer, size_t count) override;
    int close(int fd) override;
    int nanosleep(const struct timespec& duration) override;
};
