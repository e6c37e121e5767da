// A 4 MiB image copied by the flash layer into a simulated partition (erase,
// then NOR writes that read and merge each chunk, with O_SYNC as on the unit),
// against memcpy of the same bytes. Figures are bytes per second of image.

#include "platform/Flash.h"
#include "tests/bench/Limits.h"
#include "tests/platform/SimulatedUnit.h"

namespace {

constexpr size_t imageSize = 4 * 1024 * 1024;

std::string image()
{
    std::string bytes(imageSize, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 2654435761u >> 13);
    return bytes;
}

void Memcpy(benchmark::State& state)
{
    memcpyLimit(state, image().data(), imageSize);
}

void FlashCopyToSimulatedPartition(benchmark::State& state)
{
    const SimulatedUnit unit({{3, "fpga", imageSize, 0x10000}});
    unit.write("image", image());
    // The erase always reports, and then every later copy: not measured.
    if (!std::freopen("/dev/null", "w", stderr))
        std::abort();
    const std::string source = unit.path("image"), target = unit.path("dev/mtd3");
    for (auto _ : state)
        if (flashCopy(source.c_str(), target.c_str(), -1, 0) != 0) {
            state.SkipWithError("copy failed");
            break;
        }
    setRate(state, imageSize);
}

} // namespace

BENCHMARK(Memcpy);
BENCHMARK(FlashCopyToSimulatedPartition)->UseRealTime();
BENCHMARK_MAIN();
