#include "boardlink/ReplyParsing.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace {

TEST(ReplyParsing, NumberFromTheThirdCharacterOnOrZero)
{
    const struct { const char* line; int expected; } cases[] = {
        {"T -2", -2}, {"S +5", 5}, {"S \t 7 \r", 7}, {"S9123", 123}, // the separator is never looked at
        {"S 12.0", 0}, {"S 1 2", 0}, {"S 0x10", 0}, {"S +-1", 0}, {"S -", 0}, {"S", 0},
        {"S 2147483647", INT_MAX}, {"S -2147483648", INT_MIN}, {"S 2147483648", 0}, {"S 99999999999999999999", 0},
        {"S 1\xb2", 0}, // superscript two is a digit to Unicode, not to the board
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseReplyValue(QString::fromLatin1(c.line)), c.expected) << '"' << c.line << '"';
}

TEST(ReplyParsing, RawFuelGaugeCommentNeedsExactlyFivePieces)
{
    const struct { const char* line; std::optional<int> expected; } cases[] = {
        {"# getAnalogFuelGauge() = 12 -7\r", -7},
        {"# getAnalogFuelGauge() = 12 abc", 0},
        {"# getAnalogFuelGauge() = 12", std::nullopt},
        {"# getAnalogFuelGauge() = 12 345 6", std::nullopt},
        {"# getAnalogFuelGauge() = 12 345 ", std::nullopt}, // a trailing blank makes an empty piece
        {"# getanalogfuelgauge() = 12 345", std::nullopt},
        {"# getAnalogFuelGauge()= 1 2 345", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseRawFuelGaugeComment(QString::fromLatin1(c.line)), c.expected) << '"' << c.line << '"';
}

} // namespace
