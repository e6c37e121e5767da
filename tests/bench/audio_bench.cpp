// Channel-status decoding rate, against copying the same blocks (the floor
// any decoder pays to look at a block).
#include "framework/audio/AudioChannelStatusDecoder.h"
#include "tests/bench/Limits.h"

#include <algorithm>
#include <random>

using namespace Tessaly;

namespace {

using ChannelStatus = AudioProcessingRegisterApi::ChannelStatus;
constexpr size_t count = 1024, bytes = count * sizeof(ChannelStatus);

const std::vector<ChannelStatus> blocks = [] {
    std::mt19937 generator(60958);
    std::vector<ChannelStatus> all(count);
    for (auto& cs : all) {
        std::generate(std::begin(cs.csWords), std::end(cs.csWords), generator);
        cs.valid = 1;
    }
    return all;
}();
const bool limits = registerLimits("OfBlocks", blocks.data(), bytes, count);

void decodeAll(benchmark::State& state)
{
    measure(state, bytes, count, [] {
        for (const auto& cs : blocks)
            benchmark::DoNotOptimize(AudioChannelStatusDecoder::decodeAll(cs));
    });
}
BENCHMARK(decodeAll);

} // namespace

BENCHMARK_MAIN();
