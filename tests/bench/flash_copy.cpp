// A 4 MiB image copied by the flash layer into a simulated partition (erase,
// then NOR writes that read and merge each chunk, with O_SYNC as on the unit),
// against memcpy of the same bytes. Figures are bytes per second of image.

#include "platform/Flash.h"
#include "tests/bench/Limits.h"
#include "tools/unitsim/SimulatedUnit.h"

namespace {

const std::string image = [] {
    std::string bytes(4 * 1024 * 1024, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 2654435761u >> 13);
    return bytes;
}();
const bool limits = registerLimits("", image.data(), image.size(), 0);

void FlashCopyToSimulatedPartition(benchmark::State& state)
{
    const SimulatedUnit unit({{3, "fpga", static_cast<uint32_t>(image.size()), 0x10000}});
    unit.write("image", image);
    // The erase always reports, and then every later copy: not measured.
    if (!std::freopen("/dev/null", "w", stderr))
        std::abort();
    const std::string source = unit.path("image"), target = unit.path("dev/mtd3");
    measure(state, image.size(), 0, [&] {
        if (flashCopy(source.c_str(), target.c_str(), -1, 0) != 0)
            state.SkipWithError("copy failed"); // ends the loop
    });
}
BENCHMARK(FlashCopyToSimulatedPartition)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
