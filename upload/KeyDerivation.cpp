#include "upload/KeyDerivation.h"

#include <openssl/crypto.h>

#include <random>

namespace KeyDerivation {

void derive(std::uint32_t seed, unsigned long long discard,
            unsigned char* key, std::size_t keySize,
            unsigned char* iv, std::size_t ivSize)
{
    std::mt19937 generator(seed);
    generator.discard(discard);
    for (std::size_t i = 0; i < keySize; ++i)
        key[i] = drawByte(generator);
    for (std::size_t i = 0; i < ivSize; ++i)
        iv[i] = drawByte(generator);
    // The generator's state would give the key away.
    OPENSSL_cleanse(&generator, sizeof generator);
}

} // namespace KeyDerivation
