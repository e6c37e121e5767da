#pragma once

#include <map>
#include <string>

// hwmon device (hwmon0, ...) -> attribute file -> its content
using HwmonTree = std::map<std::string, std::map<std::string, std::string>>;

// Moves the calling process (root only) into a private mount namespace where
// /sys/class holds only `tree` under hwmon/, /etc/sensors3.conf reads
// `config` and /etc/sensors.d is empty, so that libsensors finds only the
// simulated chips. Nothing outside the namespace changes. Returns "" or what
// failed.
std::string enterSensorNamespace(const HwmonTree& tree, const std::string& config);
