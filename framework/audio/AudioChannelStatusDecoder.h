#pragma once

#include "framework/audio/AudioProcessingRegisterApi.h"

#include <QString>

#include <cstdint>

namespace Tessaly {

// Display texts for the 24 channel-status bytes of a digital audio channel,
// professional (AES3) or consumer format. Stateless; every input gives text.
class AudioChannelStatusDecoder {
public:
    struct DecodedCs {
        QString status;
        struct Char0 {
            QString profile;
            QString dataType;
            QString preemphasis;
            QString sourceLock;
            QString frequency;
            QString channelMode;
            QString wordLength;
            QString alignmentLevel;
        } char0;
        QString origin;
        QString destination;
        QString sampleAddress;
        QString timeOfDay;
        QString reliability;
    };

    using ChannelStatus = AudioProcessingRegisterApi::ChannelStatus;

    static DecodedCs decodeAll(const ChannelStatus& cs);
    static DecodedCs decodeAllProfessional(const ChannelStatus& cs);
    static DecodedCs decodeAllConsumer(const ChannelStatus& cs);
    static void decodeChar0Professional(const uint32_t* cs, DecodedCs::Char0& out);

    static QString getStatus(const ChannelStatus& cs, bool crcUsed);
    static QString getDataTypeFromCSBytes(const uint32_t* cs);
    static QString getPreemphasisFromCSBytesProfessional(const uint32_t* cs);
    static QString getPreemphasisFromCSBytesConsumer(const uint32_t* cs);
    static QString getSourceLockFromCSBytes(const uint32_t* cs);
    static QString getFrequencyFromCSBytesProfessional(const uint32_t* cs);
    static QString getFrequencyFromCSBytesConsumer(const uint32_t* cs);
    static QString getChannelModeFromCSBytesProfessional(const uint32_t* cs);
    static QString getChannelModeFromCSBytesConsumer(const uint32_t* cs);
    static QString getWordLengthFromCSBytesProfessional(const uint32_t* cs);
    static QString getWordLengthFromCSBytesConsumer(const uint32_t* cs);
    static QString getAlignmentLevelFromCSBytes(const uint32_t* cs);
    static QString getOriginFromCSBytes(const uint32_t* cs);
    static QString getDestinationFromCSBytes(const uint32_t* cs);
    static QString getSampleAddrFromCSBytes(const uint32_t* cs);
    static QString getSamplesSinceMidnightFromCSBytes(const uint32_t* cs);
    static QString getReliabilityFromCSBytes(const uint32_t* cs);
};

} // namespace Tessaly
