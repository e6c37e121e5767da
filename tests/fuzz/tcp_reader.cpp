// The TCP reader's scanning fed in arbitrary pieces, as reads arrive: how the
// stream is cut into reads must not change which frames are found.

#include "framework/datacore/FrameScanner.h"
#include "tests/fuzz/Check.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Stream offsets of the frames found when the stream arrives in pieces of the
// given sizes (cycled).
std::vector<long> framesFound(const char* data, size_t size, const std::vector<int>& pieces)
{
    std::vector<long> found;
    QByteArray buffer;
    long bufferStart = 0;
    for (size_t turn = 0, fed = 0; fed < size; ++turn) {
        const size_t piece = std::min<size_t>(size - fed, size_t(pieces[turn % pieces.size()]));
        buffer.append(data + fed, int(piece));
        fed += piece;
        const int consumed = scanRawDataFrames(buffer.constData(), buffer.size(), [&](const ScannedFrame& f) {
            const char* at = buffer.constData() + f.offset;
            check(f.offset >= 0 && f.header.payloadLength >= 0 && f.header.payloadLength <= maxFramePayloadLength
                      && f.offset + f.frameLength() <= buffer.size(),
                  "a bounded frame inside the buffer");
            check(std::memcmp(at, "\xCA\xFE\xBA\x6E\x1F\x00\xD3\x21", 8) == 0, "the magic");
            check(std::memcmp(at + f.frameLength() - 4, "\xDE\xAD\xBE\xEF", 4) == 0, "the trailer");
            check(f.header.packetIdentifier >= 0x1010 && f.header.packetIdentifier <= 0x102B, "a known type");
            check(found.empty() || bufferStart + f.offset > found.back(), "frames in stream order");
            found.push_back(bufferStart + f.offset);
        });
        check(consumed >= 0 && consumed <= buffer.size(), "consumed within the buffer");
        buffer.remove(0, consumed);
        bufferStart += consumed;
        // What is kept waits for more bytes: scanning it again finds nothing.
        const auto none = [](const ScannedFrame&) { check(false, "a frame left in the kept bytes"); };
        check(scanRawDataFrames(buffer.constData(), buffer.size(), none) == 0, "kept bytes consumed");
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose how the rest is cut into reads.
    const char* stream = reinterpret_cast<const char*>(data + 2);
    check(framesFound(stream, size - 2, {1 + data[0] % 7, 1 + data[1] * 3, 16, 1})
              == framesFound(stream, size - 2, {int(size)}),
          "the same frames however the reads are cut");
    return 0;
}
