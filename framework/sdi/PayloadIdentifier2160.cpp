#include "framework/sdi/PayloadIdentifier2160.h"

#include "framework/sdi/PayloadIdentifierChecks.h"
#include "framework/sdi/PayloadIdentifierFieldMaps.h"

namespace Tessaly {
namespace Sdi {

namespace {

using FieldType = PayloadIdentifierBase::FieldType;

template <typename E>
int code(E value)
{
    return static_cast<int>(value);
}

} // namespace

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
    return composeWord(PayloadIdentifierFieldMaps::uhdDualLinkLevelB3g(), payloadCode,
                       {{FieldType::TransportFormat, code(transport)},
                        {FieldType::PictureFormat, code(picture)},
                        {FieldType::PictureRate, code(rate)},
                        {FieldType::SampleStructure, code(sampling)},
                        {FieldType::Colourimetry, code(colourimetry)},
                        {FieldType::AspectRatio, code(aspect)},
                        {FieldType::HorizontalPixelArraySize, code(size)},
                        {FieldType::BitDepth, code(depth)},
                        {FieldType::AudioCopyStatus, code(audioCopy)},
                        {FieldType::Channel, code(channel)},
                        {FieldType::TransferCharacteristics, code(transfer)},
                        {FieldType::LuminanceAndColourDifference, code(luminance)}});
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
    return composeWord(PayloadIdentifierFieldMaps::uhdQuadLink3g(), payloadCode,
                       {{FieldType::TransportFormat, code(transport)},
                        {FieldType::PictureFormat, code(picture)},
                        {FieldType::PictureRate, code(rate)},
                        {FieldType::SampleStructure, code(sampling)},
                        {FieldType::Colourimetry, code(colourimetry)},
                        {FieldType::AspectRatio, code(aspect)},
                        {FieldType::HorizontalPixelArraySize, code(size)},
                        {FieldType::BitDepth, code(depth)},
                        {FieldType::AudioCopyStatus, code(audioCopy)},
                        {FieldType::TransferCharacteristics, code(transfer)},
                        {FieldType::LuminanceAndColourDifference, code(luminance)},
                        {FieldType::Channel, code(channel)}});
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
    return composeWord(PayloadIdentifierFieldMaps::uhdQuadLinkLevelB3g(), payloadCode,
                       {{FieldType::TransportFormat, code(transport)},
                        {FieldType::PictureFormat, code(picture)},
                        {FieldType::PictureRate, code(rate)},
                        {FieldType::Colourimetry, code(colourimetry)},
                        {FieldType::SampleStructure, code(sampling)},
                        {FieldType::AspectRatio, code(aspect)},
                        {FieldType::HorizontalPixelArraySize, code(size)},
                        {FieldType::BitDepth, code(depth)},
                        {FieldType::AudioCopyStatus, code(audioCopy)},
                        {FieldType::Channel, code(channel)},
                        {FieldType::TransferCharacteristics, code(transfer)},
                        {FieldType::LuminanceAndColourDifference, code(luminance)}});
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
    return composeWord(PayloadIdentifierFieldMaps::uhdSingleLink(), payloadCode,
                       {{FieldType::TransportFormat, code(transport)},
                        {FieldType::PictureFormat, code(picture)},
                        {FieldType::PictureRate, code(rate)},
                        {FieldType::SampleStructure, code(sampling)},
                        {FieldType::Colourimetry, code(colourimetry)},
                        {FieldType::AspectRatio, code(aspect)},
                        {FieldType::HorizontalPixelArraySize, code(size)},
                        {FieldType::BitDepth, code(depth)},
                        {FieldType::AudioCopyStatus, code(audioCopy)},
                        {FieldType::Channel, code(channel)},
                        {FieldType::TransferCharacteristics, code(transfer)},
                        {FieldType::LuminanceAndColourDifference, code(luminance)}});
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
    return composeWord(PayloadIdentifierFieldMaps::uhdSingleLink(), payloadCode,
                       {{FieldType::TransportFormat, code(transport)},
                        {FieldType::PictureFormat, code(picture)},
                        {FieldType::PictureRate, code(rate)},
                        {FieldType::SampleStructure, code(sampling)},
                        {FieldType::Colourimetry, code(colourimetry)},
                        {FieldType::AspectRatio, code(aspect)},
                        {FieldType::HorizontalPixelArraySize, code(size)},
                        {FieldType::BitDepth, code(depth)},
                        {FieldType::AudioCopyStatus, code(audioCopy)},
                        {FieldType::Channel, code(channel)},
                        {FieldType::TransferCharacteristics, code(transfer)},
                        {FieldType::LuminanceAndColourDifference, code(luminance)}});
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
    return composeWord(PayloadIdentifierFieldMaps::uhdSingleLink(), payloadCode,
                       {{FieldType::TransportFormat, code(transport)},
                        {FieldType::PictureFormat, code(picture)},
                        {FieldType::PictureRate, code(rate)},
                        {FieldType::SampleStructure, code(sampling)},
                        {FieldType::Colourimetry, code(colourimetry)},
                        {FieldType::AspectRatio, code(aspect)},
                        {FieldType::HorizontalPixelArraySize, code(size)},
                        {FieldType::BitDepth, code(depth)},
                        {FieldType::AudioCopyStatus, code(audioCopy)},
                        {FieldType::Channel, code(channel)},
                        {FieldType::TransferCharacteristics, code(transfer)},
                        {FieldType::LuminanceAndColourDifference, code(luminance)}});
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
    return composeWord(PayloadIdentifierFieldMaps::uhdSingleLink(), payloadCode,
                       {{FieldType::TransportFormat, code(transport)},
                        {FieldType::PictureFormat, code(picture)},
                        {FieldType::PictureRate, code(rate)},
                        {FieldType::SampleStructure, code(sampling)},
                        {FieldType::Colourimetry, code(colourimetry)},
                        {FieldType::AspectRatio, code(aspect)},
                        {FieldType::HorizontalPixelArraySize, code(size)},
                        {FieldType::BitDepth, code(depth)},
                        {FieldType::AudioCopyStatus, code(audioCopy)},
                        {FieldType::Channel, code(channel)},
                        {FieldType::TransferCharacteristics, code(transfer)},
                        {FieldType::LuminanceAndColourDifference, code(luminance)}});
}

} // namespace Sdi
} // namespace Tessaly
