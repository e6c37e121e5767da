#include "framework/rawdata/EyeHistogramData.h"
#include "framework/rawdata/MeasurementPackets.h"
#include "framework/rawdata/RegistrationRawDataPacket.h"
#include "tests/framework/datacore/Loopback.h"

#include <QDataStream>

#include <gtest/gtest.h>

namespace {

TEST(RawDataPacketTest, RegisterFrameIsByteExact)
{
    EXPECT_EQ(frameOf(RegisterRawDataPacket(0x1011, 0xC0A80001, 5000)).toHex(' '),
              QByteArray("ca fe ba 6e 1f 00 d3 21 10 2a 00 00 00 00 00 08 10 11 13 88 c0 a8 00 01 de ad be ef"));
}

// Whole frames and frames one byte short are the frame scanner's cases; these
// are what it never peeks (cut short), checks itself (the lengths) or whose
// garbage does not show the magic's last byte.
TEST(RawDataPacketTest, PeekHeaderReportsNotAFrameIncompleteOrWhole)
{
    QByteArray badMagic = frameBytes(0x102B, "ppppp");
    badMagic[7] = 0x22;
    const std::tuple<const char*, QByteArray, int> cases[] = {
        {"15 bytes of a good header", frameBytes(0x102B, "ppppp").left(15), 1},
        {"wrong magic", badMagic, 0},
        {"empty buffer", QByteArray(), 0},
        {"identifier above the table, header cut short", headerBytes(0x102C, 0).left(10), 0},
        {"negative length", headerBytes(0x1011, -1) + QByteArray(64, 0), 0},
        {"largest length on a short buffer", headerBytes(0x1011, INT32_MAX) + QByteArray(64, 0), 1},
    };
    for (const auto& [name, buffer, expected] : cases)
        EXPECT_EQ(int(RawDataPacket::peekHeader(buffer).packetIdentifier), expected) << name;
}

TEST(RawDataPacketTest, MeasurementPacketRelaysItsFrameUnchanged)
{
    QByteArray frame = frameBytes(0x1011, QByteArray("\x00\xFF\x10\x20", 4));
    frame[11] = 0x07;
    QDataStream stream(frame);
    const auto streamed = RawDataPacket::readHeaderFromStream(stream);
    EXPECT_TRUE(streamed.hasValidMagic());
    EXPECT_EQ(streamed.payloadLength, 4);
    const EyeVerticalHistogramData packet(frame, RawDataPacket::peekHeader(frame));
    EXPECT_EQ(frameOf(packet), frame);
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    EXPECT_EQ(packet.serialisePacketAndWriteToDevice(sink), frame.size());
}

TEST(RawDataPacketTest, ConstructionFromAShortFrameKeepsOnlyWhatIsThere)
{
    RawDataPacket::Header header;
    header.payloadLength = 0x7FFFFFFF;
    const QByteArray frame = headerBytes(0x1029, 0x7FFFFFFF) + "abc";
    EXPECT_EQ(LoudnessEngineRawDataPacket(frame, header).getPayloadFromPacket(), QByteArray("abc"));
    EXPECT_EQ(LoudnessEngineRawDataPacket(frame.left(4), header).getPayloadFromPacket(), QByteArray());
    header.payloadLength = -5;
    EXPECT_EQ(LoudnessEngineRawDataPacket(frame, header).getPayloadFromPacket(), QByteArray());
}

} // namespace
