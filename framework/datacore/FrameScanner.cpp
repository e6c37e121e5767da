#include "framework/datacore/FrameScanner.h"

#include <QByteArray>

#include <cstring>

namespace {

constexpr unsigned char firstMagicByte = 0xCA;
constexpr int frameHeaderLength = RawDataPacket::headerSize;
constexpr int frameTrailerLength = RawDataPacket::trailerSize;

qint32 bigEndianLength(const char* at)
{
    const auto* b = reinterpret_cast<const unsigned char*>(at);
    return static_cast<qint32>((quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]));
}

} // namespace

int scanRawDataFrames(const char* data, int size, const std::function<void(const ScannedFrame&)>& onFrame)
{
    int offset = 0;
    while (size - offset >= frameHeaderLength) {
        // A frame can only start at its magic's first byte; jumping to the
        // next one is the same as stepping over every other byte singly.
        if (static_cast<unsigned char>(data[offset]) != firstMagicByte) {
            const void* next = std::memchr(data + offset, firstMagicByte, size_t(size - offset - frameHeaderLength + 1));
            if (!next) {
                offset = size - frameHeaderLength + 1;
                break;
            }
            offset = int(static_cast<const char*>(next) - data);
        }
        const int remaining = size - offset;
        const RawDataPacket::Header header = RawDataPacket::peekHeader(QByteArray::fromRawData(data + offset, remaining));
        const int identifier = static_cast<int>(header.packetIdentifier);
        const qint32 payloadLength = bigEndianLength(data + offset + 12);
        if (identifier == 0 || payloadLength < 0 || payloadLength > maxFramePayloadLength) {
            ++offset;
            continue;
        }
        const int frameLength = frameHeaderLength + payloadLength + frameTrailerLength;
        if (remaining < frameLength)
            break;
        if (std::memcmp(data + offset + frameHeaderLength + payloadLength, rawDataPacketTrailerBytes, frameTrailerLength) != 0) {
            offset += frameHeaderLength;
            continue;
        }
        if (identifier == 1)
            break;
        onFrame(ScannedFrame{offset, header});
        offset += frameLength;
    }
    return offset;
}
