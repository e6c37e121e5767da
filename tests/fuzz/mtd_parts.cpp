// Any "/proc/mtd" text: the table is parsed or the parse throws the number
// conversion's own exceptions; every entry is stored under its partition name
// with the ':' and '"' characters gone.

#include "platform/MtdParts.h"
#include "tests/fuzz/Check.h"

#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        for (const auto& [name, entry] : parseMtdPartsText(std::string(data, data + size), nullptr))
            check(name == entry.partition && entry.partition.find('"') == std::string::npos
                      && entry.node.find(':') == std::string::npos,
                  "entries under their bare partition names");
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
    return 0;
}
