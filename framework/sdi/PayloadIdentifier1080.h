#pragma once

#include "framework/sdi/PayloadIdentifierBase.h"

namespace Tessaly {
namespace Sdi {

// 1080-line video on a single 1.5G link.
class PayloadIdentifier1080_1g5 : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x85;

    explicit PayloadIdentifier1080_1g5(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
        PayloadId::HorizontalPixelArraySize size, PayloadId::SampleStructure sampling,
        PayloadId::BitDepth depth, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);

    std::list<QString> doSmpteValidationChecks() override;
};

// 1080-line video on two 1.5G links.
class PayloadIdentifier1080_DualLink1g5 : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x87;

    explicit PayloadIdentifier1080_DualLink1g5(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::Colourimetry colourimetry, PayloadId::HorizontalPixelArraySize size,
        PayloadId::AspectRatio aspect, PayloadId::SampleStructure sampling, PayloadId::Channel channel,
        PayloadId::BitDepth depth, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);

    std::list<QString> doSmpteValidationChecks() override;
};

// 1080-line video on a single 3G level A link.
class PayloadIdentifier1080_3g : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x89;

    explicit PayloadIdentifier1080_3g(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
        PayloadId::HorizontalPixelArraySize size, PayloadId::SampleStructure sampling,
        PayloadId::BitDepth depth, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);

    std::list<QString> doSmpteValidationChecks() override;
};

// 1080-line video as two streams on a single 3G level B link.
class PayloadIdentifier1080_Levelb3g : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x8A;

    explicit PayloadIdentifier1080_Levelb3g(unsigned int word);

    static unsigned int getPayloadIdentifierWord(
        PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
        PayloadId::Colourimetry colourimetry, PayloadId::HorizontalPixelArraySize size,
        PayloadId::AspectRatio aspect, PayloadId::SampleStructure sampling, PayloadId::Channel channel,
        PayloadId::BitDepth depth, PayloadId::TransferCurve transfer,
        PayloadId::LuminanceAndColourDifferenceSignal luminance);

    std::list<QString> doSmpteValidationChecks() override;
};

} // namespace Sdi
} // namespace Tessaly
