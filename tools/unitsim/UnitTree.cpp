#include "tools/unitsim/UnitTree.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace UnitTree {

void write(const std::string& root, const std::string& relative, const std::string& bytes)
{
    const std::filesystem::path path = root + "/" + relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!(out << bytes))
        throw std::runtime_error("cannot write " + path.string());
}

std::string read(const std::string& root, const std::string& relative)
{
    std::ifstream in(root + "/" + relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void addPartitions(const std::string& root, const std::vector<Partition>& partitions, char fill)
{
    std::string table = "dev:    size   erasesize  name\n";
    for (const auto& p : partitions) {
        char line[160];
        std::snprintf(line, sizeof line, "mtd%d: %08x %08x \"%s\"\n", p.number, p.size, p.eraseSize, p.name.c_str());
        table += line;
        write(root, "dev/mtd" + std::to_string(p.number), std::string(p.size, fill));
    }
    write(root, "proc/mtd", table);
}

std::string gpio(unsigned line) { return "sys/class/gpio/gpio" + std::to_string(line) + "/value"; }

void setBoardId(const std::string& root, int kind, unsigned id)
{
    static const std::vector<unsigned> lines[4] = {{127, 126, 125, 124, 123, 122, 121},
                                                   {508, 507, 506, 505, 504},
                                                   {502, 501, 500, 499, 498, 497, 496},
                                                   {113, 116, 115, 114}};
    const auto& bits = lines[kind];
    for (std::size_t bit = 0; bit < bits.size(); ++bit)
        write(root, gpio(bits[bit]), std::to_string((id >> (bits.size() - 1 - bit)) & 1u) + "\n");
}

void setFwSetenvStatus(const std::string& root, int status)
{
    write(root, "usr/bin/fw_setenv",
          "#!/bin/sh\necho \"$@\" >> '" + root + "/fw_setenv.args'\nexit " + std::to_string(status) + "\n");
    ::chmod((root + "/usr/bin/fw_setenv").c_str(), 0755);
}

void setFpgaStatus(const std::string& root, const std::string& version, unsigned designId)
{
    write(root, "proc/tessaly_pcie",
          "fpga_version: " + version + "\nfpga_design_id: " + std::to_string(designId) + "\n");
}

void addHostUnit(const std::string& root)
{
    addPartitions(root, {{3, "ident", 0x10000, 0x10000}}, '\xff');
    for (int kind = 0; kind < 4; ++kind)
        setBoardId(root, kind, 0);
    for (const char* chip : {"pwmchip0", "pwmchip1", "pwmchip2"})
        for (const char* file : {"export", "pwm0/period", "pwm0/duty_cycle", "pwm0/enable"})
            write(root, std::string("sys/class/pwm/") + chip + "/" + file, "");
    write(root, "dev/watchdog", "");
    write(root, "var/volatile/.keep", "");
    setFwSetenvStatus(root, 0);
}

} // namespace UnitTree
