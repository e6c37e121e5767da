// Payload identifiers decoded per second, beside memcpy over the same words
// as the machine's own limit.
#include "framework/sdi/PayloadIdentifierFactory.h"
#include "tests/bench/Limits.h"

#include <random>

using namespace Tessaly::Sdi;

namespace {

// Real identifiers with one in four random, as a monitor sees them across inputs.
const std::vector<unsigned int> identifiers = [] {
    const unsigned int real[] = {0x85052001, 0x89C98001, 0x8A492001, 0x844A0001, 0x81060001,
                                 0x81050001, 0xCEC98001, 0x97C98041, 0x87492001, 0x12345678};
    std::vector<unsigned int> all;
    std::mt19937 random(352);
    for (int i = 0; i < 4096; ++i)
        all.push_back(i % 4 == 3 ? static_cast<unsigned int>(random()) : real[i % 10]);
    return all;
}();
const size_t bytes = identifiers.size() * sizeof(unsigned int);
const bool limits = registerLimits("", identifiers.data(), bytes, identifiers.size());

void DecodeAndCheck(benchmark::State& state)
{
    measure(state, bytes, identifiers.size(), [] {
        for (const unsigned int word : identifiers) {
            auto id = makePayloadIdentifier(word);
            benchmark::DoNotOptimize(id->getPicutreInterlacedProgressivePsf());
            benchmark::DoNotOptimize(id->doSmpteValidationChecks());
        }
    });
}
BENCHMARK(DecodeAndCheck);

} // namespace

BENCHMARK_MAIN();
