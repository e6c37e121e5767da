// The board link's handling of replies against the plain limits of the same
// bytes in the same run: memcpy (moving them at all) and memchr line
// splitting (the least any line cutter must do). All figures are bytes per
// second of board output.

#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/SerialDevice.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A morning's worth of polling replies as the board sends them, about 64 KiB.
const std::string& replyStream()
{
    static const std::string stream = [] {
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
    return stream;
}

// Hands out the stream as the device node would, in whatever pieces the link
// asks for, and then nothing.
class StreamDevice : public SerialDevice {
public:
    explicit StreamDevice(const std::string& bytes) : bytes(bytes) {}
    void rewind() { offset = 0; }

    int stat(const char*) override { return 0; }
    int open(const char*, int) override { return 3; }
    int setLock(int, const struct flock&) override { return 0; }
    int tcgetattr(int, struct termios&) override { return 0; }
    int tcsetattr(int, int, const struct termios&) override { return 0; }
    ssize_t read(int, void* buffer, size_t count) override
    {
        const size_t n = std::min(count, bytes.size() - offset);
        std::memcpy(buffer, bytes.data() + offset, n);
        offset += n;
        return static_cast<ssize_t>(n);
    }
    ssize_t write(int, const void*, size_t count) override { return static_cast<ssize_t>(count); }
    int close(int) override { return 0; }
    int nanosleep(const struct timespec&) override { return 0; }

private:
    const std::string& bytes;
    size_t offset = 0;
};

// Rates in bytes and in reply lines per second.
void setBytes(benchmark::State& state)
{
    const std::string& stream = replyStream();
    const auto lines = std::count(stream.begin(), stream.end(), '\n');
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(lines));
}

// The limit: copying the bytes once.
void Memcpy(benchmark::State& state)
{
    const std::string& stream = replyStream();
    std::vector<char> copy(stream.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), stream.data(), stream.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

// The limit for line cutting: finding every line feed with memchr.
void MemchrLines(benchmark::State& state)
{
    const std::string& stream = replyStream();
    for (auto _ : state) {
        size_t lines = 0;
        const char* at = stream.data();
        const char* const end = at + stream.size();
        while (const void* found = std::memchr(at, '\n', static_cast<size_t>(end - at))) {
            at = static_cast<const char*>(found) + 1;
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    setBytes(state);
}

// The link's whole path: device reads into the queue, line cutting, routing
// and value parsing.
void LinkServicePort(benchmark::State& state)
{
    StreamDevice device(replyStream());
    DynelleUSBProtocolLowLevel link(device);
    link.initialize();
    for (auto _ : state) {
        device.rewind();
        link.servicePort();
        benchmark::DoNotOptimize(link.systemVoltage);
    }
    setBytes(state);
}

// Only the line cutting and parsing, from a queue already filled.
void LinkQueueLines(benchmark::State& state)
{
    const std::string& stream = replyStream();
    StreamDevice device(stream);
    DynelleUSBProtocolLowLevel link(device);
    for (auto _ : state) {
        state.PauseTiming();
        link.readQueue.assign(stream.begin(), stream.end());
        state.ResumeTiming();
        link.processReadQueueLines();
        benchmark::DoNotOptimize(link.systemVoltage);
    }
    setBytes(state);
}

// Only routing and parsing, of lines cut beforehand.
void LinkParseLines(benchmark::State& state)
{
    std::vector<QString> lines;
    const std::string& stream = replyStream();
    for (size_t start = 0, end; (end = stream.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(QString::fromLatin1(stream.data() + start, static_cast<int>(end - start)));
    StreamDevice device(stream);
    DynelleUSBProtocolLowLevel link(device);
    for (auto _ : state) {
        for (const QString& line : lines)
            link.processReceivedLine(line);
        benchmark::DoNotOptimize(link.systemVoltage);
    }
    setBytes(state);
}

} // namespace

BENCHMARK(Memcpy);
BENCHMARK(MemchrLines);
BENCHMARK(LinkServicePort);
BENCHMARK(LinkQueueLines);
BENCHMARK(LinkParseLines);
BENCHMARK_MAIN();
