#include "tools/sdi-payload-id/DecodeReport.h"

#include "tools/sdi-payload-id/IdentifierText.h"

#include <QJsonArray>
#include <QStringList>

#include <list>
#include <vector>

namespace SdiPayloadIdTool {

namespace {

using Tessaly::Sdi::PayloadIdentifierBase;
using FieldType = PayloadIdentifierBase::FieldType;

const char* const scanNames[] = {"unknown", "segmented-frame progressive", "interlaced", "progressive"};
const char* const rateNames[] = {"12G", "6G", "3G", "1.5G", "270M", "none"};

QString hexWord(unsigned int word) { return QString::number(word, 16).toUpper().rightJustified(8, QLatin1Char('0')); }

QString hexByte(int byte) { return QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0')); }

QString joined(const std::vector<int>& values, const QString& separator)
{
    QStringList texts;
    for (const int value : values)
        texts << QString::number(value);
    return texts.isEmpty() ? QStringLiteral("none") : texts.join(separator);
}

QJsonArray jsonArray(const std::vector<int>& values)
{
    QJsonArray array;
    for (const int value : values)
        array.append(value);
    return array;
}

QJsonArray jsonArray(const std::list<QString>& texts)
{
    QJsonArray array;
    for (const QString& text : texts)
        array.append(text);
    return array;
}

QString lookup(const char* const* names, int count, int index)
{
    return index >= 0 && index < count ? QLatin1String(names[index]) : QStringLiteral("unknown");
}

int fieldValue(PayloadIdentifierBase& id, FieldType type)
{
    return type == FieldType::Colourimetry ? static_cast<int>(id.getColourimetry()) : id.getFieldValue(type);
}

} // namespace

DecodeReport describeIdentifier(PayloadIdentifierBase& id, const QString& className)
{
    const unsigned int word = id.getWord();
    const int code = id.getByte(0);
    const bool known = !className.isEmpty();
    QStringList lines;
    QJsonObject json;

    lines << QStringLiteral("0x%1  bytes %2 %3 %4 %5")
                 .arg(hexWord(word), hexByte(id.getByte(0)), hexByte(id.getByte(1)), hexByte(id.getByte(2)),
                      hexByte(id.getByte(3)));
    json[QStringLiteral("word")] = QStringLiteral("0x") + hexWord(word);
    json[QStringLiteral("payloadCode")] = code;
    json[QStringLiteral("class")] = known ? QStringLiteral("PayloadIdentifier") + className : QString();
    lines << QStringLiteral("payload 0x%1 (%2): %3, %4")
                 .arg(hexByte(code))
                 .arg(code)
                 .arg(id.describeField(FieldType::PayloadAndDigitalInterface),
                      known ? QStringLiteral("class PayloadIdentifier") + className : QStringLiteral("no class"));

    QJsonArray fields;
    for (const FieldType type : PayloadIdentifierBase::allFieldTypes) {
        if (!id.hasField(type) || type == FieldType::PayloadAndDigitalInterface)
            continue;
        const int value = fieldValue(id, type);
        const QString meaning = id.describeField(type);
        lines << QStringLiteral("  %1 %2  %3")
                     .arg(PayloadIdentifierBase::fieldTypeName(type), -32)
                     .arg(value, 3)
                     .arg(meaning);
        QJsonObject field;
        field[QStringLiteral("key")] = fieldKey(type);
        field[QStringLiteral("name")] = PayloadIdentifierBase::fieldTypeName(type);
        field[QStringLiteral("value")] = value;
        field[QStringLiteral("meaning")] = meaning;
        fields.append(field);
    }
    json[QStringLiteral("fields")] = fields;

    std::list<QString> reserved;
    if (known) {
        const int scan = id.getPicutreInterlacedProgressivePsf();
        const int links = id.getNumPhysicalConnections();
        const int rate = static_cast<int>(id.getDataRatePerPhysicalConnection());
        const int subImages = id.getNumSubImages();
        lines << QStringLiteral("scan type: %1 %2").arg(scan).arg(lookup(scanNames, 4, scan));
        lines << QStringLiteral("interface: %1; links %2, data rate %3 (%4), level %5, sub-images %6, pixel mapping %7")
                     .arg(id.interfaceDescription())
                     .arg(links)
                     .arg(lookup(rateNames, 6, rate))
                     .arg(rate)
                     .arg(id.getLevel())
                     .arg(subImages)
                     .arg(id.getSubImagePixelMappingFormat());
        const auto heights = id.getFieldHeights();
        const auto firstLines = id.getFieldFirstLineNumbersOfActivePicture();
        lines << QStringLiteral("geometry: field lines %1, first active lines %2, active %3 samples x %4 lines per field, "
                                "image %5x%6")
                     .arg(joined(heights, QStringLiteral("/")), joined(firstLines, QStringLiteral("/")))
                     .arg(id.getFieldActivePictureWidthInSamples())
                     .arg(heights.size() > 1 ? QStringLiteral("%1/%2")
                                                   .arg(id.getFieldActivePictureHeight(false))
                                                   .arg(id.getFieldActivePictureHeight(true))
                                             : QString::number(id.getFieldActivePictureHeight(false)))
                     .arg(id.getReconstructedImageWidthInPixels())
                     .arg(id.getReconstructedImageHeightInPixels());
        QJsonObject scanJson{{QStringLiteral("code"), scan}, {QStringLiteral("name"), lookup(scanNames, 4, scan)}};
        json[QStringLiteral("scanType")] = scanJson;
        json[QStringLiteral("links")] = links;
        json[QStringLiteral("dataRate")] = lookup(rateNames, 6, rate);
        json[QStringLiteral("level")] = id.getLevel();
        json[QStringLiteral("interface")] = id.interfaceDescription();
        json[QStringLiteral("subImages")] = subImages;
        json[QStringLiteral("pixelMapping")] = id.getSubImagePixelMappingFormat();
        json[QStringLiteral("geometry")] = QJsonObject{
            {QStringLiteral("fieldLines"), jsonArray(heights)},
            {QStringLiteral("firstActiveLines"), jsonArray(firstLines)},
            {QStringLiteral("activeWidth"), id.getFieldActivePictureWidthInSamples()},
            {QStringLiteral("activeHeights"),
             jsonArray(heights.size() > 1 ? std::vector<int>{id.getFieldActivePictureHeight(false),
                                                             id.getFieldActivePictureHeight(true)}
                                          : std::vector<int>{id.getFieldActivePictureHeight(false)})},
            {QStringLiteral("imageWidth"), id.getReconstructedImageWidthInPixels()},
            {QStringLiteral("imageHeight"), id.getReconstructedImageHeightInPixels()}};
        // With no class, every bit would count as reserved; that says nothing.
        reserved = id.doReservedBitsChecks();
    }
    const QString format = id.toHumanReadable(true);
    lines << QStringLiteral("format: ") + format;
    json[QStringLiteral("format")] = format;

    const std::list<QString> checks = id.doSmpteValidationChecks();
    for (const QString& message : reserved)
        lines << QStringLiteral("reserved: ") + message;
    for (const QString& message : checks)
        lines << QStringLiteral("check: ") + message;
    if (reserved.empty() && checks.empty())
        lines << QStringLiteral("checks: passed");
    json[QStringLiteral("reservedBits")] = jsonArray(reserved);
    json[QStringLiteral("checks")] = jsonArray(checks);

    return {lines.join(QLatin1Char('\n')) + QLatin1Char('\n'), json, reserved.empty() && checks.empty()};
}

} // namespace SdiPayloadIdTool
