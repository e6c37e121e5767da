#pragma once

#include "framework/rawdata/RawDataPacket.h"

#include <QByteArray>

#include <functional>

// Splits a byte stream into raw data packet frames the way the server
// connection does: bytes that start no frame are skipped one at a time, a
// header whose frame lacks the trailer is skipped whole, and an incomplete
// frame waits for more bytes.
class FrameScanner {
public:
    // A larger announced payload is taken for garbage, so a damaged length
    // cannot make the scanner hold a whole capture waiting for it.
    static constexpr qint32 maxPayloadLength = 64 * 1024 * 1024;

    // offset is the frame's position in the whole stream; frame holds the
    // header, payload and trailer and is valid only during the call.
    using FrameHandler = std::function<void(qint64 offset, const RawDataPacket::Header&, const QByteArray& frame)>;
    // A run of skipped bytes at a stream offset.
    using SkipHandler = std::function<void(qint64 offset, qint64 count)>;

    FrameScanner(FrameHandler onFrame, SkipHandler onSkip);

    void feed(const QByteArray& bytes);
    // End of stream: whatever is left is skipped.
    void finish();

    qint64 frameCount() const { return frames; }
    qint64 skippedBytes() const { return skipped; }

private:
    void scan();

    FrameHandler onFrame;
    SkipHandler onSkip;
    QByteArray buffer;
    qint64 bufferStart = 0; // stream offset of buffer[0]
    qint64 frames = 0;
    qint64 skipped = 0;
    qint64 skipRunStart = -1;
    qint64 skipRunLength = 0;
};
