#pragma once

#include <cstddef>
#include <cstdint>

namespace KeyDerivation {

// One byte uniformly distributed over 0..255 from a 32-bit generator: outputs
// at or above 0xFFFFFF00 are drawn again, an accepted output divided by
// 0xFFFFFF is the byte. Written out rather than taken from
// std::uniform_int_distribution, whose algorithm differs between standard
// library releases: the deployed credentials only decrypt if every build
// derives the same bytes.
template <typename Generator>
unsigned char drawByte(Generator& generator)
{
    std::uint32_t value;
    do {
        value = static_cast<std::uint32_t>(generator());
    } while (value >= 0xFFFFFF00u);
    return static_cast<unsigned char>(value / 0xFFFFFFu);
}

// Seeds MT19937 with `seed`, discards `discard` outputs and fills `keySize`
// bytes of `key`, then `ivSize` bytes of `iv`, with drawByte().
void derive(std::uint32_t seed, unsigned long long discard,
            unsigned char* key, std::size_t keySize,
            unsigned char* iv, std::size_t ivSize);

} // namespace KeyDerivation
