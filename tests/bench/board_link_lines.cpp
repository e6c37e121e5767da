// The board link's handling of replies against the plain limits of the same
// bytes in the same run. All figures are bytes per second of board output.

#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "tests/bench/Limits.h"
#include "tests/support/FakeBoardDevice.h"

#include <algorithm>
#include <string>

namespace {

// A morning's worth of polling replies as the board sends them, about 64 KiB.
const std::string replyStream = [] {
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
const size_t lines = static_cast<size_t>(std::count(replyStream.begin(), replyStream.end(), '\n'));
const bool limits = registerLimits("", replyStream.data(), replyStream.size(), lines, true);

// The board: the replies in whatever pieces the link asks for, then nothing.
// (The stand-in's own scripted reads shift their bytes on every read.)
struct StreamDevice : FakeBoardDevice {
    size_t offset = 0;

    ssize_t read(int, void* buffer, size_t count) override
    {
        const size_t n = std::min(count, replyStream.size() - offset);
        std::memcpy(buffer, replyStream.data() + offset, n);
        offset += n;
        return static_cast<ssize_t>(n);
    }
};

// The link's whole path: device reads into the queue, line cutting, routing
// and value parsing.
void LinkServicePort(benchmark::State& state)
{
    StreamDevice device;
    DynelleUSBProtocolLowLevel link(device);
    link.initialize();
    measure(state, replyStream.size(), lines, [&] {
        device.offset = 0;
        link.servicePort();
        benchmark::DoNotOptimize(link.systemVoltage);
    });
}
BENCHMARK(LinkServicePort);

} // namespace

BENCHMARK_MAIN();
