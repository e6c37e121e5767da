// Board replies in arbitrary chunks through the link's read queue and line
// cutting. Alongside the link, the harness keeps its own plain account of the
// bytes (cut at zero bytes per read, split at line feeds with memchr) and of
// what each complete line must set; after every chunk the link's readings,
// counters and queue must match it exactly, so a reading changes only on a
// complete, well-formed line.
//
// Input: the reply bytes from the front; the chunk sizes from the back (a
// size of 0 is a failed read). A plain reply text is therefore a valid seed.

#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/ReplyParsing.h"
#include "tests/support/FakeBoardDevice.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The link reads at most this many bytes per call; a zero byte ends the text
// of the read it came in.
constexpr size_t linkReadSize = 32;
constexpr int maxChunk = 100;

struct Readings {
    int noReading = -100000;
    QString version{"Uninitialised"};
    int analogFuelGauge = noReading;
    int batteryInterface = noReading;
    int batteryCapacity = noReading;
    int batteryVoltage = noReading;
    int powerSource = noReading;
    int systemVoltage = noReading;
    int systemVoltageMin = noReading;
    int systemVoltageMax = noReading;
    int timeToEmpty = noReading;
    int rawAnalogFuelGauge = noReading;
    int rxByteCount = 0;
    std::string queue;

    // What one complete, non-empty line sets.
    void apply(const QString& line)
    {
        int* numeric = nullptr;
        switch (line[0].unicode()) {
        case 'A': numeric = &analogFuelGauge; break;
        case 'B': numeric = &batteryInterface; break;
        case 'C': numeric = &batteryCapacity; break;
        case 'G': numeric = &batteryVoltage; break;
        case 'P': numeric = &powerSource; break;
        case 'S': numeric = &systemVoltage; break;
        case 'T': numeric = &timeToEmpty; break;
        case 'V': version = line; return;
        case '#':
            if (const auto raw = parseRawFuelGaugeComment(line))
                rawAnalogFuelGauge = *raw;
            return;
        default: return;
        }
        if (line.size() < 3)
            return;
        *numeric = parseReplyValue(line);
        if (numeric == &systemVoltage) {
            if (systemVoltageMin == noReading || systemVoltageMin > systemVoltage)
                systemVoltageMin = systemVoltage;
            if (systemVoltageMax == noReading || systemVoltageMax < systemVoltage)
                systemVoltageMax = systemVoltage;
        }
    }

    void receive(const std::string& chunk)
    {
        for (size_t at = 0; at < chunk.size(); at += linkReadSize) {
            const size_t size = std::min(linkReadSize, chunk.size() - at);
            rxByteCount += static_cast<int>(size);
            const char* read = chunk.data() + at;
            const void* zero = std::memchr(read, '\0', size);
            queue.append(read, zero ? static_cast<const char*>(zero) - read : size);
        }
        size_t start = 0;
        while (const void* found = std::memchr(queue.data() + start, '\n', queue.size() - start)) {
            const size_t end = static_cast<size_t>(static_cast<const char*>(found) - queue.data());
            if (end > start)
                apply(QString::fromLatin1(queue.data() + start, static_cast<int>(end - start)));
            start = end + 1;
        }
        queue.erase(0, start);
    }
};

// Every reading and the byte counter, for the model and the link alike (same member names).
template <class Link>
std::string readings(const Link& link)
{
    std::string text;
    for (int value : {link.analogFuelGauge, link.batteryInterface, link.batteryCapacity, link.batteryVoltage,
                      link.powerSource, link.systemVoltage, link.systemVoltageMin, link.systemVoltageMax,
                      link.timeToEmpty, link.rawAnalogFuelGauge, link.rxByteCount})
        text += std::to_string(value) + ' ';
    return text + link.version.toStdString();
}

void compare(const Readings& expected, const DynelleUSBProtocolLowLevel& link)
{
    const std::string queue(link.readQueue.begin(), link.readQueue.end());
    if (readings(expected) != readings(link) || expected.queue != queue) {
        std::fprintf(stderr, "board_replies: readings \"%s\", queue \"%s\"; expected \"%s\", \"%s\"\n",
                     readings(link).c_str(), queue.c_str(), readings(expected).c_str(), expected.queue.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Reports are built and passed on as in production, then dropped.
    auto logger = std::make_shared<spdlog::logger>("KWLOG", std::make_shared<spdlog::sinks::null_sink_mt>());
    logger->set_level(spdlog::level::trace);
    spdlog::register_logger(logger);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    FakeBoardDevice board;
    DynelleUSBProtocolLowLevel link(board);
    if (!link.initialize())
        std::abort();
    Readings expected;
    while (input.remaining_bytes() > 0) {
        const int chunkSize = input.ConsumeIntegralInRange<int>(0, maxChunk);
        if (chunkSize == 0) {
            board.failOneRead(EIO);
            if (link.servicePort())
                std::abort(); // a failed read must be reported as such
        } else {
            const std::string chunk = input.ConsumeBytesAsString(static_cast<size_t>(chunkSize));
            if (chunk.empty())
                break;
            board.sendInOneRead(QByteArray(chunk.data(), static_cast<int>(chunk.size())));
            if (!link.servicePort())
                std::abort();
            expected.receive(chunk);
        }
        compare(expected, link);
    }
    return 0;
}
