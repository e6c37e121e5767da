#pragma once

#include "platform/HealthSensors.h"

#include <string>
#include <vector>

namespace unitctl {

// A reading the operator should look at: invalid, or outside its limits.
bool outOfLimits(const Tessaly::sensorData& sensor);

// Aligned table, one line per reading; out-of-limit lines carry a "!" mark,
// in red when colour is asked for.
std::string sensorTableText(const std::vector<Tessaly::sensorData>& sensors, bool colour);

// One JSON array on one line.
std::string sensorTableJson(const std::vector<Tessaly::sensorData>& sensors);

} // namespace unitctl
