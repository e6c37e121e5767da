#pragma once

#include <array>
#include <cstdint>

namespace Tessaly {

// The 24 channel-status bytes in transmission order, and their packing into
// the six register words (byte 0 in bits 31..24 of word 0).
using ChannelStatusBytes = std::array<uint8_t, 24>;

inline uint8_t channelStatusByte(const uint32_t* cs, int k)
{
    return static_cast<uint8_t>(cs[k / 4] >> (24 - 8 * (k % 4)));
}

inline ChannelStatusBytes channelStatusBytesFromWords(const uint32_t* cs)
{
    ChannelStatusBytes bytes{};
    for (int k = 0; k < 24; ++k)
        bytes[k] = channelStatusByte(cs, k);
    return bytes;
}

inline std::array<uint32_t, 6> channelStatusWordsFromBytes(const ChannelStatusBytes& bytes)
{
    std::array<uint32_t, 6> words{};
    for (int k = 0; k < 24; ++k)
        words[k / 4] |= uint32_t(bytes[k]) << (24 - 8 * (k % 4));
    return words;
}

} // namespace Tessaly
