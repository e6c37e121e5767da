#include "framework/sdi/PayloadIdentifierBase.h"

#include <spdlog/spdlog.h>

namespace Tessaly {
namespace Sdi {

namespace {

using Bit = PayloadIdentifierField::Bit;

PayloadIdentifierField makeField(int byteIndex, std::initializer_list<int> bits)
{
    PayloadIdentifierField field;
    field.byteIndex = byteIndex;
    for (const int bit : bits)
        field.bits.push_back(static_cast<Bit>(bit));
    return field;
}

// The base stands for no interface: its code matches no byte.
constexpr int noPayloadCode = -1;

} // namespace

PayloadIdentifierBase::PayloadIdentifierBase(unsigned int word, FieldMap&& fields)
    : PayloadIdentifierBase(word, std::move(fields),
                            Interface{noPayloadCode, 0, SdiDataRate::None, 0, 1, 0, Raster::None,
                                      ScanRule::Progressive, false})
{
}

PayloadIdentifierBase::PayloadIdentifierBase(unsigned int word, FieldMap&& fields,
                                             const Interface& properties)
    : word(word),
      bytes{static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
            static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)},
      fields(std::move(fields)),
      properties(properties)
{
    logReservedBits();
}

PayloadIdentifierBase::~PayloadIdentifierBase() = default;

PayloadIdentifierField PayloadIdentifierBase::defaultPayloadIdentifierFieldDefinition()
{
    return makeField(0, {0, 1, 2, 3, 4, 5, 6, 7});
}
PayloadIdentifierField PayloadIdentifierBase::defaultPictureRateFieldDefinition() { return makeField(1, {0, 1, 2, 3}); }
PayloadIdentifierField PayloadIdentifierBase::defaultPictureFormatFieldDefinition() { return makeField(1, {6}); }
PayloadIdentifierField PayloadIdentifierBase::defaultTransportFormatFieldDefinition() { return makeField(1, {7}); }
PayloadIdentifierField PayloadIdentifierBase::generalTransferCharacteristicsFieldDefinition() { return makeField(1, {4, 5}); }
PayloadIdentifierField PayloadIdentifierBase::defaultSamplingStructureFieldDefinition() { return makeField(2, {0, 1, 2, 3}); }
PayloadIdentifierField PayloadIdentifierBase::generalHorizontalPixelArraySizeFieldDefinition() { return makeField(2, {6}); }
PayloadIdentifierField PayloadIdentifierBase::defaultBitDepthFieldDefinition() { return makeField(3, {0, 1}); }
PayloadIdentifierField PayloadIdentifierBase::generalLuminanceAndColourDifferenceFieldDefinition() { return makeField(3, {4}); }
PayloadIdentifierField PayloadIdentifierBase::defaultChannelFieldDefinition() { return makeField(3, {5, 6, 7}); }

PayloadIdentifierField PayloadIdentifierBase::fieldAt(PayloadIdentifierField definition, int byteIndex,
                                                      std::initializer_list<int> bits)
{
    definition.byteIndex = byteIndex;
    definition.bits.clear();
    for (const int bit : bits)
        definition.bits.push_back(static_cast<Bit>(bit));
    return definition;
}

int PayloadIdentifierBase::getByte(int index) const
{
    return index >= 0 && index <= 3 ? bytes[static_cast<std::size_t>(index)] : 0;
}

int PayloadIdentifierBase::getFieldValue(FieldType type) const
{
    const auto found = fields.find(type);
    return found == fields.end() ? 0 : found->second.readFromPayloadIdentifierWord(word);
}

int PayloadIdentifierBase::getPayloadAndDigitialInterface() const
{
    return getFieldValue(FieldType::PayloadAndDigitalInterface);
}

PayloadId::SampleStructure PayloadIdentifierBase::getSampleStructure() const
{
    return static_cast<PayloadId::SampleStructure>(getFieldValue(FieldType::SampleStructure));
}

PayloadId::PictureRate PayloadIdentifierBase::getPictureRate() const
{
    return static_cast<PayloadId::PictureRate>(getFieldValue(FieldType::PictureRate));
}

PayloadId::PictureFormat PayloadIdentifierBase::getPictureInterlaced() const
{
    return static_cast<PayloadId::PictureFormat>(getFieldValue(FieldType::PictureFormat));
}

PayloadId::TransportFormat PayloadIdentifierBase::getTransportInterlaced() const
{
    return static_cast<PayloadId::TransportFormat>(getFieldValue(FieldType::TransportFormat));
}

PayloadId::BitDepth PayloadIdentifierBase::getBitDepth() const
{
    return static_cast<PayloadId::BitDepth>(getFieldValue(FieldType::BitDepth));
}

PayloadId::AspectRatio PayloadIdentifierBase::getAspectRatio() const
{
    return static_cast<PayloadId::AspectRatio>(getFieldValue(FieldType::AspectRatio));
}

PayloadId::HorizontalPixelArraySize PayloadIdentifierBase::getHorizontalArraySize() const
{
    return static_cast<PayloadId::HorizontalPixelArraySize>(getFieldValue(FieldType::HorizontalPixelArraySize));
}

PayloadId::TransferCurve PayloadIdentifierBase::getTransferCharacteristics() const
{
    return static_cast<PayloadId::TransferCurve>(getFieldValue(FieldType::TransferCharacteristics));
}

PayloadId::LuminanceAndColourDifferenceSignal PayloadIdentifierBase::getLuminanceAndColourDifferenceSignal() const
{
    return static_cast<PayloadId::LuminanceAndColourDifferenceSignal>(
        getFieldValue(FieldType::LuminanceAndColourDifference));
}

PayloadId::Channel PayloadIdentifierBase::getChannel() const
{
    return static_cast<PayloadId::Channel>(getFieldValue(FieldType::Channel));
}

PayloadId::AudioCopyStatus PayloadIdentifierBase::getAudioCopyStatus() const
{
    return static_cast<PayloadId::AudioCopyStatus>(getFieldValue(FieldType::AudioCopyStatus));
}

PayloadId::Colourimetry PayloadIdentifierBase::getColourimetry()
{
    return static_cast<PayloadId::Colourimetry>(getFieldValue(FieldType::Colourimetry));
}

int PayloadIdentifierBase::getSubImagePixelMappingFormat() { return properties.mapping; }
int PayloadIdentifierBase::getNumPhysicalConnections() { return properties.links; }
SdiDataRate PayloadIdentifierBase::getDataRatePerPhysicalConnection() { return properties.rate; }
int PayloadIdentifierBase::getLevel() { return properties.level; }
int PayloadIdentifierBase::getNumSubImages() { return properties.subImages; }

int PayloadIdentifierBase::getPicutreInterlacedProgressivePsf()
{
    constexpr int psf = 1;
    constexpr int interlaced = 2;
    constexpr int progressive = 3;
    switch (properties.scan) {
    case ScanRule::Interlaced:
        return interlaced;
    case ScanRule::Progressive:
        return progressive;
    case ScanRule::ProgressiveFor422: {
        // Fast 4:2:2 and 4:2:0 pictures split over two streams are sent
        // with interlaced transport, yet they are whole frames.
        const int sampling = getFieldValue(FieldType::SampleStructure);
        const int depth = getFieldValue(FieldType::BitDepth);
        if ((sampling == 0 || sampling == 3) && (depth == 0 || depth == 1))
            return progressive;
        break;
    }
    case ScanRule::General:
        break;
    }
    if (getFieldValue(FieldType::PictureFormat) == 0)
        return interlaced;
    return getFieldValue(FieldType::TransportFormat) == 1 ? progressive : psf;
}

bool PayloadIdentifierBase::hasCorrectpayloadAndDigitalInterface()
{
    return getPayloadAndDigitialInterface() == properties.payloadCode;
}

std::list<QString> PayloadIdentifierBase::doSmpteValidationChecks()
{
    if (properties.payloadCode == noPayloadCode)
        return {QStringLiteral("Error packet does not match any supported type")};
    // Interfaces whose formats the code alone settles.
    return payloadCodeChecks();
}

std::list<QString> PayloadIdentifierBase::payloadCodeChecks()
{
    if (hasCorrectpayloadAndDigitalInterface())
        return {};
    return {QStringLiteral("Incorrect payload identifier: ") + QString::number(getPayloadAndDigitialInterface())};
}

int PayloadIdentifierBase::interpretBitDepthAppropriatelyForStandard(int bitDepth)
{
    switch (bitDepth) {
    case 0:
        return properties.fullRangeBitDepthCodes ? 10 : 8;
    case 1:
        return 10;
    case 2:
        return 12;
    case 3:
        return properties.fullRangeBitDepthCodes ? 12 : 0;
    default:
        return 0;
    }
}

std::list<QString> PayloadIdentifierBase::doReservedBitsChecks()
{
    unsigned int covered = 0;
    for (const auto& entry : fields)
        covered |= entry.second.wordMask();
    const unsigned int reserved = word & ~covered;
    std::list<QString> messages;
    for (int bit = 0; bit < 32; ++bit) {
        if ((reserved >> bit) & 1u)
            messages.push_back(QStringLiteral("Reserved bit not 0, Byte %1, Bit %2").arg(bit / 8).arg(bit % 8));
    }
    return messages;
}

void PayloadIdentifierBase::logReservedBits()
{
    auto logger = spdlog::get("KWLOG");
    if (!logger || !logger->should_log(spdlog::level::warn))
        return;
    const auto messages = doReservedBitsChecks();
    for (const QString& message : messages) {
        // Fetched again per message: the registered logger may change.
        if (auto current = spdlog::get("KWLOG"))
            current->warn("{} {}", __PRETTY_FUNCTION__, message.toStdString());
    }
}

unsigned int PayloadIdentifierBase::composePictureWord(const FieldMap& map, int payloadCode,
                                                       const PictureFields& fields)
{
    const auto code = [](auto value) { return static_cast<int>(value); };
    const std::pair<FieldType, int> values[] = {
        {FieldType::PayloadAndDigitalInterface, payloadCode},
        {FieldType::TransportFormat, code(fields.transport)},
        {FieldType::PictureFormat, code(fields.picture)},
        {FieldType::PictureRate, code(fields.rate)},
        {FieldType::SampleStructure, code(fields.sampling)},
        {FieldType::Colourimetry, code(fields.colourimetry)},
        {FieldType::AspectRatio, code(fields.aspect)},
        {FieldType::HorizontalPixelArraySize, code(fields.size)},
        {FieldType::BitDepth, code(fields.depth)},
        {FieldType::TransferCharacteristics, code(fields.transfer)},
        {FieldType::LuminanceAndColourDifference, code(fields.luminance)},
        {FieldType::Channel, code(fields.channel)},
        {FieldType::AudioCopyStatus, code(fields.audioCopy)},
    };
    unsigned int word = 0;
    for (const auto& [type, value] : values) {
        const auto field = map.find(type);
        if (field != map.end())
            field->second.applyValueToPayloadIdentifierWord(word, value);
    }
    return word;
}

} // namespace Sdi
} // namespace Tessaly
