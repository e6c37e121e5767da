#pragma once

#include "framework/rawdata/RawDataPacket.h"

#include <QtGlobal>

#include <functional>

// Cutting a receive buffer into envelope frames, apart from any socket so
// that the rules can be tested and fuzzed on plain bytes.

// The largest payload a header may announce and still count as a frame
// start: 1 MiB, eight times the TCP socket's read buffer and far above any
// measurement record. A header claiming more is corrupt or hostile; waiting
// for its bytes would make a reader hold that much and stall the stream
// behind it, so it is skipped like any other byte that starts no frame.
inline constexpr qint32 maxFramePayloadLength = 1 << 20;

// One complete frame found in a buffer: it starts at `offset` and runs for
// 16 + payloadLength + 4 bytes, trailer included.
struct ScannedFrame {
    int offset;
    RawDataPacket::Header header;
    int frameLength() const { return RawDataPacket::headerSize + header.payloadLength + RawDataPacket::trailerSize; }
};

// Scans `data` from its first byte and calls `onFrame` for each complete
// frame, in order. Bytes that start no frame are skipped one at a time; a
// header whose frame lacks the trailer is skipped by its 16 bytes; scanning
// stops at an incomplete frame or when fewer than 16 bytes remain. Returns
// how many leading bytes are consumed; the rest must wait for more input.
int scanRawDataFrames(const char* data, int size, const std::function<void(const ScannedFrame&)>& onFrame);
