#pragma once

#include <cstdint>

namespace Tessaly {
namespace AudioProcessingRegisterApi {

// Channel status of one audio channel as the audio block's registers hold
// it: the 24 bytes packed four to a word, first byte most significant.
struct ChannelStatus {
    uint8_t valid = 0;        // 1 when a channel-status block was received
    uint32_t csWords[6] = {};
    int crcError = 0;         // non-zero when the received CRCC did not match
};

} // namespace AudioProcessingRegisterApi
} // namespace Tessaly
