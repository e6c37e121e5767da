#pragma once

#include <cstddef>
#include <cstdint>

namespace Tessaly {

// The channel-status CRC (CRCC, byte 23): x^8 + x^4 + x^3 + x^2 + 1 over
// bytes 0..22 in transmission order (bit 0 first), starting from all ones.
// Computed here so that a link can be checked without the receiver's flag.
uint8_t channelStatusCrc(const uint8_t* bytes, std::size_t count);

struct ChannelStatusCrcCheck {
    uint8_t computed;
    uint8_t received;
    bool matches;
};

// Checks byte 23 of the block held in the six register words.
ChannelStatusCrcCheck checkChannelStatusCrc(const uint32_t* csWords);

} // namespace Tessaly
