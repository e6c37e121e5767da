#include "platform/ProgrammingFiles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The length-prefixed text after a key byte; false when the file ends early.
bool readField(FILE* file, std::string& text)
{
    const uint16_t length = readTwoBytes(file);
    text.assign(length, '\0');
    if (length != 0 && std::fread(&text[0], 1, length, file) != length)
        return false;
    text.resize(std::strlen(text.c_str())); // the field is NUL-terminated
    return true;
}

bool startsWith(const std::string& text, size_t at, const char* prefix)
{
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

// Design name; an optional other field; UserID carrying the design version;
// the tool version. Returns 0 or the negative code of the first bad field.
int printDesignField(const std::string& design)
{
    size_t separator = design.find(';');
    if (separator == std::string::npos) {
        std::printf("design: %s\n", design.c_str());
        return -6;
    }
    std::printf("design: %s\n", design.substr(0, separator).c_str());
    size_t field = separator + 1;
    if (!startsWith(design, field, "UserID")) {
        separator = design.find(';', field);
        if (separator == std::string::npos)
            return -19;
        field = separator + 1;
    }
    separator = design.find(';', field);
    const std::string userIdField = design.substr(field, separator == std::string::npos ? std::string::npos : separator - field);
    size_t digits;
    if (startsWith(userIdField, 0, "UserID=0X"))
        digits = 9;
    else if (startsWith(userIdField, 0, "UserID="))
        digits = 7;
    else
        return -7;
    const uint32_t userId = static_cast<uint32_t>(std::strtoul(userIdField.c_str() + digits, nullptr, 16));
    std::printf("version: %d-%d.%d%s\n", static_cast<int>((userId >> 16) & 0x7FFF), static_cast<int>((userId >> 8) & 0xFF),
                static_cast<int>(userId & 0xFF), (userId & 0x80000000u) ? "(dev)" : "");
    if (separator == std::string::npos)
        return -8;
    const std::string version = design.substr(separator + 1);
    if (!startsWith(version, 0, "Version="))
        return -9;
    std::printf("vivado: %s\n", version.c_str() + 8);
    return 0;
}

// A short text field after `key`: its length must be below 16.
int readShortField(FILE* file, int key, int badKey, const char* label, int verbose)
{
    if (std::fgetc(file) != key)
        return badKey;
    const uint16_t length = readTwoBytes(file);
    if (length >= 16)
        return badKey - 1;
    char text[16] = {};
    if (std::fread(text, 1, length, file) != length)
        return badKey - 2;
    if (verbose)
        std::printf("%s: %s\n", label, text);
    return 0;
}

} // namespace

int bitfileParseHeader(FILE* file, int verbose)
{
    if (readTwoBytes(file) != 9)
        return -1;
    if (skipBytes(file, 9))
        return -2;
    if (readTwoBytes(file) != 1)
        return -3;
    if (std::fgetc(file) != 'a')
        return -4;
    std::string design;
    if (!readField(file, design))
        return -5;
    if (verbose) {
        if (const int result = printDesignField(design); result != 0)
            return result;
    }
    if (std::fgetc(file) != 'b')
        return -10;
    std::string part;
    if (!readField(file, part))
        return -11;
    if (verbose)
        std::printf("device: %s\n", part.c_str());
    if (const int result = readShortField(file, 'c', -12, "date", verbose); result != 0)
        return result;
    if (const int result = readShortField(file, 'd', -15, "time", verbose); result != 0)
        return result;
    if (std::fgetc(file) != 'e')
        return -18;
    const uint32_t size = readFourBytes(file);
    if (verbose)
        std::printf("size: %zu\n", static_cast<size_t>(size));
    // Returned as an int, which cannot tell lengths past 2 GiB apart.
    return size > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(size);
}
