// Runs a fuzz target's harness over every input of its corpus, in builds
// without libFuzzer: the checked-in corpus, regression inputs included, is
// then part of the ordinary unit run with any compiler.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    std::set<std::filesystem::path> inputs; // in name order, the same every run
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argc == 2 ? argv[1] : "", error))
        inputs.insert(entry.path());
    if (inputs.empty()) { // a missing corpus must not pass as a clean one
        std::fprintf(stderr, "Usage: %s CORPUS_DIR (with at least one input)\n", argv[0]);
        return 2;
    }
    for (const auto& input : inputs) {
        std::printf("%s\n", input.c_str());
        std::fflush(stdout); // the last name printed is the input that failed
        std::ifstream file(input, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    return 0;
}
