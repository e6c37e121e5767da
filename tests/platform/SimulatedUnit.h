#pragma once

#include "platform/PlatformRoot.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

// A unit in a temporary directory: /proc/mtd lists the partitions and each
// dev/mtdN is a regular file at the partition's size, filled with `fill`.
struct SimulatedPartition {
    int number;
    const char* name;
    uint32_t size;
    uint32_t eraseSize;
};

class SimulatedUnit {
public:
    explicit SimulatedUnit(const std::vector<SimulatedPartition>& partitions, char fill = 0)
    {
        char pattern[] = "/tmp/simulated-unitXXXXXX";
        root = ::mkdtemp(pattern);
        std::filesystem::create_directories(root + "/dev");
        std::string table = "dev:    size   erasesize  name\n";
        for (const auto& p : partitions) {
            char line[128];
            std::snprintf(line, sizeof line, "mtd%d: %08x %08x \"%s\"\n", p.number, p.size, p.eraseSize, p.name);
            table += line;
            write("dev/mtd" + std::to_string(p.number), std::string(p.size, fill));
        }
        write("proc/mtd", table);
        platform_set_root(root.c_str());
    }
    ~SimulatedUnit()
    {
        platform_set_root(nullptr);
        std::filesystem::remove_all(root);
    }
    std::string path(const std::string& relative) const { return root + "/" + relative; }
    void write(const std::string& relative, const std::string& bytes) const
    {
        std::filesystem::create_directories(std::filesystem::path(path(relative)).parent_path());
        std::ofstream(path(relative), std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string read(const std::string& relative) const { return readFile(path(relative)); }
    static std::string readFile(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string root;
};

// What the code under test prints, caught at the descriptor.
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

// A FILE* reading the given bytes.
inline FILE* memoryFile(const std::string& bytes)
{
    return ::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
}
