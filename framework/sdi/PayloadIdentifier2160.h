#pragma once

#include "framework/sdi/PayloadIdentifierBase.h"

// UHD and 8K pictures, carried as four 1080-line sub-images.
namespace Tessaly {
namespace Sdi {

// 2160-line video on two 3G level B links.
class PayloadIdentifier2160_DualLinkLevelb3g : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x96;

    explicit PayloadIdentifier2160_DualLinkLevelb3g(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
        PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
        PayloadId::Channel channel, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);
};

// 2160-line video on four 3G level A links.
class PayloadIdentifier2160_QuadLink3g : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x97;

    explicit PayloadIdentifier2160_QuadLink3g(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
        PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
        PayloadId::TransferCurve transfer, PayloadId::LuminanceAndColourDifferenceSignal luminance,
        PayloadId::Channel channel);

    std::list<QString> doSmpteValidationChecks() override;
};

// 2160-line video on four 3G level B links.
class PayloadIdentifier2160_QuadLinkLevelb3g : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x98;

    explicit PayloadIdentifier2160_QuadLinkLevelb3g(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::Colourimetry colourimetry, PayloadId::SampleStructure sampling, PayloadId::AspectRatio aspect,
        PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
        PayloadId::Channel channel, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);
};

// 2160-line video on a single 6G link.
class PayloadIdentifier2160_6g : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0xC0;

    explicit PayloadIdentifier2160_6g(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
        PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
        PayloadId::Channel channel, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);
};

// 2160-line video on two 6G links.
class PayloadIdentifier2160_DualLink6g : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0xC2;

    explicit PayloadIdentifier2160_DualLink6g(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
        PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
        PayloadId::Channel channel, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);
};

// 2160-line video on a single 12G link.
class PayloadIdentifier2160_12g : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0xCE;

    explicit PayloadIdentifier2160_12g(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
        PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
        PayloadId::Channel channel, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);
};

// One link of 4320-line video on four 12G links, read on its own.
class PayloadIdentifier4320_QuadLink12g_SingleOnly : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0xD2;

    explicit PayloadIdentifier4320_QuadLink12g_SingleOnly(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
        PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
        PayloadId::Channel channel, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);
};

} // namespace Sdi
} // namespace Tessaly
