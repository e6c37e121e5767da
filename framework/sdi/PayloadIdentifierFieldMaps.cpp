#include "framework/sdi/PayloadIdentifierFieldMaps.h"

namespace Tessaly {
namespace Sdi {
namespace PayloadIdentifierFieldMaps {

namespace {

using Base = PayloadIdentifierBase;
using FieldType = Base::FieldType;
using FieldMap = Base::FieldMap;

// Fields every interface carries in the same place.
FieldMap common()
{
    return {{FieldType::PayloadAndDigitalInterface, Base::defaultPayloadIdentifierFieldDefinition()},
            {FieldType::SampleStructure, Base::defaultSamplingStructureFieldDefinition()},
            {FieldType::PictureRate, Base::defaultPictureRateFieldDefinition()},
            {FieldType::PictureFormat, Base::defaultPictureFormatFieldDefinition()}};
}

PayloadIdentifierField at(int byteIndex, std::initializer_list<int> bits)
{
    return Base::fieldAt(Base::defaultBitDepthFieldDefinition(), byteIndex, bits);
}

// HD and UHD maps: transport, bit depth, pixel array size, transfer and
// luminance signal in the shared places; aspect ratio and colourimetry in
// the places of level A (aspect bit 7) or of level B and 1.5G (aspect bit 5).
FieldMap hdCore(bool levelALayout)
{
    FieldMap map = common();
    map[FieldType::TransportFormat] = Base::defaultTransportFormatFieldDefinition();
    map[FieldType::BitDepth] = Base::defaultBitDepthFieldDefinition();
    map[FieldType::HorizontalPixelArraySize] = Base::generalHorizontalPixelArraySizeFieldDefinition();
    map[FieldType::TransferCharacteristics] = Base::generalTransferCharacteristicsFieldDefinition();
    map[FieldType::LuminanceAndColourDifference] = Base::generalLuminanceAndColourDifferenceFieldDefinition();
    map[FieldType::AspectRatio] = levelALayout ? at(2, {7}) : at(2, {5});
    map[FieldType::Colourimetry] = levelALayout ? at(2, {4, 5}) : at(2, {4, 7});
    return map;
}

FieldMap withUhdAudioAndChannel(FieldMap map, PayloadIdentifierField channel)
{
    map[FieldType::Channel] = channel;
    map[FieldType::AudioCopyStatus] = at(3, {2});
    return map;
}

} // namespace

FieldMap sd270m()
{
    FieldMap map = common();
    map[FieldType::BitDepth] = at(3, {0});
    map[FieldType::AspectRatio] = at(2, {7});
    map[FieldType::HorizontalPixelArraySize] = Base::generalHorizontalPixelArraySizeFieldDefinition();
    return map;
}

FieldMap hd720On1g5()
{
    FieldMap map = common();
    map[FieldType::BitDepth] = at(3, {0});
    map[FieldType::Colourimetry] = at(2, {4, 5});
    map[FieldType::TransferCharacteristics] = Base::generalTransferCharacteristicsFieldDefinition();
    map[FieldType::LuminanceAndColourDifference] = Base::generalLuminanceAndColourDifferenceFieldDefinition();
    return map;
}

FieldMap hd1080On1g5() { return hdCore(false); }

FieldMap hd1080DualStream()
{
    FieldMap map = hdCore(false);
    map[FieldType::Channel] = at(3, {6});
    return map;
}

FieldMap levelA3g() { return hdCore(true); }

FieldMap uhdDualLinkLevelB3g() { return withUhdAudioAndChannel(hdCore(false), at(3, {6, 7})); }

FieldMap uhdQuadLink3g() { return withUhdAudioAndChannel(hdCore(true), at(3, {6, 7})); }

FieldMap uhdQuadLinkLevelB3g()
{
    return withUhdAudioAndChannel(hdCore(false), Base::defaultChannelFieldDefinition());
}

FieldMap uhdSingleLink() { return withUhdAudioAndChannel(hdCore(true), Base::defaultChannelFieldDefinition()); }

} // namespace PayloadIdentifierFieldMaps
} // namespace Sdi
} // namespace Tessaly
