#pragma once

#include <vector>

namespace Tessaly {
namespace Sdi {

// Where one field lives in the four-byte word: a byte (0 is the first byte on
// the wire, the word's most significant) and its bits, least significant
// value bit first.
struct PayloadIdentifierField {
    enum class Bit : int { B0 = 0, B1, B2, B3, B4, B5, B6, B7 };

    int byteIndex = 0;
    std::vector<Bit> bits;

    // The field's value in `word`; positions outside the word read as 0 and
    // at most eight bits count.
    int readFromPayloadIdentifierWord(unsigned int word) const;

    // Writes `value` into the field's bits of `word`; refuses (false, word
    // unchanged) a negative value, one wider than the field, or a field
    // naming a position outside the word.
    bool applyValueToPayloadIdentifierWord(unsigned int& word, int value) const;

    // The word bits the field covers.
    unsigned int wordMask() const;

    // Number of value bits the field can hold (0 to 8).
    int width() const;
};

} // namespace Sdi
} // namespace Tessaly
