#include "boardtests/TestUSBProtocol.h"

#include "app/TestManager.h"
#include "boardlink/SerialDevice.h"

#include <ctime>

namespace {

constexpr int dataWaitAttempts = 25;
constexpr int pollIntervalMs = 200;
const char* const uninitialisedVersion = "Uninitialised";

} // namespace

bool TestUSBProtocol::initialize(TestManager& tm)
{
    tm.title("Initialisation Tests");

    if (!testPresenceOfUSBDevice()) {
        tm.prompt("Cannot find the USB Device - Quitting (press any key): ");
        tm.log("FAIL!! - Cannot find the USB Device\n");
        return false;
    }
    if (!openPort()) {
        // The host unit's own server holding the lock is the usual cause.
        tm.prompt("Cannot open the USB device. Is kw_server running? - Quitting (press any key): ");
        tm.log("FAIL!! - Cannot open the USB Device\n");
        return false;
    }
    if (!setTTY()) {
        tm.prompt("Cannot set up the USB device? - Quitting (press any key): ");
        tm.log("FAIL!! - Cannot set up the USB Device\n");
        return false;
    }

    // Only the version reply proves the firmware is answering us; the other
    // readings that arrive meanwhile are applied but do not end the wait.
    for (int attempt = 0; attempt < dataWaitAttempts; ++attempt) {
        if (version != uninitialisedVersion)
            break;
        // Told to stop: the board's silence is not established, so no verdict.
        if (tm.stopRequested())
            return false;
        processEvents(pollIntervalMs);
        tm.show();
    }
    if (version == uninitialisedVersion) {
        tm.prompt("Not seeing any data flowing from the USB device? - Quitting (press any key): ");
        tm.log("FAIL!! - No data from the USB Device\n");
        return false;
    }

    tm.log(QString("tr417 sw version: %1\n\n").arg(version));
    tm.log(QString("PASSED - %1\n").arg("Initialisation Tests"));
    return true;
}

void TestUSBProtocol::requestData()
{
    // A failed line must not stop the rest of the burst.
    static const char* const burst[] = {"C\n", "V\n", "T\n", "P\n", "S\n", "A\n", "B\n", "G\n"};
    for (const char* line : burst)
        sendLine(line);
}

bool TestUSBProtocol::processEvents(int ms)
{
    if (fd != -1)
        requestData();

    struct timespec duration {};
    duration.tv_sec = ms / 1000;
    duration.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    // An interrupted sleep just makes this step shorter; the next one follows soon.
    device.nanosleep(duration);

    if (fd == -1)
        return true;
    return servicePort();
}
