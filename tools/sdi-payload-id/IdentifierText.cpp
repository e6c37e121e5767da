#include "tools/sdi-payload-id/IdentifierText.h"

#include <QRegularExpression>
#include <QStringList>

namespace SdiPayloadIdTool {

namespace {

using FieldType = Tessaly::Sdi::PayloadIdentifierBase::FieldType;

struct FieldName {
    const char* key;
    const char* name;
    FieldType type;
};

const FieldName fieldNames[] = {
    {"payload", "PayloadAndDigitalInterface", FieldType::PayloadAndDigitalInterface},
    {"sampling", "SampleStructure", FieldType::SampleStructure},
    {"rate", "PictureRate", FieldType::PictureRate},
    {"picture", "PictureFormat", FieldType::PictureFormat},
    {"transport", "TransportFormat", FieldType::TransportFormat},
    {"depth", "BitDepth", FieldType::BitDepth},
    {"aspect", "AspectRatio", FieldType::AspectRatio},
    {"size", "HorizontalPixelArraySize", FieldType::HorizontalPixelArraySize},
    {"colourimetry", "Colourimetry", FieldType::Colourimetry},
    {"transfer", "TransferCharacteristics", FieldType::TransferCharacteristics},
    {"luminance", "LuminanceAndColourDifference", FieldType::LuminanceAndColourDifference},
    {"channel", "Channel", FieldType::Channel},
    {"audiocopy", "AudioCopyStatus", FieldType::AudioCopyStatus},
};

std::optional<unsigned int> parseHex(QString token, int maxDigits)
{
    if (token.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        token = token.mid(2);
    if (token.isEmpty() || token.size() > maxDigits)
        return std::nullopt;
    bool ok = false;
    const unsigned int value = token.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<unsigned int> parseIdentifier(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,:]+"));
    const QStringList tokens = text.trimmed().split(separators, Qt::SkipEmptyParts);
    if (tokens.size() == 1)
        return parseHex(tokens.front(), 8);
    if (tokens.size() != 4)
        return std::nullopt;
    unsigned int word = 0;
    for (const QString& token : tokens) {
        const auto byte = parseHex(token, 2);
        if (!byte)
            return std::nullopt;
        word = (word << 8) | *byte;
    }
    return word;
}

std::optional<FieldType> parseFieldName(const QString& name)
{
    for (const auto& field : fieldNames) {
        if (name.compare(QLatin1String(field.key), Qt::CaseInsensitive) == 0
            || name.compare(QLatin1String(field.name), Qt::CaseInsensitive) == 0)
            return field.type;
    }
    return std::nullopt;
}

QString fieldKey(FieldType type)
{
    for (const auto& field : fieldNames) {
        if (field.type == type)
            return QLatin1String(field.key);
    }
    return QString();
}

QString fieldKeyList()
{
    QStringList keys;
    for (const auto& field : fieldNames) {
        if (field.type != FieldType::PayloadAndDigitalInterface)
            keys << QLatin1String(field.key);
    }
    return keys.join(QStringLiteral(", "));
}

} // namespace SdiPayloadIdTool
