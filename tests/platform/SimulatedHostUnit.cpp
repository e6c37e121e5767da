#include "tests/platform/SimulatedHostUnit.h"

#include "platform/PlatformRoot.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const unsigned boardLines[4][7] = {
    {127, 126, 125, 124, 123, 122, 121},
    {508, 507, 506, 505, 504},
    {502, 501, 500, 499, 498, 497, 496},
    {113, 116, 115, 114},
};
const int boardBits[4] = {7, 5, 7, 4};

} // namespace

SimulatedHostUnit::SimulatedHostUnit()
{
    std::string pattern = (fs::temp_directory_path() / "simunit-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_root = pattern;
    for (int kind = 0; kind < 4; ++kind)
        setBoardId(kind, 0);
    for (const char* chip : {"pwmchip0", "pwmchip1", "pwmchip2"}) {
        const std::string dir = std::string("/sys/class/pwm/") + chip;
        writeFile(dir + "/export", "");
        for (const char* file : {"period", "duty_cycle", "enable"})
            writeFile(dir + "/pwm0/" + file, "");
    }
    writeFile("/proc/mtd", "dev:    size   erasesize  name\nmtd0: 00100000 00010000 \"u-boot\"\n"
                           "mtd3: 00010000 00010000 \"ident\"\n");
    writeFile("/dev/mtd3", std::string(0x10000, '\xff'));
    writeFile("/dev/watchdog", "");
    fs::create_directories(path("/var/volatile"));
    setFwSetenvStatus(0);
    platform_set_root(m_root.c_str());
}

SimulatedHostUnit::~SimulatedHostUnit()
{
    platform_set_root(nullptr);
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

void SimulatedHostUnit::setGpio(std::initializer_list<unsigned> lines, const std::string& bits)
{
    size_t i = 0;
    for (unsigned line : lines)
        writeFile("/sys/class/gpio/gpio" + std::to_string(line) + "/value", std::string(1, bits.at(i++)) + "\n");
}

void SimulatedHostUnit::setBoardId(int kind, unsigned id)
{
    for (int bit = 0; bit < boardBits[kind]; ++bit) {
        const unsigned value = (id >> (boardBits[kind] - 1 - bit)) & 1u;
        writeFile("/sys/class/gpio/gpio" + std::to_string(boardLines[kind][bit]) + "/value",
                  std::to_string(value) + "\n");
    }
}

void SimulatedHostUnit::removeGpio(unsigned line)
{
    remove("/sys/class/gpio/gpio" + std::to_string(line) + "/value");
}

void SimulatedHostUnit::writeFile(const std::string& fixedPath, const std::string& content) const
{
    const fs::path file = path(fixedPath);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
}

std::string SimulatedHostUnit::readFile(const std::string& fixedPath) const
{
    std::ifstream file(path(fixedPath), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

void SimulatedHostUnit::remove(const std::string& fixedPath) const
{
    fs::remove_all(path(fixedPath));
}

void SimulatedHostUnit::setFwSetenvStatus(int status) const
{
    writeFile("/usr/bin/fw_setenv",
              "#!/bin/sh\necho \"$@\" >> '" + m_root + "/fw_setenv.args'\nexit " + std::to_string(status) + "\n");
    chmod(path("/usr/bin/fw_setenv").c_str(), 0755);
}
