// A target with a planted fault for the fuzz script's own test: it aborts on
// any input that starts with "crash".

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size >= 5 && std::memcmp(data, "crash", 5) == 0)
        std::abort();
    return 0;
}
