#include "framework/rawdata/EyeHistogramData.h"
#include "framework/rawdata/MeasurementPackets.h"
#include "framework/rawdata/RegistrationRawDataPacket.h"

#include <QBuffer>
#include <QDataStream>

#include <gtest/gtest.h>

namespace {

QByteArray frameOf(const RawDataPacket& packet)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const qint64 written = packet.serialisePacketAndWriteToDevice(buffer);
    EXPECT_EQ(written, buffer.data().size());
    return buffer.data();
}

// A header with the right magic and the given identifier and length.
QByteArray headerBytes(quint16 id, qint32 length)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    RawDataPacket::Header header;
    header.packetIdentifier = id;
    header.payloadLength = length;
    RawDataPacket::writeHeaderToDataStream(header, stream);
    return bytes;
}

TEST(RawDataPacketTest, RegisterFrameIsByteExactAndReadsBack)
{
    const RegisterRawDataPacket packet(0x1011, 0xC0A80001, 5000);
    const QByteArray frame = frameOf(packet);
    EXPECT_EQ(frame.toHex(' '),
              QByteArray("ca fe ba 6e 1f 00 d3 21 10 2a 00 00 00 00 00 08 10 11 13 88 c0 a8 00 01 de ad be ef"));
    const DeregisterRawDataPacket read(frame, RawDataPacket::peekHeader(frame));
    EXPECT_EQ(read.getRawDataPacketID(), 0x1011);
    EXPECT_EQ(read.getDstAddr(), 0xC0A80001u);
    EXPECT_EQ(read.getDstPort(), 5000);
}

TEST(RawDataPacketTest, PeekHeaderReportsNotAFrameIncompleteOrWhole)
{
    const QByteArray payload(5, 'p');
    struct Case {
        const char* name;
        QByteArray buffer;
        int expected;
    };
    const QByteArray whole = headerBytes(0x102B, 5) + payload + rawDataPacketTrailer;
    QByteArray badMagic = whole;
    badMagic[7] = 0x22;
    const Case cases[] = {
        {"whole frame with more after it", whole + "xyz", 0x102B},
        {"one byte short of the trailer", whole.left(whole.size() - 1), 1},
        {"15 bytes of a good header", whole.left(15), 1},
        {"empty buffer", QByteArray(), 0},
        {"wrong magic", badMagic, 0},
        {"identifier below the table", headerBytes(0x100F, 0) + rawDataPacketTrailer, 0},
        {"identifier above the table, header cut short", headerBytes(0x102C, 0).left(10), 0},
        {"lowest identifier, empty payload", headerBytes(0x1010, 0) + rawDataPacketTrailer, 0x1010},
        {"negative length", headerBytes(0x1011, -1) + QByteArray(64, 0), 0},
        {"largest length on a short buffer", headerBytes(0x1011, INT32_MAX) + QByteArray(64, 0), 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(int(RawDataPacket::peekHeader(c.buffer).packetIdentifier), c.expected) << c.name;
}

TEST(RawDataPacketTest, MeasurementPacketRelaysItsFrameUnchanged)
{
    QByteArray frame = headerBytes(0x1011, 4) + QByteArray("\x00\xFF\x10\x20", 4) + rawDataPacketTrailer;
    frame[11] = 0x07;
    QDataStream stream(frame);
    const auto streamed = RawDataPacket::readHeaderFromStream(stream);
    EXPECT_TRUE(streamed.hasValidMagic());
    EXPECT_EQ(streamed.payloadLength, 4);
    const EyeVerticalHistogramData packet(frame, RawDataPacket::peekHeader(frame));
    EXPECT_EQ(packet.getPayloadFromPacket(), frame.mid(16, 4));
    EXPECT_EQ(packet.getSourceInstanceIdentifier(), 7);
    EXPECT_EQ(frameOf(packet), frame);
}

TEST(RawDataPacketTest, ConstructionFromAShortFrameKeepsOnlyWhatIsThere)
{
    RawDataPacket::Header header;
    header.packetIdentifier = 0x1029;
    header.payloadLength = 0x7FFFFFFF;
    const QByteArray frame = headerBytes(0x1029, 0x7FFFFFFF) + "abc";
    EXPECT_EQ(LoudnessEngineRawDataPacket(frame, header).getPayloadFromPacket(), QByteArray("abc"));
    EXPECT_EQ(LoudnessEngineRawDataPacket(frame.left(4), header).getPayloadFromPacket(), QByteArray());
    header.payloadLength = -5;
    EXPECT_EQ(LoudnessEngineRawDataPacket(frame, header).getPayloadFromPacket(), QByteArray());
}

} // namespace
