#pragma once

#include "framework/sdi/PayloadIdentifierBase.h"

#include <QString>

#include <optional>

namespace SdiPayloadIdTool {

// A word written as one hex number ("0x89C98001", "89c98001") or as four hex
// bytes in wire order ("89 C9 80 01", "0x89,0xC9,0x80,0x01", "89:c9:80:01").
std::optional<unsigned int> parseIdentifier(const QString& text);

// The field a name stands for: a short key ("rate") or the field's own name
// ("PictureRate"), case ignored.
std::optional<Tessaly::Sdi::PayloadIdentifierBase::FieldType> parseFieldName(const QString& name);

// The short key of a field ("rate").
QString fieldKey(Tessaly::Sdi::PayloadIdentifierBase::FieldType type);

// All short keys, comma separated, for the usage text.
QString fieldKeyList();

} // namespace SdiPayloadIdTool
