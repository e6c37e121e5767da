#pragma once

// The limits each benchmark measures beside its own work, over the same
// bytes in the same run, and the rates they all report.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Runs work once per iteration; reports bytes (and, when given, items) per second.
template <class Work>
void measure(benchmark::State& state, size_t bytes, size_t items, Work work)
{
    for (auto _ : state)
        work();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    if (items)
        state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(items));
}

// Registers the limits over bytes that outlive the run: Memcpy<name> copies
// them once, the least that touching them at all costs; for text,
// MemchrLines<name> finds every line feed, the least that any line cutter does.
inline bool registerLimits(const std::string& name, const void* bytes, size_t size, size_t items, bool lines = false)
{
    benchmark::RegisterBenchmark(("Memcpy" + name).c_str(), [=](benchmark::State& state) {
        std::vector<char> copy(size);
        measure(state, size, items, [&] {
            std::memcpy(copy.data(), bytes, size);
            benchmark::DoNotOptimize(copy.data());
            benchmark::ClobberMemory();
        });
    });
    if (lines)
        benchmark::RegisterBenchmark(("MemchrLines" + name).c_str(), [=](benchmark::State& state) {
            measure(state, size, items, [&] {
                size_t found = 0;
                const char* at = static_cast<const char*>(bytes);
                const char* const end = at + size;
                while (const void* hit = std::memchr(at, '\n', static_cast<size_t>(end - at))) {
                    at = static_cast<const char*>(hit) + 1;
                    ++found;
                }
                benchmark::DoNotOptimize(found);
            });
        });
    return true;
}
