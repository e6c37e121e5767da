#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace Tessaly {

// Diagnostic messages carry text that came from outside (board lines, file
// names). Longer messages are cut here, with a marker saying how much went.
inline constexpr size_t maxMessageBytes = 2048;

// The text as UTF-8 with every control character (C0, DEL and C1) written as
// \xNN, so that it can be shown on a terminal or sent to the system log
// without steering either.
std::string printable(std::string_view utf8);
std::string printable(const QString& text);

// Cuts a UTF-8 text to at most `limit` bytes (not inside a character) and
// appends a marker with the number of bytes cut.
void cutMessage(std::string& text, size_t limit = maxMessageBytes);

} // namespace Tessaly
