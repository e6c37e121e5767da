#include "upload/KeyDerivation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Hands out a fixed script of outputs to check the rule at its edges.
struct ScriptedGenerator {
    std::vector<std::uint32_t> outputs;
    std::size_t next = 0;
    std::uint32_t operator()() { return outputs.at(next++); }
};

} // namespace

TEST(KeyDerivation, DrawByteRejectsTheTopAndDividesByFFFFFF)
{
    const struct {
        std::vector<std::uint32_t> outputs;
        int byte;
    } cases[] = {
        {{0x00000000u}, 0}, {{0x00FFFFFEu}, 0},
        // Taking the top byte, as libstdc++'s distribution does, gives 0 and 174.
        {{0x00FFFFFFu}, 1}, {{0xAEFFFFB6u}, 175},
        {{0xFFFFFEFFu}, 255}, {{0xFFFFFF00u, 0x01000000u}, 1}, {{0xFFFFFFFFu, 0xFFFFFF00u, 0x7F000000u}, 127},
    };
    for (const auto& c : cases) {
        ScriptedGenerator generator{c.outputs};
        EXPECT_EQ(KeyDerivation::drawByte(generator), c.byte);
        EXPECT_EQ(generator.next, c.outputs.size());
    }
}

TEST(KeyDerivation, SeedThenDiscardThenKeyThenIv)
{
    unsigned char key[32], iv[16], longKey[33], shiftedIv[16];
    KeyDerivation::derive(5489u, 9999u, key, sizeof key, iv, sizeof iv);
    // The standard fixes MT19937's 10000th output for the default seed.
    EXPECT_EQ(key[0], 4123659995u / 0xFFFFFFu);
    KeyDerivation::derive(5489u, 9999u, longKey, sizeof longKey, shiftedIv, sizeof shiftedIv);
    EXPECT_EQ(longKey[32], iv[0]);
    EXPECT_EQ(shiftedIv[0], iv[1]);
}
