#pragma once

#include "tests/platform/SimulatedUnit.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>

// A whole host unit under a temporary root: an erased identity partition
// (mtd3), board ids 0 on every GPIO line, three PWM channels, a watchdog file
// and a boot-loader tool that records its arguments.
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

    void remove(const std::string& relative) const { std::filesystem::remove_all(path(relative)); }
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
