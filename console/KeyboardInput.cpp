#include "console/KeyboardInput.h"

#include <poll.h>
#include <sys/ioctl.h>

bool keyboardInputEnded(int fd)
{
    struct pollfd input {};
    input.fd = fd;
    input.events = POLLIN;
    if (::poll(&input, 1, 0) <= 0)
        return false; // nothing pending, or interrupted: ask again later
    if (input.revents & (POLLHUP | POLLERR | POLLNVAL))
        return true;
    // Readable: a key that arrived since the library looked is counted here,
    // and then the input is alive. Where no count can be had (a plain file
    // or /dev/null) readable without a key means its end.
    int pending = 0;
    if (::ioctl(fd, FIONREAD, &pending) == 0)
        return pending == 0;
    return true;
}
