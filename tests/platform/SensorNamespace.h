#pragma once

#include <map>
#include <string>
#include <vector>

// Hardware-monitor devices for libsensors: hwmon directory name -> attribute
// file -> content.
using HwmonTree = std::map<std::string, std::map<std::string, std::string>>;

// Moves the calling process into a private mount namespace in which
// /sys/class holds only `tree` (under hwmon/), /etc/sensors3.conf reads
// `config` and /etc/sensors.d is empty. Needs root; meant for a child
// process. Returns an empty text, or what failed.
std::string enterSensorNamespace(const HwmonTree& tree, const std::string& config);

// Registers "KWLOG" at trace level keeping each record as "<level>: <text>".
class KwlogRecorder {
public:
    KwlogRecorder();
    ~KwlogRecorder();
    std::vector<std::string> records() const;
    bool has(const std::string& level, const std::string& text) const;
};
