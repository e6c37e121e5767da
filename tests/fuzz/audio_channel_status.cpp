// Any 24 bytes (plus the record's flags) decode to texts of bounded shape,
// and any text given to the tool's hex reader is read or refused cleanly.
#include "framework/audio/AudioChannelStatusDecoder.h"
#include "framework/audio/ChannelStatusBytes.h"
#include "framework/audio/ChannelStatusCrc.h"
#include "framework/audio/ConsumerCategory.h"
#include "tools/channel-status/ChannelStatusInput.h"

#include <cstdlib>
#include <string>

using namespace Tessaly;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string error;
    const auto parsed = parseChannelStatusHex(std::string(reinterpret_cast<const char*>(data), size), error);
    if (!parsed && error.empty())
        std::abort();

    if (size < 26)
        return 0;
    ChannelStatusBytes bytes{};
    std::copy(data, data + 24, bytes.begin());
    AudioProcessingRegisterApi::ChannelStatus cs{};
    const auto words = channelStatusWordsFromBytes(bytes);
    std::copy(words.begin(), words.end(), cs.csWords);
    if (channelStatusBytesFromWords(cs.csWords) != bytes)
        std::abort();
    cs.valid = data[24];
    cs.crcError = static_cast<int8_t>(data[25]);

    const auto decoded = AudioChannelStatusDecoder::decodeAll(cs);
    if (decoded.status.isEmpty() || decoded.char0.profile.isEmpty() || decoded.char0.frequency.size() > 11)
        std::abort();
    if ((bytes[0] & 1) && (decoded.origin.size() != 4 || decoded.destination.size() != 4))
        std::abort();
    printableText(decoded.origin);
    consumerCategoryText(cs.csWords);
    checkChannelStatusCrc(cs.csWords);
    return 0;
}
