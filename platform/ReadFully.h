#pragma once

#include <cerrno>
#include <cstddef>
#include <sys/types.h>
#include <unistd.h>

// Reads until `count` bytes or the end of the source: a pipe may hand over
// less than asked for without having ended. -1 on a read error, with errno
// as the read left it.
inline ssize_t readFully(int fd, unsigned char* buffer, size_t count)
{
    size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd, buffer + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
}
