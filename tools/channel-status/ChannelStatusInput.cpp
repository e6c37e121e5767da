#include "tools/channel-status/ChannelStatusInput.h"

#include <cctype>
#include <vector>

namespace Tessaly {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ':' || c == ',' || c == '-' || c == '\r' || c == '\n';
}

} // namespace

std::optional<ChannelStatusBytes> parseChannelStatusHex(const std::string& text, std::string& error)
{
    std::vector<std::string> groups;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isSeparator(c)) {
            if (!current.empty())
                groups.push_back(current);
            current.clear();
        } else if (c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') && current.empty()) {
            ++i;
        } else if (hexDigit(c) >= 0) {
            current += c;
        } else {
            error = std::string("not a hex digit: '") + c + "'";
            return std::nullopt;
        }
    }
    if (!current.empty())
        groups.push_back(current);

    std::string digits;
    if (groups.size() == 1) {
        digits = groups.front();
    } else {
        for (const std::string& group : groups) {
            if (group.size() > 2) {
                error = "a group of more than two hex digits: " + group;
                return std::nullopt;
            }
            digits += (group.size() == 1 ? "0" : "") + group;
        }
    }
    if (digits.size() != 48) {
        error = "expected 24 bytes, got " + std::to_string(digits.size() / 2);
        return std::nullopt;
    }
    ChannelStatusBytes bytes{};
    for (std::size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = static_cast<uint8_t>(hexDigit(digits[2 * k]) * 16 + hexDigit(digits[2 * k + 1]));
    return bytes;
}

std::string printableText(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code < 0xA0) || code == '\\')
            out += QStringLiteral("\\x") + QString::number(code, 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out.toStdString();
}

} // namespace Tessaly
