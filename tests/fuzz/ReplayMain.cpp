// Runs a fuzz target's harness over every input of its corpus, in builds
// without libFuzzer: the checked-in corpus, regression inputs included, is
// then part of the ordinary unit run with any compiler.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    if (argc == 2)
        for (const auto& entry : std::filesystem::directory_iterator(argv[1], error))
            inputs.push_back(entry.path());
    if (inputs.empty()) { // a missing corpus must not pass as a clean one
        std::fprintf(stderr, "Usage: %s CORPUS_DIR (with at least one input)\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::sort(inputs.begin(), inputs.end());
    for (const auto& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        std::printf("%s (%zu bytes)\n", input.c_str(), bytes.size());
        std::fflush(stdout); // the last name printed is the input that failed
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed without a finding\n", inputs.size());
    return 0;
}
