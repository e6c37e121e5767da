#include "logging/Printable.h"

#include <cstdio>

namespace Tessaly {

namespace {

void appendEscaped(std::string& out, unsigned code)
{
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", code & 0xffu);
    out += escaped;
}

} // namespace

std::string printable(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x20 || byte == 0x7f) {
            appendEscaped(out, byte);
        } else if (byte == 0xc2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80
                   && static_cast<unsigned char>(utf8[i + 1]) <= 0x9f) {
            // U+0080 to U+009F: the 8-bit controls (CSI among them) in UTF-8.
            appendEscaped(out, static_cast<unsigned char>(utf8[++i]));
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

std::string printable(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return printable(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

void cutMessage(std::string& text, size_t limit)
{
    if (text.size() <= limit)
        return;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80)
        --end;
    const size_t cut = text.size() - end;
    text.resize(end);
    text += " [... " + std::to_string(cut) + " bytes cut]";
}

} // namespace Tessaly
