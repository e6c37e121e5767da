#include "framework/sdi/PayloadIdentifierBase.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Tessaly::Sdi;

namespace {

PayloadIdentifierField field(int byteIndex, std::initializer_list<int> bits)
{
    return PayloadIdentifierBase::fieldAt({}, byteIndex, bits);
}

TEST(PayloadIdentifierField, WritesValuesThatFitAndRefusesOthers)
{
    // What the case shows, the field, the word before, the value, whether it is taken, the word after.
    const std::tuple<const char*, PayloadIdentifierField, unsigned int, int, bool, unsigned int> cases[] = {
        {"two bits, 4 refused", field(3, {0, 1}), 0x12345678, 4, false, 0x12345678},
        {"negative refused", field(0, {0}), 0xFFFFFFFF, -1, false, 0xFFFFFFFF},
        {"writing 0 clears only the field", field(1, {4, 5}), 0xFFFFFFFF, 0, true, 0xFFCFFFFF},
        {"eight bits hold 255", field(3, {0, 1, 2, 3, 4, 5, 6, 7}), 0, 255, true, 0x000000FF},
        {"eight bits refuse 256", field(3, {0, 1, 2, 3, 4, 5, 6, 7}), 0, 256, false, 0},
        {"no bits take only 0", field(3, {}), 7, 0, true, 7},
        {"nine bits take only 0", field(3, {0, 1, 2, 3, 4, 5, 6, 7, 0}), 0xFF, 0, true, 0},
        {"nine bits refuse 1", field(3, {0, 1, 2, 3, 4, 5, 6, 7, 0}), 0, 1, false, 0},
        {"byte beyond the word refused", field(4, {0}), 0, 1, false, 0},
        {"bit beyond the byte refused", field(3, {8}), 0, 1, false, 0},
    };
    for (const auto& [name, field, before, value, accepted, after] : cases) {
        unsigned int word = before;
        EXPECT_EQ(field.applyValueToPayloadIdentifierWord(word, value), accepted) << name;
        EXPECT_EQ(word, after) << name;
        if (accepted && value != 0) {
            EXPECT_EQ(field.readFromPayloadIdentifierWord(word), value) << name;
        }
    }
}

TEST(PayloadIdentifierField, ReadsNothingOutsideTheWord)
{
    EXPECT_EQ(field(-1, {0}).readFromPayloadIdentifierWord(0xFFFFFFFF), 0);
    EXPECT_EQ(field(2, {9, 0}).readFromPayloadIdentifierWord(0xFFFFFFFF), 2);
    EXPECT_EQ(field(3, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).readFromPayloadIdentifierWord(1), 255);
}

} // namespace
