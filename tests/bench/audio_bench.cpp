// Channel-status decoding rate, against copying the same 24-byte blocks (the
// floor any decoder pays to look at a block).
#include "framework/audio/AudioChannelStatusDecoder.h"
#include "framework/audio/ChannelStatusCrc.h"
#include "tests/bench/Limits.h"

#include <random>

using namespace Tessaly;

namespace {

using ChannelStatus = AudioProcessingRegisterApi::ChannelStatus;

const std::vector<ChannelStatus> blocks = [] {
    std::mt19937 generator(60958);
    std::vector<ChannelStatus> all(1024);
    for (auto& cs : all) {
        for (uint32_t& word : cs.csWords)
            word = generator();
        cs.valid = 1;
    }
    return all;
}();
constexpr size_t blockBytes = sizeof(ChannelStatus::csWords);

void memcpyOfBlocks(benchmark::State& state)
{
    std::vector<uint32_t> words;
    for (const auto& cs : blocks)
        words.insert(words.end(), std::begin(cs.csWords), std::end(cs.csWords));
    memcpyLimit(state, words.data(), blocks.size() * blockBytes, blocks.size());
}
BENCHMARK(memcpyOfBlocks);

void decodeAll(benchmark::State& state)
{
    for (auto _ : state)
        for (const auto& cs : blocks)
            benchmark::DoNotOptimize(AudioChannelStatusDecoder::decodeAll(cs));
    setRate(state, blocks.size() * blockBytes, blocks.size());
}
BENCHMARK(decodeAll);

void computedCrc(benchmark::State& state)
{
    for (auto _ : state)
        for (const auto& cs : blocks)
            benchmark::DoNotOptimize(checkChannelStatusCrc(cs.csWords));
    setRate(state, blocks.size() * blockBytes, blocks.size());
}
BENCHMARK(computedCrc);

} // namespace

BENCHMARK_MAIN();
