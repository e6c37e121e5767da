// Any bytes as a JEDEC file: the header is read (quiet or not, first byte),
// then the fuse rows that follow with the row width of the second byte. Each
// returns one of its listed codes, and a fuse dump writes whole rows only.

#include "platform/ProgrammingFiles.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Summaries and diagnostics are not looked at; libFuzzer and the sanitizers
    // report through their own stream and descriptor.
    static const bool silenced = (stdout = std::fopen("/dev/null", "w")) && (stderr = std::fopen("/dev/null", "w"));
    static FILE* rows = std::tmpfile();
    if (!silenced || rows == nullptr || size < 3)
        return 0;
    FILE* file = ::fmemopen(const_cast<uint8_t*>(data + 2), size - 2, "rb");
    if (file == nullptr)
        return 0;
    const int header = jedParseHeader(file, data[0] & 1);
    check(header >= -6 && (header < 0 || header % 16 == 0 || (data[0] & 1)), "a listed header code");
    const int bitsPerRow = data[1] + 1;
    std::rewind(rows);
    const int count = jedDumpBinaryFuseData(file, bitsPerRow, rows);
    const long written = std::ftell(rows);
    check(count >= -5 && (count < 0 || written == static_cast<long>(count) * ((bitsPerRow + 7) / 8)),
          "a listed code, whole rows written");
    std::fclose(file);
    return 0;
}
