#include "logging/Printable.h"
#include "logging/Report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Printable, ControlCharactersAreEscapedEverythingElseKept)
{
    const struct { std::string in, out; } cases[] = {
        {"S 12034", "S 12034"},
        {"\x1b[2J\x1b[30;40m", "\\x1b[2J\\x1b[30;40m"},  // clear screen, black on black
        {"V1.2\r", "V1.2\\x0d"},
        {"a\tb\nc\x7f", "a\\x09b\\x0ac\\x7f"},
        {"\xc2\x9b" "31m", "\\x9b31m"},                    // the 8-bit CSI, as UTF-8
        {"M\xc3\xbcller \xc2\xb0", "M\xc3\xbcller \xc2\xb0"}, // printable non-ASCII stays
        {std::string("a\0b", 3), "a\\x00b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tessaly::printable(c.in), c.out) << c.in;
    EXPECT_EQ(Tessaly::printable(QString::fromLatin1("X\x1b\x9b\xb0")), "X\\x1b\\x9b\xc2\xb0");
}

TEST(Printable, LongTextsAreCutAtACharacterBoundaryWithAMarker)
{
    const struct { std::string in; size_t limit; std::string out; } cases[] = {
        {"abcdef", 6, "abcdef"},
        {"abcdefgh", 6, "abcdef [... 2 bytes cut]"},
        {"abcd\xc3\xbc" "x", 5, "abcd [... 3 bytes cut]"}, // not inside the two-byte character
    };
    for (auto c : cases) {
        Tessaly::cutMessage(c.in, c.limit);
        EXPECT_EQ(c.in, c.out);
    }
    std::string huge(100000, 'x');
    Tessaly::cutMessage(huge);
    EXPECT_LE(huge.size(), Tessaly::maxMessageBytes + 32);
}

} // namespace
