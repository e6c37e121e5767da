// Payload identifiers decoded per second, beside memcpy and memchr over the
// same bytes as the machine's own limit.
#include "framework/sdi/PayloadIdentifierFactory.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

using namespace Tessaly::Sdi;

namespace {

// Real identifiers with a random tail, as a monitor sees them across inputs.
std::vector<unsigned int> identifiers()
{
    const unsigned int real[] = {0x85052001, 0x89C98001, 0x8A492001, 0x844A0001, 0x81060001,
                                 0x81050001, 0xCEC98001, 0x97C98041, 0x87492001, 0x12345678};
    std::vector<unsigned int> words;
    std::mt19937 random(352);
    for (int i = 0; i < 4096; ++i)
        words.push_back(i % 4 == 3 ? static_cast<unsigned int>(random()) : real[i % 10]);
    return words;
}

void DecodeAndCheck(benchmark::State& state)
{
    const auto words = identifiers();
    for (auto _ : state) {
        for (const unsigned int word : words) {
            auto id = makePayloadIdentifier(word);
            benchmark::DoNotOptimize(id->getPictureRate());
            benchmark::DoNotOptimize(id->getPicutreInterlacedProgressivePsf());
            auto checks = id->doSmpteValidationChecks();
            benchmark::DoNotOptimize(checks);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * words.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * words.size() * 4));
}
BENCHMARK(DecodeAndCheck);

void DecodeToText(benchmark::State& state)
{
    const auto words = identifiers();
    for (auto _ : state) {
        for (const unsigned int word : words) {
            auto text = makePayloadIdentifier(word)->toHumanReadable(true);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * words.size()));
}
BENCHMARK(DecodeToText);

void LimitMemcpy(benchmark::State& state)
{
    const auto words = identifiers();
    std::vector<unsigned int> copy(words.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), words.data(), words.size() * sizeof(unsigned int));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * words.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * words.size() * 4));
}
BENCHMARK(LimitMemcpy);

void LimitMemchr(benchmark::State& state)
{
    const auto words = identifiers();
    // The same bytes with the sought one only at the very end.
    std::vector<unsigned char> bytes(words.size() * sizeof(unsigned int));
    std::memcpy(bytes.data(), words.data(), bytes.size());
    for (auto& byte : bytes)
        byte = byte == 0xEE ? 0xEF : byte;
    bytes.back() = 0xEE;
    for (auto _ : state) {
        const void* found = std::memchr(bytes.data(), 0xEE, bytes.size());
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * words.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(LimitMemchr);

} // namespace

BENCHMARK_MAIN();
