// Channel-status decoding rate, against copying the same 24-byte blocks (the
// floor any decoder pays to look at a block).
#include "framework/audio/AudioChannelStatusDecoder.h"
#include "tests/bench/Limits.h"

#include <algorithm>
#include <random>

using namespace Tessaly;

namespace {

using ChannelStatus = AudioProcessingRegisterApi::ChannelStatus;
constexpr size_t count = 1024, wordsPerBlock = std::size(ChannelStatus{}.csWords);
constexpr size_t bytes = count * sizeof(ChannelStatus::csWords);

const std::vector<uint32_t> words = [] {
    std::mt19937 generator(60958);
    std::vector<uint32_t> all(count * wordsPerBlock);
    std::generate(all.begin(), all.end(), generator);
    return all;
}();
const std::vector<ChannelStatus> blocks = [] {
    std::vector<ChannelStatus> all(count);
    for (size_t i = 0; i < count; ++i) {
        std::copy_n(&words[i * wordsPerBlock], wordsPerBlock, all[i].csWords);
        all[i].valid = 1;
    }
    return all;
}();
const bool limits = registerLimits("OfBlocks", words.data(), bytes, count);

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
