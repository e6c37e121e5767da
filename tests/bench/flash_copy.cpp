// A 4 MiB image copied by the flash layer into a simulated partition (erase,
// then NOR writes that read and merge each chunk) and into a plain file,
// against cp of the same file and memcpy of the same bytes. Figures are bytes
// per second of image. Both flash-layer destinations are written with O_SYNC,
// as on the unit; cp is not.

#include "platform/Flash.h"
#include "tests/bench/Limits.h"
#include "tests/platform/SimulatedUnit.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr size_t imageSize = 4 * 1024 * 1024;

// A simulated unit with one 4 MiB partition (64 KiB erase blocks) and the image.
struct Unit : SimulatedUnit {
    Unit() : SimulatedUnit({{3, "fpga", imageSize, 0x10000}})
    {
        std::string bytes(imageSize, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 2654435761u >> 13);
        write("dev/mtd3", bytes);
        write("image", bytes);
        // The erase always reports, and then every later copy: not measured.
        if (!std::freopen("/dev/null", "w", stderr))
            std::abort();
    }
};

const Unit& unit()
{
    static const Unit instance;
    return instance;
}

void Memcpy(benchmark::State& state)
{
    const std::vector<char> image(imageSize, 'x');
    memcpyLimit(state, image.data(), imageSize);
}

void CpFile(benchmark::State& state)
{
    const std::string source = unit().path("image"), destination = unit().path("cp-copy");
    for (auto _ : state) {
        const char* argv[] = {"cp", source.c_str(), destination.c_str(), nullptr};
        pid_t child = 0;
        int status = 0;
        if (::posix_spawnp(&child, "cp", nullptr, nullptr, const_cast<char**>(argv), environ) != 0
            || ::waitpid(child, &status, 0) != child || status != 0) {
            state.SkipWithError("cp failed");
            break;
        }
    }
    setRate(state, imageSize);
}

// The image through the flash layer into `destination` under the unit.
void flashCopyInto(benchmark::State& state, const char* destination)
{
    const std::string source = unit().path("image"), target = unit().path(destination);
    for (auto _ : state)
        if (flashCopy(source.c_str(), target.c_str(), -1, 0) != 0) {
            state.SkipWithError("copy failed");
            break;
        }
    setRate(state, imageSize);
}

void FlashCopyToFile(benchmark::State& state) { flashCopyInto(state, "flash-copy"); }
void FlashCopyToSimulatedPartition(benchmark::State& state) { flashCopyInto(state, "dev/mtd3"); }

} // namespace

BENCHMARK(Memcpy);
BENCHMARK(CpFile)->UseRealTime();
BENCHMARK(FlashCopyToFile)->UseRealTime();
BENCHMARK(FlashCopyToSimulatedPartition)->UseRealTime();
BENCHMARK_MAIN();
