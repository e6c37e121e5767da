#include "tools/rawframes/FrameScanner.h"

#include <cstring>
#include <utility>

FrameScanner::FrameScanner(FrameHandler onFrame, SkipHandler onSkip)
    : onFrame(std::move(onFrame)), onSkip(std::move(onSkip))
{
}

void FrameScanner::feed(const QByteArray& bytes)
{
    buffer.append(bytes);
    scan();
}

void FrameScanner::finish()
{
    if (!buffer.isEmpty()) {
        if (skipRunLength == 0)
            skipRunStart = bufferStart;
        skipRunLength += buffer.size();
        skipped += buffer.size();
        bufferStart += buffer.size();
        buffer.clear();
    }
    if (skipRunLength > 0)
        onSkip(skipRunStart, skipRunLength);
    skipRunLength = 0;
}

void FrameScanner::scan()
{
    qint64 offset = 0;
    const char* data = buffer.constData();
    const qint64 size = buffer.size();
    auto consume = [&](qint64 count, bool isGarbage) {
        if (isGarbage) {
            if (skipRunLength == 0)
                skipRunStart = bufferStart + offset;
            skipRunLength += count;
            skipped += count;
        }
        offset += count;
    };
    while (size - offset >= RawDataPacket::headerSize) {
        const qint64 candidate = RawDataPacket::nextPossibleFrameStart(data, size, offset);
        if (candidate > offset) {
            consume(candidate - offset, true);
            continue;
        }
        const RawDataPacket::Header header = RawDataPacket::peekHeader(data + offset, size - offset);
        if (header.packetIdentifier == RawDataPacket::peekNotAFrame || header.payloadLength > maxPayloadLength) {
            consume(1, true);
            continue;
        }
        if (header.packetIdentifier == RawDataPacket::peekIncomplete)
            break;
        const qint64 frameSize = header.frameSize();
        if (std::memcmp(data + offset + frameSize - RawDataPacket::trailerSize, rawDataPacketTrailer.constData(),
                        RawDataPacket::trailerSize)
            != 0) {
            consume(RawDataPacket::headerSize, true);
            continue;
        }
        if (skipRunLength > 0) {
            onSkip(skipRunStart, skipRunLength);
            skipRunLength = 0;
        }
        ++frames;
        onFrame(bufferStart + offset, header, QByteArray::fromRawData(data + offset, int(frameSize)));
        offset += frameSize;
    }
    buffer.remove(0, int(offset));
    bufferStart += offset;
}
