// Any bytes as a bitstream file, checked with and without the design-field
// summary (first byte): the result is a listed code or a length, and a length
// leaves the file at the byte after the header.

#include "platform/ProgrammingFiles.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The summaries are not looked at; libFuzzer keeps its own stream for reports.
bool silence()
{
    stdout = std::fopen("/dev/null", "w");
    return stdout != nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced = silence();
    if (!silenced || size < 2)
        return 0;
    FILE* file = ::fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb");
    if (file == nullptr)
        return 0;
    const bool verbose = data[0] & 1;
    const int result = bitfileParseHeader(file, verbose);
    const bool designCode = (result <= -6 && result >= -9) || result == -19;
    if (result < -19 || (designCode && !verbose))
        std::abort();
    if (result >= 0 && std::ftell(file) < 30) // the shortest possible header
        std::abort();
    std::fclose(file);
    return 0;
}
