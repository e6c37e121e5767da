// Board replies in arbitrary chunks through the link's read queue and line
// cutting, against the harness's own plain account of the bytes (cut at zero
// bytes per read, split at line feeds with memchr) and of what each complete
// line sets: after every chunk the link's readings, counters and queue must
// match it, so a reading changes only on a complete, well-formed line.
//
// Input: the reply bytes from the front; the chunk sizes from the back (a
// size of 0 is a failed read). A plain reply text is therefore a valid seed.

#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "boardlink/ReplyParsing.h"
#include "tests/fuzz/Check.h"
#include "tests/support/FakeBoardDevice.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

namespace {

// The link reads at most this many bytes per call; a zero byte ends the text
// of the read it came in.
constexpr size_t linkReadSize = 32;
constexpr int noReading = -100000;

// Readings in the order they are compared: by reply letter, 'm' and 'M' the
// least and greatest system voltage, '#' the raw fuel gauge.
constexpr std::string_view order = "ABCGPSmMT#";

struct Model {
    std::map<char, int> readings;
    QString version{"Uninitialised"};
    int rxByteCount = 0;
    std::string queue;

    int at(char key) const { return readings.count(key) ? readings.at(key) : noReading; }

    // What one complete, non-empty line sets.
    void apply(const QString& line)
    {
        const char letter = line[0].toLatin1();
        if (letter == 'V') {
            version = line;
        } else if (letter == '#') {
            if (const auto raw = parseRawFuelGaugeComment(line))
                readings['#'] = *raw;
        } else if (std::string_view("ABCGPST").find(letter) != std::string_view::npos) {
            if (line.size() < 3)
                return;
            const int value = readings[letter] = parseReplyValue(line);
            if (letter == 'S' && (at('m') == noReading || at('m') > value))
                readings['m'] = value;
            if (letter == 'S' && (at('M') == noReading || at('M') < value))
                readings['M'] = value;
        }
    }

    void receive(const std::string& chunk)
    {
        for (size_t offset = 0; offset < chunk.size(); offset += linkReadSize) {
            const size_t size = std::min(linkReadSize, chunk.size() - offset);
            rxByteCount += static_cast<int>(size);
            const char* read = chunk.data() + offset;
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

    std::string text() const
    {
        std::string text;
        for (const char key : order)
            text += std::to_string(at(key)) + ' ';
        return text + std::to_string(rxByteCount) + ' ' + version.toStdString() + '\n' + queue;
    }
};

std::string text(const DynelleUSBProtocolLowLevel& link)
{
    std::string text;
    for (int value : {link.analogFuelGauge, link.batteryInterface, link.batteryCapacity, link.batteryVoltage,
                      link.powerSource, link.systemVoltage, link.systemVoltageMin, link.systemVoltageMax,
                      link.timeToEmpty, link.rawAnalogFuelGauge})
        text += std::to_string(value) + ' ';
    return text + std::to_string(link.rxByteCount) + ' ' + link.version.toStdString() + '\n'
           + std::string(link.readQueue.begin(), link.readQueue.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Reports are built and passed on as in production, then dropped.
    static const auto logger = [] {
        auto logger = std::make_shared<spdlog::logger>("KWLOG", std::make_shared<spdlog::sinks::null_sink_mt>());
        logger->set_level(spdlog::level::trace);
        spdlog::register_logger(logger);
        return logger;
    }();
    FuzzedDataProvider input(data, size);
    FakeBoardDevice board;
    DynelleUSBProtocolLowLevel link(board);
    check(link.initialize(), "the link starts");
    Model expected;
    while (input.remaining_bytes() > 0) {
        const int chunkSize = input.ConsumeIntegralInRange<int>(0, 100);
        if (chunkSize == 0) {
            board.failOneRead(EIO);
            check(!link.servicePort(), "a failed read is reported");
        } else {
            const std::string chunk = input.ConsumeBytesAsString(static_cast<size_t>(chunkSize));
            board.sendInOneRead(QByteArray(chunk.data(), static_cast<int>(chunk.size())));
            check(link.servicePort(), "a read is taken");
            expected.receive(chunk);
        }
        if (text(link) != expected.text()) {
            std::fprintf(stderr, "board_replies: link\n%s\nexpected\n%s\n", text(link).c_str(),
                         expected.text().c_str());
            std::abort();
        }
    }
    return 0;
}
