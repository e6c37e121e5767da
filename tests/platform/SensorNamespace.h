#pragma once

#include <map>
#include <string>

// Hardware-monitor devices for libsensors: hwmon directory -> attribute -> content.
using HwmonTree = std::map<std::string, std::map<std::string, std::string>>;

// Moves the calling process (a child, as root) into a private mount namespace
// where /sys/class holds only `tree` under hwmon/, /etc/sensors3.conf reads
// `config` and /etc/sensors.d is empty. Returns "" or what failed.
std::string enterSensorNamespace(const HwmonTree& tree, const std::string& config);

// Registers "KWLOG" at trace level; true when a record at `level` contains `text`.
void recordKwlog();
bool kwlogHas(const std::string& level, const std::string& text);
