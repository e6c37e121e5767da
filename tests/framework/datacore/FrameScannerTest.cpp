#include "framework/datacore/FrameScanner.h"

#include "tests/framework/datacore/Loopback.h"

#include <gtest/gtest.h>

namespace {

using Found = std::tuple<int, int, int>; // offset, identifier, payload length

// A header alone, claiming any length.
QByteArray header(quint16 id, quint32 length)
{
    char word[4];
    qToBigEndian<quint32>(length, word);
    return frameBytes(id, {}).left(12).append(word, 4);
}

const QByteArray a = frameBytes(0x1011, QByteArray(10, 'a'));   // 30 bytes
const QByteArray b = frameBytes(0x1013, QByteArray(3, 'b'));    // 23 bytes
// A header announcing 0xCA payload bytes whose frame ends in a wrong trailer;
// its last byte, 0xCA, could begin a frame's magic.
const QByteArray noTrailer = frameBytes(0x1011, QByteArray(0xCA, 'x'), false);

struct Case {
    const char* name;
    QByteArray bytes;
    std::vector<Found> frames;
    int consumed;
};

std::vector<Case> cases()
{
    const QByteArray hugeThenA = header(0x1010, 0x7FFFFFF0) + a;
    const QByteArray overlapping = noTrailer.left(15) + a;   // a's magic is the header's last byte
    return {
        {"empty", {}, {}, 0},
        {"two frames back to back", a + b, {{0, 0x1011, 10}, {30, 0x1013, 3}}, 53},
        {"one garbage byte costs one byte", QByteArray(1, 'g') + a, {{1, 0x1011, 10}}, 31},
        {"garbage holding magic-like bytes", QByteArray::fromHex("CAFECAFEBA") + a, {{5, 0x1011, 10}}, 35},
        {"short tail waits", a + QByteArray(15, 'g'), {{0, 0x1011, 10}}, 30},
        {"garbage tail keeps its last 15 bytes", QByteArray(40, 'g'), {}, 25},
        {"incomplete frame waits", a + b.left(22), {{0, 0x1011, 10}}, 30},
        {"header without trailer is skipped by 16", noTrailer + a, {{222, 0x1011, 10}}, 252},
        {"frame right after a trailerless header", noTrailer.left(16) + a + QByteArray(200, 'z'),
         {{16, 0x1011, 10}}, 231},
        {"frame inside a trailerless header is lost", overlapping + QByteArray(200, 'z'), {}, 230},
        {"identifier below the table", frameBytes(0x100F, "p") + a, {{21, 0x1011, 10}}, 51},
        {"identifier above the table", frameBytes(0x102C, "p") + a, {{21, 0x1011, 10}}, 51},
        {"negative length", header(0x1011, 0xFFFFFFFF) + a, {{16, 0x1011, 10}}, 46},
        {"huge length is no frame start", hugeThenA, {{16, 0x1011, 10}}, 46},
        {"length at the bound waits", header(0x1011, maxFramePayloadLength) + a, {}, 0},
        {"length beyond the bound is skipped", header(0x1011, maxFramePayloadLength + 1) + a, {{16, 0x1011, 10}}, 46},
    };
}

TEST(FrameScanner, FindsFramesAndConsumesByTheReaderRules)
{
    for (const Case& c : cases()) {
        std::vector<Found> found;
        const int consumed = scanRawDataFrames(c.bytes.constData(), c.bytes.size(), [&](const ScannedFrame& f) {
            found.emplace_back(f.offset, int(f.header.packetIdentifier), int(f.header.payloadLength));
        });
        EXPECT_EQ(found, c.frames) << c.name;
        EXPECT_EQ(consumed, c.consumed) << c.name;
    }
}

} // namespace
