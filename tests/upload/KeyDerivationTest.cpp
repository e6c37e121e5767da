#include "upload/KeyDerivation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(KeyDerivation, DrawByteRejectsTheTopAndDividesByFFFFFF)
{
    const struct {
        std::vector<std::uint32_t> outputs;
        int byte;
    } cases[] = {
        {{0x00FFFFFEu}, 0}, {{0x00FFFFFFu}, 1}, {{0xAEFFFFB6u}, 175}, // taking the top byte would give 0 and 174
        {{0xFFFFFEFFu}, 255}, {{0xFFFFFFFFu, 0xFFFFFF00u, 0x7F000000u}, 127},
    };
    for (const auto& c : cases) {
        std::size_t next = 0;
        auto generator = [&] { return c.outputs.at(next++); };
        EXPECT_EQ(KeyDerivation::drawByte(generator), c.byte);
        EXPECT_EQ(next, c.outputs.size());
    }
}

TEST(KeyDerivation, SeedThenDiscardThenKeyThenIv)
{
    unsigned char key[32], iv[16], longKey[33], shiftedIv[16];
    KeyDerivation::derive(5489u, 9999u, key, sizeof key, iv, sizeof iv);
    EXPECT_EQ(key[0], 4123659995u / 0xFFFFFFu); // MT19937's 10000th output for the default seed
    KeyDerivation::derive(5489u, 9999u, longKey, sizeof longKey, shiftedIv, sizeof shiftedIv);
    EXPECT_EQ(longKey[32], iv[0]);
    EXPECT_EQ(shiftedIv[0], iv[1]);
}
