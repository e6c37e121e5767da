#pragma once

#include "framework/sdi/PayloadIdCodes.h"
#include "framework/sdi/PayloadIdentifierField.h"
#include "framework/sdi/SdiDataRate.h"

#include <QString>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <list>
#include <map>
#include <utility>
#include <vector>

namespace Tessaly {
namespace Sdi {

// A four-byte SDI payload identifier read through the field map of one
// interface standard. The base reads any word with any map; each derived
// class adds its interface's constants, geometry and checks.
class PayloadIdentifierBase {
public:
    enum class FieldType : int {
        PayloadAndDigitalInterface = 0,
        SampleStructure = 1,
        PictureRate = 2,
        PictureFormat = 3,
        TransportFormat = 4,
        BitDepth = 5,
        AspectRatio = 6,
        HorizontalPixelArraySize = 7,
        Colourimetry = 8,
        TransferCharacteristics = 9,
        LuminanceAndColourDifference = 10,
        Channel = 11,
        AudioCopyStatus = 12,
    };
    using FieldMap = std::map<FieldType, PayloadIdentifierField>;

    // Every key, in key order.
    static constexpr std::array<FieldType, 13> allFieldTypes{
        FieldType::PayloadAndDigitalInterface, FieldType::SampleStructure,
        FieldType::PictureRate, FieldType::PictureFormat,
        FieldType::TransportFormat, FieldType::BitDepth,
        FieldType::AspectRatio, FieldType::HorizontalPixelArraySize,
        FieldType::Colourimetry, FieldType::TransferCharacteristics,
        FieldType::LuminanceAndColourDifference, FieldType::Channel,
        FieldType::AudioCopyStatus};

    enum class Raster { None, Sd, Lines720, Lines1080, Lines2160, Lines4320 };
    enum class ScanRule { Interlaced, Progressive, General, ProgressiveFor422 };

    // The fixed properties of the interface a class stands for.
    struct Interface {
        int payloadCode;
        int links;
        SdiDataRate rate;
        int level;
        int subImages;
        int mapping;
        Raster raster;
        ScanRule scan;
        bool fullRangeBitDepthCodes; // code 0 is 10-bit full range, 3 is 12-bit full range
    };

    PayloadIdentifierBase(unsigned int word, FieldMap&& fields);
    virtual ~PayloadIdentifierBase();
    PayloadIdentifierBase(const PayloadIdentifierBase&) = default;
    PayloadIdentifierBase& operator=(const PayloadIdentifierBase&) = default;

    static PayloadIdentifierField defaultPayloadIdentifierFieldDefinition();
    static PayloadIdentifierField defaultPictureRateFieldDefinition();
    static PayloadIdentifierField defaultPictureFormatFieldDefinition();
    static PayloadIdentifierField defaultTransportFormatFieldDefinition();
    static PayloadIdentifierField generalTransferCharacteristicsFieldDefinition();
    static PayloadIdentifierField defaultSamplingStructureFieldDefinition();
    static PayloadIdentifierField generalHorizontalPixelArraySizeFieldDefinition();
    static PayloadIdentifierField defaultBitDepthFieldDefinition();
    static PayloadIdentifierField generalLuminanceAndColourDifferenceFieldDefinition();
    static PayloadIdentifierField defaultChannelFieldDefinition();

    // The shared definition with its byte and bits replaced.
    static PayloadIdentifierField fieldAt(PayloadIdentifierField definition, int byteIndex,
                                          std::initializer_list<int> bits);

    unsigned int getWord() const { return word; }
    // Byte 0 to 3 in wire order (0 is the payload code); others read 0.
    int getByte(int index) const;
    const FieldMap& getFieldMap() const { return fields; }
    bool hasField(FieldType type) const { return fields.count(type) != 0; }
    // The raw value of a field; 0 for a field the class does not have.
    int getFieldValue(FieldType type) const;

    int getPayloadAndDigitialInterface() const;
    PayloadId::SampleStructure getSampleStructure() const;
    PayloadId::PictureRate getPictureRate() const;
    PayloadId::PictureFormat getPictureInterlaced() const;
    PayloadId::TransportFormat getTransportInterlaced() const;
    PayloadId::BitDepth getBitDepth() const;
    PayloadId::AspectRatio getAspectRatio() const;
    PayloadId::HorizontalPixelArraySize getHorizontalArraySize() const;
    PayloadId::TransferCurve getTransferCharacteristics() const;
    PayloadId::LuminanceAndColourDifferenceSignal getLuminanceAndColourDifferenceSignal() const;
    PayloadId::Channel getChannel() const;
    PayloadId::AudioCopyStatus getAudioCopyStatus() const;

    virtual PayloadId::Colourimetry getColourimetry();
    virtual int getSubImagePixelMappingFormat();
    virtual int getNumPhysicalConnections();
    virtual SdiDataRate getDataRatePerPhysicalConnection();
    virtual int getLevel();
    virtual int getNumSubImages();
    // 1 segmented-frame progressive, 2 interlaced, 3 progressive.
    virtual int getPicutreInterlacedProgressivePsf();
    // Total lines of each field (one entry for a progressive frame) of the
    // raster one sub-image travels in.
    virtual std::vector<int> getFieldHeights();
    virtual std::vector<int> getFieldFirstLineNumbersOfActivePicture();
    // Active luma samples per line of one sub-image.
    virtual int getFieldActivePictureWidthInSamples();
    // Active lines of the first field, or of the second with `secondField`.
    virtual int getFieldActivePictureHeight(bool secondField);
    virtual int getReconstructedImageWidthInPixels();
    virtual int getReconstructedImageHeightInPixels();
    // "1920x1080i 25 Hz 4:2:2 10-bit, 3G level A"; `withDetails` appends the
    // colourimetry, transfer, aspect and channel fields the class carries.
    virtual QString toHumanReadable(bool withDetails);
    virtual bool hasCorrectpayloadAndDigitalInterface();
    virtual std::list<QString> doSmpteValidationChecks();
    // Bits per sample that a bit-depth code means on this interface (0 for
    // a reserved code).
    virtual int interpretBitDepthAppropriatelyForStandard(int bitDepth);

    std::list<QString> doReservedBitsChecks();

    // The interface in words: "1.5G", "3G level B", "quad-link 3G level A".
    QString interfaceDescription();
    // What a field's value means on this interface: "25 Hz", "4:2:2".
    QString describeField(FieldType type);
    static QString fieldTypeName(FieldType type);

    bool operator==(const PayloadIdentifierBase& other) const { return word == other.word; }
    bool operator!=(const PayloadIdentifierBase& other) const { return word != other.word; }

protected:
    PayloadIdentifierBase(unsigned int word, FieldMap&& fields, const Interface& properties);

    // The picture fields every HD and UHD builder writes; each builder takes
    // them in its own parameter order. A field left out stays 0.
    struct PictureFields {
        PayloadId::TransportFormat transport;
        PayloadId::PictureFormat picture;
        PayloadId::PictureRate rate;
        PayloadId::SampleStructure sampling;
        PayloadId::Colourimetry colourimetry;
        PayloadId::AspectRatio aspect;
        PayloadId::HorizontalPixelArraySize size;
        PayloadId::BitDepth depth;
        PayloadId::TransferCurve transfer;
        PayloadId::LuminanceAndColourDifferenceSignal luminance;
        PayloadId::Channel channel{};
        PayloadId::AudioCopyStatus audioCopy{};
    };

    // The word of `payloadCode` with each field written through `map`; a
    // field the map lacks is skipped, a refused value leaves its bits 0.
    static unsigned int composePictureWord(const FieldMap& map, int payloadCode, const PictureFields& fields);

    // The payload-code check every class starts with (empty when right).
    std::list<QString> payloadCodeChecks();

    const Interface& interfaceProperties() const { return properties; }

private:
    void logReservedBits();

    unsigned int word;
    std::array<std::uint8_t, 4> bytes;
    FieldMap fields;
    Interface properties;
};

} // namespace Sdi
} // namespace Tessaly
