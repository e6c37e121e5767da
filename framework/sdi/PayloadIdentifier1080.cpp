#include "framework/sdi/PayloadIdentifier1080.h"

#include "framework/sdi/PayloadIdentifierChecks.h"
#include "framework/sdi/PayloadIdentifierFieldMaps.h"

namespace Tessaly {
namespace Sdi {

namespace {

template <typename E>
int code(E value)
{
    return static_cast<int>(value);
}

} // namespace

PayloadIdentifier1080_1g5::PayloadIdentifier1080_1g5(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::hd1080On1g5(),
                            Interface{payloadCode, 1, SdiDataRate::Rate1G5, 0, 1, 0, Raster::Lines1080,
                                      ScanRule::General, false})
{
}

unsigned int PayloadIdentifier1080_1g5::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect, PayloadId::HorizontalPixelArraySize size,
    PayloadId::SampleStructure sampling, PayloadId::BitDepth depth, PayloadId::TransferCurve transfer,
    PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::hd1080On1g5(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance});
}

std::list<QString> PayloadIdentifier1080_1g5::doSmpteValidationChecks()
{
    std::list<QString> messages = payloadCodeChecks();
    const int size = code(getHorizontalArraySize());
    const int picture = code(getPictureInterlaced());
    const int rate = code(getPictureRate());
    const bool progressive = picture == 1;
    const bool rateAllowed = progressive ? PayloadIdentifierChecks::oneOf(rate, {2, 3, 5, 6, 7}) : PayloadIdentifierChecks::oneOf(rate, {5, 6, 7});
    if (size == 0) {
        if (!rateAllowed)
            messages.push_back(QStringLiteral("Invalid picture rate: ") + QString::number(rate));
    } else if (size == 1) {
        if (!progressive)
            messages.push_back(QStringLiteral("Invalid picture interlaced/progressive: ") + QString::number(picture));
        else if (!rateAllowed)
            messages.push_back(QStringLiteral("Invalid picture rate: ") + QString::number(rate));
    } else {
        messages.push_back(QStringLiteral("Invalid horizontal pixel array size: ") + QString::number(size));
    }
    const int sampling = code(getSampleStructure());
    if (sampling != 0 && sampling != 3)
        messages.push_back(QStringLiteral("Invalid sampling structure: ") + QString::number(sampling));
    const int depth = code(getBitDepth());
    if (depth != 0 && depth != 1)
        messages.push_back(QStringLiteral("Invalid bit depth: ") + QString::number(depth));
    return messages;
}

PayloadIdentifier1080_DualLink1g5::PayloadIdentifier1080_DualLink1g5(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::hd1080DualStream(),
                            Interface{payloadCode, 2, SdiDataRate::Rate1G5, 0, 1, 0, Raster::Lines1080,
                                      ScanRule::ProgressiveFor422, false})
{
}

unsigned int PayloadIdentifier1080_DualLink1g5::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::Colourimetry colourimetry, PayloadId::HorizontalPixelArraySize size, PayloadId::AspectRatio aspect,
    PayloadId::SampleStructure sampling, PayloadId::Channel channel, PayloadId::BitDepth depth,
    PayloadId::TransferCurve transfer, PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::hd1080DualStream(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance, channel});
}

std::list<QString> PayloadIdentifier1080_DualLink1g5::doSmpteValidationChecks()
{
    std::list<QString> messages = payloadCodeChecks();
    PayloadIdentifierChecks::dualStream1080(*this, messages);
    return messages;
}

PayloadIdentifier1080_3g::PayloadIdentifier1080_3g(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::levelA3g(),
                            Interface{payloadCode, 1, SdiDataRate::Rate3G, 0, 1, 0, Raster::Lines1080,
                                      ScanRule::General, false})
{
}

unsigned int PayloadIdentifier1080_3g::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::Colourimetry colourimetry, PayloadId::AspectRatio aspect, PayloadId::HorizontalPixelArraySize size,
    PayloadId::SampleStructure sampling, PayloadId::BitDepth depth, PayloadId::TransferCurve transfer,
    PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::levelA3g(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance});
}

std::list<QString> PayloadIdentifier1080_3g::doSmpteValidationChecks()
{
    std::list<QString> messages = payloadCodeChecks();
    PayloadIdentifierChecks::levelA3g(*this, messages);
    return messages;
}

PayloadIdentifier1080_Levelb3g::PayloadIdentifier1080_Levelb3g(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::hd1080DualStream(),
                            Interface{payloadCode, 1, SdiDataRate::Rate3G, 1, 1, 0, Raster::Lines1080,
                                      ScanRule::ProgressiveFor422, false})
{
}

unsigned int PayloadIdentifier1080_Levelb3g::getPayloadIdentifierWord(
    PayloadId::TransportFormat transport, PayloadId::PictureFormat picture, PayloadId::PictureRate rate,
    PayloadId::Colourimetry colourimetry, PayloadId::HorizontalPixelArraySize size, PayloadId::AspectRatio aspect,
    PayloadId::SampleStructure sampling, PayloadId::Channel channel, PayloadId::BitDepth depth,
    PayloadId::TransferCurve transfer, PayloadId::LuminanceAndColourDifferenceSignal luminance)
{
    return composePictureWord(PayloadIdentifierFieldMaps::hd1080DualStream(), payloadCode,
                              {transport, picture, rate, sampling, colourimetry, aspect, size,
                               depth, transfer, luminance, channel});
}

std::list<QString> PayloadIdentifier1080_Levelb3g::doSmpteValidationChecks()
{
    std::list<QString> messages = payloadCodeChecks();
    PayloadIdentifierChecks::dualStream1080(*this, messages);
    return messages;
}

} // namespace Sdi
} // namespace Tessaly
