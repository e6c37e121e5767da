#pragma once

#include "platform/PlatformRoot.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

using SimulatedPartition = std::tuple<int, const char*, uint32_t, uint32_t>;  // number, name, size, erase size

// A unit in a temporary directory, made the platform root: /proc/mtd lists
// the partitions and each dev/mtdN is a regular file at the partition's size,
// filled with `fill`.
class SimulatedUnit {
public:
    explicit SimulatedUnit(const std::vector<SimulatedPartition>& partitions, char fill = 0)
    {
        char pattern[] = "/tmp/simulated-unitXXXXXX";
        root = ::mkdtemp(pattern);
        std::string table = "dev:    size   erasesize  name\n";
        for (const auto& [number, name, size, eraseSize] : partitions) {
            char line[128];
            std::snprintf(line, sizeof line, "mtd%d: %08x %08x \"%s\"\n", number, size, eraseSize, name);
            table += line;
            write("dev/mtd" + std::to_string(number), std::string(size, fill));
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
    std::string read(const std::string& relative) const
    {
        std::ifstream in(path(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void remove(const std::string& relative) const { std::filesystem::remove_all(path(relative)); }

    std::string root;
};

// A whole host unit: an erased identity partition (mtd3), board ids 0 on
// every GPIO line, three PWM channels, a watchdog file and a boot-loader tool
// that records its arguments.
class SimulatedHostUnit : public SimulatedUnit {
public:
    SimulatedHostUnit()
        : SimulatedUnit({{3, "ident", 0x10000, 0x10000}}, '\xff')
    {
        for (int kind = 0; kind < 4; ++kind)
            setBoardId(kind, 0);
        for (const char* chip : {"pwmchip0", "pwmchip1", "pwmchip2"})
            for (const char* file : {"export", "pwm0/period", "pwm0/duty_cycle", "pwm0/enable"})
                write(std::string("sys/class/pwm/") + chip + "/" + file, "");
        write("dev/watchdog", "");
        write("var/volatile/.keep", "");
        setFwSetenvStatus(0);
    }

    static std::string gpio(unsigned line) { return "sys/class/gpio/gpio" + std::to_string(line) + "/value"; }

    void setBoardId(int kind, unsigned id) const
    {
        static const unsigned lines[4][7] = {{127, 126, 125, 124, 123, 122, 121},
                                             {508, 507, 506, 505, 504},
                                             {502, 501, 500, 499, 498, 497, 496},
                                             {113, 116, 115, 114}};
        static const int bits[4] = {7, 5, 7, 4};
        for (int bit = 0; bit < bits[kind]; ++bit)
            write(gpio(lines[kind][bit]), std::to_string((id >> (bits[kind] - 1 - bit)) & 1u) + "\n");
    }

    void setFwSetenvStatus(int status) const
    {
        write("usr/bin/fw_setenv", "#!/bin/sh\necho \"$@\" >> '" + path("fw_setenv.args") + "'\nexit "
                                     + std::to_string(status) + "\n");
        chmod(path("usr/bin/fw_setenv").c_str(), 0755);
    }
};
