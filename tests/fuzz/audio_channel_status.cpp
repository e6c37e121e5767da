// Any 24 bytes (plus the record's flags) decode to texts of bounded shape,
// and any text given to the tool's hex reader is read or refused cleanly.
#include "framework/audio/AudioChannelStatusDecoder.h"
#include "framework/audio/ChannelStatusBytes.h"
#include "framework/audio/ChannelStatusCrc.h"
#include "framework/audio/ConsumerCategory.h"
#include "tests/fuzz/Check.h"
#include "tools/channel-status/ChannelStatusInput.h"

#include <string>

using namespace Tessaly;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string error;
    const auto parsed = parseChannelStatusHex(std::string(reinterpret_cast<const char*>(data), size), error);
    check(parsed || !error.empty(), "a refused text says why");

    if (size < 26)
        return 0;
    ChannelStatusBytes bytes{};
    std::copy(data, data + 24, bytes.begin());
    AudioProcessingRegisterApi::ChannelStatus cs{};
    const auto words = channelStatusWordsFromBytes(bytes);
    std::copy(words.begin(), words.end(), cs.csWords);
    check(channelStatusBytesFromWords(cs.csWords) == bytes, "bytes to words and back");
    cs.valid = data[24];
    cs.crcError = static_cast<int8_t>(data[25]);

    const auto decoded = AudioChannelStatusDecoder::decodeAll(cs);
    check(!decoded.status.isEmpty() && !decoded.char0.profile.isEmpty() && decoded.char0.frequency.size() <= 11,
          "status, profile and frequency texts");
    check(!(bytes[0] & 1) || (decoded.origin.size() == 4 && decoded.destination.size() == 4),
          "four-character origin and destination");
    printableText(decoded.origin);
    consumerCategoryText(cs.csWords);
    checkChannelStatusCrc(cs.csWords);
    return 0;
}
