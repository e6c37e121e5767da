#pragma once

// The limits each benchmark measures beside its own work, over the same
// bytes in the same run, and the rates they all report.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

// Bytes (and, when given, items) handled per second.
inline void setRate(benchmark::State& state, size_t bytes, size_t items = 0)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    if (items)
        state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(items));
}

// Copying the bytes once: the least that touching them at all costs.
inline void memcpyLimit(benchmark::State& state, const void* bytes, size_t size, size_t items = 0)
{
    std::vector<char> copy(size);
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes, size);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    setRate(state, size, items);
}

// Finding every occurrence of one byte with memchr: for line feeds, the least
// that any line cutter does.
inline void memchrLimit(benchmark::State& state, const void* bytes, size_t size, int byte, size_t items = 0)
{
    for (auto _ : state) {
        size_t found = 0;
        const char* at = static_cast<const char*>(bytes);
        const char* const end = at + size;
        while (const void* hit = std::memchr(at, byte, static_cast<size_t>(end - at))) {
            at = static_cast<const char*>(hit) + 1;
            ++found;
        }
        benchmark::DoNotOptimize(found);
    }
    setRate(state, size, items);
}
