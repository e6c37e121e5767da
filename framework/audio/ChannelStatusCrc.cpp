#include "framework/audio/ChannelStatusCrc.h"

#include "framework/audio/ChannelStatusBytes.h"

#include <array>

namespace Tessaly {

namespace {

// Bit 0 goes first on the wire, so the register shifts right with the
// polynomial reflected (0x1D becomes 0xB8); one table step per byte.
constexpr std::array<uint8_t, 256> crcTable()
{
    std::array<uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        uint8_t crc = uint8_t(value);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint8_t((crc >> 1) ^ 0xB8) : uint8_t(crc >> 1);
        table[value] = crc;
    }
    return table;
}

constexpr std::array<uint8_t, 256> kCrcTable = crcTable();

} // namespace

uint8_t channelStatusCrc(const uint8_t* bytes, std::size_t count)
{
    uint8_t crc = 0xFF;
    for (std::size_t i = 0; i < count; ++i)
        crc = kCrcTable[crc ^ bytes[i]];
    return crc;
}

ChannelStatusCrcCheck checkChannelStatusCrc(const uint32_t* csWords)
{
    const ChannelStatusBytes bytes = channelStatusBytesFromWords(csWords);
    const uint8_t computed = channelStatusCrc(bytes.data(), 23);
    return {computed, bytes[23], computed == bytes[23]};
}

} // namespace Tessaly
