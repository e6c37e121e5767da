#include "framework/sdi/PayloadIdentifierField.h"

namespace Tessaly {
namespace Sdi {

namespace {

constexpr int maxFieldBits = 8;

bool validByte(int byteIndex) { return byteIndex >= 0 && byteIndex <= 3; }

bool validBit(PayloadIdentifierField::Bit bit)
{
    const int position = static_cast<int>(bit);
    return position >= 0 && position <= 7;
}

// Word bit number of a bit of a byte; byte 0 is the most significant.
int wordBit(int byteIndex, PayloadIdentifierField::Bit bit)
{
    return (3 - byteIndex) * 8 + static_cast<int>(bit);
}

} // namespace

int PayloadIdentifierField::readFromPayloadIdentifierWord(unsigned int word) const
{
    if (!validByte(byteIndex))
        return 0;
    int value = 0;
    const int count = static_cast<int>(bits.size()) < maxFieldBits ? static_cast<int>(bits.size()) : maxFieldBits;
    for (int i = 0; i < count; ++i) {
        if (validBit(bits[i]) && ((word >> wordBit(byteIndex, bits[i])) & 1u))
            value |= 1 << i;
    }
    return value;
}

bool PayloadIdentifierField::applyValueToPayloadIdentifierWord(unsigned int& word, int value) const
{
    if (value < 0)
        return false;
    const auto n = bits.size();
    if (n >= 1 && n <= maxFieldBits) {
        if (value > (1 << n) - 1)
            return false;
    } else if (value != 0) {
        return false;
    }
    if (n == 0)
        return true;
    if (!validByte(byteIndex))
        return false;
    for (const Bit bit : bits) {
        if (!validBit(bit))
            return false;
    }
    unsigned int result = word;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned int mask = 1u << wordBit(byteIndex, bits[i]);
        if (i < maxFieldBits && ((static_cast<unsigned int>(value) >> i) & 1u))
            result |= mask;
        else
            result &= ~mask;
    }
    word = result;
    return true;
}

unsigned int PayloadIdentifierField::wordMask() const
{
    if (!validByte(byteIndex))
        return 0;
    unsigned int mask = 0;
    for (const Bit bit : bits) {
        if (validBit(bit))
            mask |= 1u << wordBit(byteIndex, bit);
    }
    return mask;
}

int PayloadIdentifierField::width() const
{
    return static_cast<int>(bits.size()) < maxFieldBits ? static_cast<int>(bits.size()) : maxFieldBits;
}

} // namespace Sdi
} // namespace Tessaly
