#include "platform/BoardLibrary.h"
#include "platform/PlatformRoot.h"
#include "platform/SystemErrorText.h"

#include <fcntl.h>
#include <linux/watchdog.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

namespace {

int watchdogFd = -1;

void requireOpenWatchdog()
{
    if (watchdogFd < 0) {
        fputs("Watchdog device not open\n", stderr);
        abort();
    }
}

} // namespace

extern "C" int start_dog(int timeoutSeconds)
{
    watchdogFd = open(platformPath("/dev/watchdog").c_str(), O_RDWR);
    if (watchdogFd < 0) {
        fprintf(stderr, "Couldn't open the watchdog at /dev/watchdog: \n%s\n", systemErrorText());
        abort();
    }
    return ioctl(watchdogFd, WDIOC_SETTIMEOUT, &timeoutSeconds);
}

extern "C" int kick_dog(void)
{
    requireOpenWatchdog();
    return ioctl(watchdogFd, WDIOC_KEEPALIVE, nullptr);
}

extern "C" int stop_dog(void)
{
    requireOpenWatchdog();
    // The magic close: the driver disarms the watchdog when "V" precedes close.
    const int written = static_cast<int>(write(watchdogFd, "V", 1));
    close(watchdogFd);
    watchdogFd = -1;
    return written;
}
