// The board link's handling of replies against the plain limits of the same
// bytes in the same run. All figures are bytes per second of board output.

#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/SerialDevice.h"

#include "tests/bench/Limits.h"

#include <algorithm>
#include <string>

namespace {

// A morning's worth of polling replies as the board sends them, about 64 KiB.
const std::string replies = [] {
    const char* const cycle[] = {
        "S 11500\r\n", "P 2\r\n", "A 61\r\n", "B 1\r\n", "C 64\r\n", "G 12300\r\n", "T -1\r\n",
        "# getAnalogFuelGauge() = 12 345\r\n", "V V1.0 tr417_sim\r\n", "D 41\r\n",
    };
    std::string bytes;
    while (bytes.size() < 64 * 1024)
        for (const char* line : cycle)
            bytes += line;
    return bytes;
}();
const size_t lines = static_cast<size_t>(std::count(replies.begin(), replies.end(), '\n'));
const bool limits = registerLimits("", replies.data(), replies.size(), lines, true);

// The device node: the replies in whatever pieces the link asks for, then nothing.
class StreamDevice : public SerialDevice {
public:
    size_t offset = 0;

    int stat(const char*) override { return 0; }
    int open(const char*, int) override { return 3; }
    int setLock(int, const struct flock&) override { return 0; }
    int tcgetattr(int, struct termios&) override { return 0; }
    int tcsetattr(int, int, const struct termios&) override { return 0; }
    ssize_t read(int, void* buffer, size_t count) override
    {
        const size_t n = std::min(count, replies.size() - offset);
        std::memcpy(buffer, replies.data() + offset, n);
        offset += n;
        return static_cast<ssize_t>(n);
    }
    ssize_t write(int, const void*, size_t count) override { return static_cast<ssize_t>(count); }
    int close(int) override { return 0; }
    int nanosleep(const struct timespec&) override { return 0; }
};

// The link's whole path: device reads into the queue, line cutting, routing
// and value parsing.
void LinkServicePort(benchmark::State& state)
{
    StreamDevice device;
    DynelleUSBProtocolLowLevel link(device);
    link.initialize();
    measure(state, replies.size(), lines, [&] {
        device.offset = 0;
        link.servicePort();
        benchmark::DoNotOptimize(link.systemVoltage);
    });
}
BENCHMARK(LinkServicePort);

} // namespace

BENCHMARK_MAIN();
