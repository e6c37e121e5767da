// What identifiers and their field values mean, in the words engineers use.
#include "framework/sdi/PayloadIdentifierBase.h"

#include <QStringList>

namespace Tessaly {
namespace Sdi {

namespace {

using FieldType = PayloadIdentifierBase::FieldType;
using Raster = PayloadIdentifierBase::Raster;

QString fromTable(const char* const* table, int size, int value, const char* otherwise)
{
    return value >= 0 && value < size && table[value] != nullptr ? QString::fromLatin1(table[value])
                                                                   : QString::fromLatin1(otherwise);
}

template <int N>
QString fromTable(const char* const (&table)[N], int value, const char* otherwise = "reserved")
{
    return fromTable(table, N, value, otherwise);
}

const char* const pictureRates[] = {"undefined", nullptr, "23.98 Hz", "24 Hz", "47.95 Hz", "25 Hz",
                                    "29.97 Hz", "30 Hz", "48 Hz", "50 Hz", "59.94 Hz", "60 Hz",
                                    "96 Hz", "100 Hz", "119.88 Hz", "120 Hz"};

const char* const sampleStructures[] = {"4:2:2", "4:4:4", "4:4:4 GBR", "4:2:0", "4:2:2:4",
                                        "4:4:4:4", "4:4:4:4 GBRA", nullptr, "4:2:2:4 with data",
                                        "4:4:4:4 with data", "4:4:4:4 GBR with data", nullptr, nullptr,
                                        nullptr, nullptr, "4:4:4 XYZ"};

const char* const scanning[] = {"interlaced", "progressive"};
const char* const colourimetries[] = {"BT.709", "signalled in ancillary data", "BT.2020", "unknown"};
const char* const transferCurves[] = {"SDR", "HLG", "PQ", "unspecified"};
const char* const luminanceSignals[] = {"Y'C'bC'r", "ICtCp"};
const char* const audioCopies[] = {"original audio", "audio copied from another link"};

const char* const fieldNames[] = {"payload and digital interface", "sampling structure", "picture rate",
                                  "picture scanning", "transport scanning", "bit depth", "aspect ratio",
                                  "horizontal pixel array size", "colourimetry", "transfer characteristics",
                                  "luminance and colour difference", "channel", "audio copy status"};

QString payloadCodeText(int code)
{
    switch (code) {
    case 0x81: return QStringLiteral("525/625-line video on 270M");
    case 0x84: return QStringLiteral("720-line video on 1.5G");
    case 0x85: return QStringLiteral("1080-line video on 1.5G");
    case 0x87: return QStringLiteral("1080-line video on dual-link 1.5G");
    case 0x88: return QStringLiteral("720-line video on 3G");
    case 0x89: return QStringLiteral("1080-line video on 3G level A");
    case 0x8A: return QStringLiteral("1080-line video on 3G level B");
    case 0x96: return QStringLiteral("2160-line video on dual-link 3G level B");
    case 0x97: return QStringLiteral("2160-line video on quad-link 3G level A");
    case 0x98: return QStringLiteral("2160-line video on quad-link 3G level B");
    case 0xC0: return QStringLiteral("2160-line video on 6G");
    case 0xC2: return QStringLiteral("2160-line video on dual-link 6G");
    case 0xCE: return QStringLiteral("2160-line video on 12G");
    case 0xD2: return QStringLiteral("4320-line video on quad-link 12G");
    default: return QStringLiteral("not a supported interface");
    }
}

QString rateName(SdiDataRate rate)
{
    switch (rate) {
    case SdiDataRate::Rate12G: return QStringLiteral("12G");
    case SdiDataRate::Rate6G: return QStringLiteral("6G");
    case SdiDataRate::Rate3G: return QStringLiteral("3G");
    case SdiDataRate::Rate1G5: return QStringLiteral("1.5G");
    case SdiDataRate::Rate270M: return QStringLiteral("270M");
    case SdiDataRate::None: break;
    }
    return QStringLiteral("no interface");
}

QString scanSuffix(int scanType)
{
    switch (scanType) {
    case 1: return QStringLiteral("psf");
    case 2: return QStringLiteral("i");
    default: return QStringLiteral("p");
    }
}

} // namespace

QString PayloadIdentifierBase::fieldTypeName(FieldType type)
{
    return fromTable(fieldNames, static_cast<int>(type), "unknown field");
}

QString PayloadIdentifierBase::interfaceDescription()
{
    const SdiDataRate rate = getDataRatePerPhysicalConnection();
    QString text;
    switch (getNumPhysicalConnections()) {
    case 1:
        break;
    case 2:
        text = QStringLiteral("dual-link ");
        break;
    case 4:
        text = QStringLiteral("quad-link ");
        break;
    default:
        if (getNumPhysicalConnections() > 1)
            text = QStringLiteral("%1-link ").arg(getNumPhysicalConnections());
        break;
    }
    if (properties.raster == Raster::Lines4320)
        text = QStringLiteral("quad-link ");
    text += rateName(rate);
    if (rate == SdiDataRate::Rate3G)
        text += getLevel() == 1 ? QStringLiteral(" level B") : QStringLiteral(" level A");
    return text;
}

QString PayloadIdentifierBase::describeField(FieldType type)
{
    const int value = type == FieldType::Colourimetry ? static_cast<int>(getColourimetry()) : getFieldValue(type);
    switch (type) {
    case FieldType::PayloadAndDigitalInterface:
        return payloadCodeText(value);
    case FieldType::SampleStructure:
        return fromTable(sampleStructures, value);
    case FieldType::PictureRate:
        return fromTable(pictureRates, value);
    case FieldType::PictureFormat:
    case FieldType::TransportFormat:
        return fromTable(scanning, value);
    case FieldType::BitDepth: {
        const int bits = interpretBitDepthAppropriatelyForStandard(value);
        if (bits == 0)
            return QStringLiteral("reserved");
        const bool fullRange = properties.fullRangeBitDepthCodes && (value == 0 || value == 3);
        return QStringLiteral("%1-bit%2").arg(bits).arg(fullRange ? QStringLiteral(" full range") : QString());
    }
    case FieldType::AspectRatio:
        if (value == 1)
            return QStringLiteral("16:9");
        return properties.raster == Raster::Sd ? QStringLiteral("4:3") : QStringLiteral("unknown");
    case FieldType::HorizontalPixelArraySize: {
        if (properties.raster == Raster::Sd || properties.raster == Raster::None)
            return value == 0 ? QStringLiteral("standard") : QStringLiteral("reserved");
        return QStringLiteral("%1 pixels").arg(getReconstructedImageWidthInPixels());
    }
    case FieldType::Colourimetry:
        if (value == static_cast<int>(PayloadId::Colourimetry::NotApplicable))
            return QStringLiteral("none in standard definition");
        return fromTable(colourimetries, value);
    case FieldType::TransferCharacteristics:
        return fromTable(transferCurves, value);
    case FieldType::LuminanceAndColourDifference:
        return fromTable(luminanceSignals, value);
    case FieldType::Channel:
        return QStringLiteral("channel %1").arg(value + 1);
    case FieldType::AudioCopyStatus:
        return fromTable(audioCopies, value);
    }
    return QStringLiteral("unknown field");
}

QString PayloadIdentifierBase::toHumanReadable(bool withDetails)
{
    if (properties.raster == Raster::None)
        return QStringLiteral("unsupported payload identifier 0x")
            + QString::number(word, 16).rightJustified(8, QLatin1Char('0')).toUpper();
    QString rate = describeField(FieldType::PictureRate);
    if (!rate.endsWith(QLatin1String("Hz")))
        rate.prepend(QStringLiteral("rate "));
    QString text = QStringLiteral("%1x%2%3 %4 %5 %6, %7")
                       .arg(getReconstructedImageWidthInPixels())
                       .arg(getReconstructedImageHeightInPixels())
                       .arg(scanSuffix(getPicutreInterlacedProgressivePsf()))
                       .arg(rate)
                       .arg(describeField(FieldType::SampleStructure))
                       .arg(describeField(FieldType::BitDepth))
                       .arg(interfaceDescription());
    if (!withDetails)
        return text;
    QStringList details;
    for (const FieldType type : {FieldType::Colourimetry, FieldType::TransferCharacteristics,
                                 FieldType::LuminanceAndColourDifference, FieldType::AspectRatio,
                                 FieldType::Channel, FieldType::AudioCopyStatus}) {
        if (!hasField(type))
            continue;
        // A bare "unknown" would not say what is unknown.
        const QString meaning = describeField(type);
        const bool vague = meaning == QLatin1String("unknown") || meaning == QLatin1String("reserved")
            || meaning == QLatin1String("unspecified");
        details << (vague ? fieldTypeName(type) + QLatin1Char(' ') + meaning : meaning);
    }
    return details.isEmpty() ? text : text + QStringLiteral("; ") + details.join(QStringLiteral(", "));
}

} // namespace Sdi
} // namespace Tessaly
