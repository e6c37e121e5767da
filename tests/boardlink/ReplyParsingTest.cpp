#include "boardlink/ReplyParsing.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace {

struct ValueCase {
    const char* line;
    int expected;
};

TEST(ReplyParsing, NumericValueFromThirdCharacterOn)
{
    const ValueCase cases[] = {
        {"S 12034", 12034},
        {"T -2", -2},
        {"S +5", 5},
        {"S 0", 0},
        {"S 12034\r", 12034},     // carriage return before the line feed
        {"S \t 7 \r", 7},         // white space on both sides
        {"S:99", 99},             // the separator is never looked at
        {"S9123", 123},           // not even when it is a digit
        {"S 12.0", 0},            // not a complete integer
        {"S:abc", 0},
        {"S 1 2", 0},
        {"S 12a", 0},
        {"S 0x10", 0},
        {"S +-1", 0},
        {"S -", 0},
        {"S +", 0},
        {"S ", 0},
        {"S", 0},
        {"", 0},
        {"S 2147483647", INT_MAX},
        {"S -2147483648", INT_MIN},
        {"S 2147483648", 0},      // does not fit: no wrap-around
        {"S -2147483649", 0},
        {"S 99999999999999999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseReplyValue(QString::fromLatin1(c.line)), c.expected) << '"' << c.line << '"';
}

TEST(ReplyParsing, NonAsciiDigitsAreNotNumbers)
{
    // Latin-1 superscript two: a digit to Unicode, not to the board.
    EXPECT_EQ(parseReplyValue(QString::fromLatin1("S 1\xb2")), 0);
}

struct CommentCase {
    const char* line;
    std::optional<int> expected;
};

TEST(ReplyParsing, RawFuelGaugeCommentNeedsExactlyFivePieces)
{
    const CommentCase cases[] = {
        {"# getAnalogFuelGauge() = 12 345", 345},
        {"# getAnalogFuelGauge() = 12 -7", -7},
        {"# getAnalogFuelGauge() = 12 345\r", 345},
        {"# getAnalogFuelGauge() = 12 abc", 0},       // right shape, not a number
        {"# getAnalogFuelGauge() = 12", std::nullopt}, // four pieces
        {"# getAnalogFuelGauge() = 12 345 6", std::nullopt},
        {"# getAnalogFuelGauge() =  12 345", std::nullopt}, // doubled blank: empty piece
        {"# getAnalogFuelGauge() = 12 345 ", std::nullopt}, // trailing blank: empty piece
        {"# getanalogfuelgauge() = 12 345", std::nullopt},  // case matters
        {"#getAnalogFuelGauge() = 12 345", std::nullopt},
        {"# getAnalogFuelGauge()= 1 2 345", std::nullopt},
        {"# hello", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseRawFuelGaugeComment(QString::fromLatin1(c.line)), c.expected) << '"' << c.line << '"';
}

} // namespace
