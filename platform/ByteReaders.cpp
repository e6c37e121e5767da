#include "platform/ProgrammingFiles.h"

#include <cstdio>

// Bytes missing at the end of the file read as zero.
namespace {

uint32_t readBigEndian(FILE* file, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const int byte = std::fgetc(file);
        value = (value << 8) | static_cast<uint32_t>(byte == EOF ? 0 : byte);
    }
    return value;
}

} // namespace

int skipBytes(FILE* file, int count)
{
    for (int i = 0; i < count; ++i)
        if (std::fgetc(file) == EOF)
            break;
    return std::feof(file) ? 1 : 0;
}

uint16_t readTwoBytes(FILE* file)
{
    return static_cast<uint16_t>(readBigEndian(file, 2));
}

uint32_t readFourBytes(FILE* file)
{
    return readBigEndian(file, 4);
}
