#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Tessaly {

// One labelled reading with its limits, as handed out.
struct sensorData {
    std::string label;
    double value;
    double lowerLimit;
    double upperLimit;
    double lowerOuterLimit;
    double upperOuterLimit;
    bool marked;
    double scale;
    uint32_t alarmCount;
    bool valid;
};

class healthSensorsPimpl;

// The unit's hardware monitoring chips through libsensors, labelled and
// limited by the fitted main board. One instance at a time per process; the
// "KWLOG" logger receives the diagnostics.
class healthSensors {
public:
    // Throws std::runtime_error when libsensors cannot start, the main board
    // id is outside 0..127 or no reading was found.
    healthSensors(int mainBoardId, int frontPanelId);
    ~healthSensors();
    healthSensors(const healthSensors&) = delete;
    healthSensors& operator=(const healthSensors&) = delete;

    // Labelled entries in ascending key order.
    std::vector<sensorData> getAllCachedSensors() const;
    void updateSensorsCache();

private:
    std::unique_ptr<healthSensorsPimpl> m_pimpl;
};

} // namespace Tessaly
