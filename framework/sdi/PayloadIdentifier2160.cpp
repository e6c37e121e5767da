#include "framework/sdi/PayloadIdentifier2160.h"

#include "framework/sdi/PayloadIdentifierChecks.h"
#include "framework/sdi/PayloadIdentifierFieldMaps.h"

namespace Tessaly {
namespace Sdi {

PayloadIdentifier2160_DualLinkLevelb3g::PayloadIdentifier2160_DualLinkLevelb3g(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::uhdDualLinkLevelB3g(),
                            Interface{payloadCode, 2, SdiDataRate::Rate3G, 1, 4, 1, Raster::Lines2160,
                                      ScanRule::General, true})
{
}

unsigned int PayloadIdentifier2160_DualLinkLevelb3g::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
    PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
    PayloadId::Channel channel, PayloadId::TransferCurve transfer,
    PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::uhdDualLinkLevelB3g(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance, channel, audioCopy});
}

PayloadIdentifier2160_QuadLink3g::PayloadIdentifier2160_QuadLink3g(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::uhdQuadLink3g(),
                            Interface{payloadCode, 4, SdiDataRate::Rate3G, 0, 4, 1, Raster::Lines2160,
                                      ScanRule::General, true})
{
}

unsigned int PayloadIdentifier2160_QuadLink3g::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
    PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
    PayloadId::TransferCurve transfer, PayloadId::LuminanceAndColourDifferenceSignal luminance,
    PayloadId::Channel channel)
{
    return composePictureWord(PayloadIdentifierFieldMaps::uhdQuadLink3g(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance, channel, audioCopy});
}

std::list<QString> PayloadIdentifier2160_QuadLink3g::doSmpteValidationChecks()
{
    std::list<QString> messages = payloadCodeChecks();
    PayloadIdentifierChecks::quadLink3g2160(*this, messages);
    return messages;
}

PayloadIdentifier2160_QuadLinkLevelb3g::PayloadIdentifier2160_QuadLinkLevelb3g(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::uhdQuadLinkLevelB3g(),
                            Interface{payloadCode, 4, SdiDataRate::Rate3G, 1, 4, 1, Raster::Lines2160,
                                      ScanRule::ProgressiveFor422, true})
{
}

unsigned int PayloadIdentifier2160_QuadLinkLevelb3g::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::Colourimetry colourimetry, PayloadId::SampleStructure sampling, PayloadId::AspectRatio aspect,
    PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
    PayloadId::Channel channel, PayloadId::TransferCurve transfer,
    PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::uhdQuadLinkLevelB3g(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance, channel, audioCopy});
}

PayloadIdentifier2160_6g::PayloadIdentifier2160_6g(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::uhdSingleLink(),
                            Interface{payloadCode, 1, SdiDataRate::Rate6G, 0, 4, 1, Raster::Lines2160,
                                      ScanRule::General, true})
{
}

unsigned int PayloadIdentifier2160_6g::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
    PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
    PayloadId::Channel channel, PayloadId::TransferCurve transfer,
    PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::uhdSingleLink(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance, channel, audioCopy});
}

PayloadIdentifier2160_DualLink6g::PayloadIdentifier2160_DualLink6g(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::uhdSingleLink(),
                            Interface{payloadCode, 2, SdiDataRate::Rate6G, 0, 4, 1, Raster::Lines2160,
                                      ScanRule::General, true})
{
}

unsigned int PayloadIdentifier2160_DualLink6g::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
    PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
    PayloadId::Channel channel, PayloadId::TransferCurve transfer,
    PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::uhdSingleLink(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance, channel, audioCopy});
}

PayloadIdentifier2160_12g::PayloadIdentifier2160_12g(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::uhdSingleLink(),
                            Interface{payloadCode, 1, SdiDataRate::Rate12G, 0, 4, 1, Raster::Lines2160,
                                      ScanRule::General, true})
{
}

unsigned int PayloadIdentifier2160_12g::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
    PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
    PayloadId::Channel channel, PayloadId::TransferCurve transfer,
    PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::uhdSingleLink(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance, channel, audioCopy});
}

PayloadIdentifier4320_QuadLink12g_SingleOnly::PayloadIdentifier4320_QuadLink12g_SingleOnly(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::uhdSingleLink(),
                            Interface{payloadCode, 1, SdiDataRate::Rate12G, 0, 4, 1, Raster::Lines4320,
                                      ScanRule::General, true})
{
}

unsigned int PayloadIdentifier4320_QuadLink12g_SingleOnly::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::SampleStructure sampling, PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect,
    PayloadId::HorizontalPixelArraySize size, PayloadId::BitDepth depth, PayloadId::AudioCopyStatus audioCopy,
    PayloadId::Channel channel, PayloadId::TransferCurve transfer,
    PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::uhdSingleLink(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance, channel, audioCopy});
}

} // namespace Sdi
} // namespace Tessaly
