// Channel-status decoding rate, against copying the same 24 bytes (the
// floor any decoder pays to look at a block).
#include "framework/audio/AudioChannelStatusDecoder.h"
#include "framework/audio/ChannelStatusCrc.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

using namespace Tessaly;

namespace {

std::vector<AudioProcessingRegisterApi::ChannelStatus> randomBlocks()
{
    std::mt19937 random(60958);
    std::vector<AudioProcessingRegisterApi::ChannelStatus> blocks(1024);
    for (auto& cs : blocks) {
        for (uint32_t& word : cs.csWords)
            word = random();
        cs.valid = 1;
    }
    return blocks;
}

void memcpyOfBlocks(benchmark::State& state)
{
    const auto blocks = randomBlocks();
    uint32_t copy[6];
    size_t i = 0;
    for (auto _ : state) {
        std::memcpy(copy, blocks[i++ & 1023].csWords, sizeof copy);
        benchmark::DoNotOptimize(copy);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(memcpyOfBlocks);

void decodeAll(benchmark::State& state)
{
    const auto blocks = randomBlocks();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(AudioChannelStatusDecoder::decodeAll(blocks[i++ & 1023]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(decodeAll);

void computedCrc(benchmark::State& state)
{
    const auto blocks = randomBlocks();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(checkChannelStatusCrc(blocks[i++ & 1023].csWords));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(computedCrc);

} // namespace

BENCHMARK_MAIN();
