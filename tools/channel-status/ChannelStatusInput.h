#pragma once

#include "framework/audio/ChannelStatusBytes.h"

#include <QString>

#include <optional>
#include <string>

namespace Tessaly {

// Reads 24 channel-status bytes written in hex: either 48 digits in a row
// or 24 groups of one or two digits separated by blanks, ':', ',' or '-',
// each optionally prefixed with "0x". On failure `error` says why.
std::optional<ChannelStatusBytes> parseChannelStatusHex(const std::string& text, std::string& error);

// A decoded text as UTF-8 made safe for a terminal: control characters
// and the backslash itself as \xNN.
std::string printableText(const QString& text);

} // namespace Tessaly
