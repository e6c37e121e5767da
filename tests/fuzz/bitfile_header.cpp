// Any bytes as a bitstream file, checked with and without the design-field
// summary (first byte): the result is a listed code or a length, and a length
// leaves the file past the header's last key.

#include "platform/ProgrammingFiles.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The summaries are not looked at; libFuzzer keeps its own stream for reports.
    static const bool silenced = (stdout = std::fopen("/dev/null", "w")) != nullptr;
    if (!silenced || size < 2)
        return 0;
    FILE* file = ::fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb");
    if (file == nullptr)
        return 0;
    const bool verbose = data[0] & 1;
    const int result = bitfileParseHeader(file, verbose);
    const bool designCode = (result <= -6 && result >= -9) || result == -19;
    check(result >= -19 && (verbose || !designCode), "a listed code");
    // A length means the reader got past the 'e' key (26 bytes at least); the
    // four length bytes may be missing, since the byte readers take a missing
    // byte as 0.
    check(result < 0 || std::ftell(file) >= 26, "a length only past the 'e' key");
    std::fclose(file);
    return 0;
}
