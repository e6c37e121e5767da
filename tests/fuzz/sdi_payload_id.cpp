// Every four input bytes are a payload identifier read by every interface
// class; the rest of the input drives field writes and the tool's text reader.
#include "framework/sdi/PayloadIdentifierFactory.h"
#include "tests/fuzz/Check.h"
#include "tools/sdi-payload-id/IdentifierText.h"

#include <cstddef>
#include <cstdint>

using namespace Tessaly::Sdi;

namespace {

void exercise(PayloadIdentifierBase& id)
{
    unsigned int rebuilt = 0;
    unsigned int covered = 0;
    for (const auto& entry : id.getFieldMap()) {
        const int value = id.getFieldValue(entry.first);
        check(value >= 0 && value < (1 << entry.second.width()), "a field value fits its width");
        check(entry.second.applyValueToPayloadIdentifierWord(rebuilt, value), "a read value is accepted");
        covered |= entry.second.wordMask();
        id.describeField(entry.first);
    }
    check(rebuilt == (id.getWord() & covered), "the fields rebuild the word");
    const int scan = id.getPicutreInterlacedProgressivePsf();
    check(scan >= 1 && scan <= 3, "a scan kind");
    check(id.getFieldHeights().size() == id.getFieldFirstLineNumbersOfActivePicture().size(), "a first line per field");
    check(id.getReconstructedImageWidthInPixels() >= id.getFieldActivePictureWidthInSamples(),
          "an image as wide as its fields");
    id.getFieldActivePictureHeight(true);
    id.getReconstructedImageHeightInPixels();
    check(!id.toHumanReadable(true).isEmpty(), "a text");
    id.doSmpteValidationChecks();
    id.doReservedBitsChecks();
    id.interfaceDescription();
}

// A field of arbitrary shape: written values read back when its bits are distinct.
void exerciseField(const uint8_t* data, std::size_t size)
{
    if (size < 7)
        return;
    PayloadIdentifierField field;
    field.byteIndex = static_cast<int8_t>(data[0]) % 6;
    const int count = data[1] % 11;
    unsigned int seen = 0;
    bool distinct = true;
    for (int i = 0; i < count && static_cast<std::size_t>(2 + i) < size; ++i) {
        const int bit = static_cast<int8_t>(data[2 + i]) % 10;
        field.bits.push_back(static_cast<PayloadIdentifierField::Bit>(bit));
        distinct = distinct && bit >= 0 && bit <= 7 && !(seen & (1u << bit));
        if (bit >= 0 && bit <= 7)
            seen |= 1u << bit;
    }
    const int value = static_cast<int8_t>(data[size - 1]) * 3;
    unsigned int word = 0xA5A5A5A5u ^ data[size - 2];
    const unsigned int before = word;
    const bool accepted = field.applyValueToPayloadIdentifierWord(word, value);
    if (!accepted)
        check(word == before, "a refused value leaves the word");
    else if (distinct && field.byteIndex >= 0 && field.byteIndex <= 3)
        check(field.readFromPayloadIdentifierWord(word) == value, "a written value reads back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    for (std::size_t at = 0; at + 4 <= size && at < 16; at += 4) {
        const unsigned int word = (static_cast<unsigned int>(data[at]) << 24) | (data[at + 1] << 16)
            | (data[at + 2] << 8) | data[at + 3];
        for (const auto& entry : payloadIdentifierClasses())
            exercise(*entry.make(word));
        exercise(*makePayloadIdentifier(word));
    }
    exerciseField(data, size);
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<int>(size));
    if (const auto word = SdiPayloadIdTool::parseIdentifier(text))
        exercise(*makePayloadIdentifier(*word));
    SdiPayloadIdTool::parseFieldName(text);
    return 0;
}
