#include "platform/HealthSensors.h"

#include "platform/BoardLibrary.h"

#include <sensors/sensors.h>
#include <spdlog/spdlog.h>

#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <new>
#include <stdexcept>

namespace Tessaly {

namespace {

constexpr double maxDouble = DBL_MAX;

struct TableRow {
    const char* key;
    const char* label;
    double lower, upper, lowerOuter, upperOuter;
    bool marked;
    double scale;  // 0: leave the entry's scale alone
};

// Main board ids 0..63.
const TableRow firstBoardTable[] = {
    {"ultrascale-kintextemp1_inputtemp1", "FPGA Temperature (C)", 1, 80, 0, 85, true, 0},
    {"imx_thermal_zonetemp1_inputtemp1", "CPU Temperature (C)", 1, 80, 0, 85, true, 0},
    {"isppacin0_input5V5", "5.5V", 5.08, 5.677, 5.055, 5.705, true, 0},
    {"isppacin5_inputDDR3_VDD", "DDR3_VDD 1.5V", 1.296, 1.564, 1.289, 1.572, true, 0},
    {"adt7473in2_input+3.3V", "Fan Controller 3.3V", 3.06, 3.528, 3.0, 3.6, false, 0},
    {"adt7473fan2_inputfan2", "Left Fan RPM", 1, maxDouble, 0, maxDouble, true, 0},
    {"adt7473fan3_inputfan3", "Centre Fan RPM", 1, maxDouble, 0, maxDouble, true, 0},
    {"adt7473fan1_inputfan1", "Right Fan RPM", 1, maxDouble, 0, maxDouble, true, 0},
    {"adt7473temp1_inputtemp1", "Left unit temperature (C)", 1, 70, 0, 75, false, 0},
    {"adt7473temp2_inputBoard Temp", "Center unit temperature (C)", 1, 70, 0, 75, false, 0},
    {"adt7473temp3_inputtemp3", "Right unit temperature (C)", 1, 70, 0, 75, false, 0},
    {"isppacin1_inputSYS_3V3", "SYS_3V3 3.3V", 3.17, 3.422, 3.155, 3.44, false, 0},
    {"isppacin2_input3V3", "3.3V", 3.17, 3.422, 3.155, 3.44, false, 0},
    {"isppacin3_input2V5", "2.5V", 2.403, 2.596, 2.391, 2.609, false, 0},
    {"isppacin4_input1V8", "1.8V", 1.731, 1.877, 1.723, 1.887, false, 0},
    {"isppacin6_input0V95", "0.95V", 0.91, 0.984, 0.906, 0.989, false, 0},
    {"isppacin7_input1V8MGT", "VMGTVCCAUX 1.8V", 1.731, 1.877, 1.723, 1.887, false, 0},
    {"isppacin8_input1V2MGT", "VMGTAVTT 1.2V", 1.125, 1.249, 1.12, 1.256, false, 0},
    {"isppacin9_input1V0MGT", "VMGTAVCC 1.0V", 0.962, 1.043, 0.957, 1.049, false, 0},
    {"isppacin10_inputVDDSOC", "VDDSOC(IMX6) 1.375", 1.288, 1.485, 1.275, 1.5, false, 0},
    {"ultrascale-kintexin0_inputVCCINT", "FPGA VCCINT 0.95V", 0.931, 0.969, 0.922, 0.979, false, 0},
    {"ultrascale-kintexin1_inputVCCAUX", "FPGA VCCAUX 1.8V", 1.763, 1.835, 1.746, 1.854, false, 0},
    {"ultrascale-kintexin5_inputVCCBRAM", "FPGA VCCBRAM 0.95V", 0.931, 0.969, 0.922, 0.979, false, 0},
    {"ultrascale-kintexin6_inputVUSER0", "FPGA 2.5V", 2.399, 2.599, 2.375, 2.625, false, 2},
    {"ultrascale-kintexin7_inputVUSER1", "FPGA 3.3V", 3.166, 3.365, 3.135, 3.399, false, 2},
    {"ultrascale-kintexin9_inputVUSER3", "FPGA DDR3 Vdd (M1)", 1.296, 1.559, 1.283, 1.575, false, 0},
};

constexpr const char* centreFanKey = "adt7473fan3_inputfan3";

// Main board ids 64..127.
const TableRow secondBoardTable[] = {
    {"ultrascale-kintextemp1_inputtemp1", "FPGA Temperature (C)", 1, 80, 0, 100, true, 0},
    {"imx_thermal_zonetemp1_inputtemp1", "CPU Temperature (C)", 1, 80, 0, 85, true, 0},
    {"isppacin0_input5V5", "5.5V", 5.055, 5.705, 5.048, 5.714, true, 0},
    {"isppacin5_inputDDR4_VDD", "DDR4_VDD 1.2V", 1.146, 1.254, 1.144, 1.256, true, 0},
    {"adt7473in2_input+3.3V", "Fan Controller 3.3V", 3.06, 3.528, 3.0, 3.6, false, 0},
    {"adt7473fan2_inputfan2", "Left Fan RPM", 1, maxDouble, 0, maxDouble, true, 0},
    {centreFanKey, "Centre Fan RPM", 1, maxDouble, 0, maxDouble, true, 0},
    {"adt7473fan1_inputfan1", "Right Fan RPM", 1, maxDouble, 0, maxDouble, true, 0},
    {"adt7473temp1_inputtemp1", "Left unit temperature (C)", 1, 70, 0, 75, false, 0},
    {"adt7473temp2_inputBoard Temp", "Center unit temperature (C)", 1, 70, 0, 75, false, 0},
    {"adt7473temp3_inputtemp3", "Right unit temperature (C)", 1, 70, 0, 75, false, 0},
    {"isppacin1_inputSYS_3V3", "SYS_3V3 3.3V", 3.151, 3.448, 3.146, 3.453, false, 0},
    {"isppacin2_input3V3", "3.3V", 3.151, 3.382, 3.146, 3.387, false, 0},
    {"isppacin3_input2V5", "2.5V", 2.387, 2.612, 2.383, 2.616, false, 0},
    {"isppacin4_input1V8", "1.8V", 1.749, 1.852, 1.746, 1.854, false, 0},
    {"isppacin6_input0V85", "0.85V", 0.829, 0.872, 0.828, 0.873, false, 0},
    {"isppacin7_input1V8MGT", "VMGTVCCAUX 1.8V", 1.755, 1.845, 1.752, 1.848, false, 0},
    {"isppacin8_input1V2MGT", "VMGTAVTT 1.2V", 1.169, 1.233, 1.167, 1.235, false, 0},
    {"isppacin9_input0V9MGT", "VMGTAVCC 0.9V", 0.871, 0.929, 0.87, 0.93, false, 0},
    {"isppacin10_inputVDDSOC", "VDDSOC(IMX6) 1.375", 1.281, 1.493, 1.279, 1.495, false, 0},
    {"ultrascale-kintexin0_inputVCCINT", "FPGA VCCINT 0.85V", 0.814, 0.888, 0.813, 0.889, false, 0},
    {"ultrascale-kintexin1_inputVCCAUX", "FPGA VCCAUX 1.8V", 1.722, 1.879, 1.72, 1.882, false, 0},
    {"ultrascale-kintexin5_inputVCCBRAM", "FPGA VCCBRAM 0.85V", 0.814, 0.888, 0.813, 0.889, false, 0},
    {"ultrascale-kintexin6_inputVUSER0", "FPGA DDR4_VDD 1.2V", 0.937, 1.926, 0.936, 1.929, false, 0},
    {"ultrascale-kintexin8_inputVUSER2", "FPGA VMGTAVTT 1.2V", 1.148, 1.253, 1.147, 1.255, false, 0},
    {"ultrascale-kintexin7_inputVUSER1", "FPGA VMGTAVCC 0.9V", 0.861, 0.939, 0.86, 0.941, false, 0},
    {"ultrascale-kintexin9_inputVUSER3", "FPGA 3.3V", 3.093, 3.445, 3.088, 3.45, false, 2},
    {"pmbusin2_inputvout1", "0.85V Regulator", 0.814, 0.888, 0.813, 0.889, false, 0},
    {"pmbuscurr1_inputiout1", "0.85v Regulator Current", 0, 38, 0, 40, false, 0},
};

template <typename... Args>
void logAt(spdlog::level::level_enum level, const char* format, const Args&... args)
{
    // Fetched each time: the registered logger may be replaced between messages.
    if (auto logger = spdlog::get("KWLOG"))
        logger->log(level, format, args...);
}

} // namespace

class healthSensorsPimpl {
public:
    struct sensor {
        std::string label;
        double value = 1.0;
        double lowerLimit = DBL_MIN;
        double upperLimit = DBL_MAX;
        double lowerOuterLimit = DBL_MIN;
        double upperOuterLimit = DBL_MAX;
        bool marked = false;
        double scale = 1.0;
        uint32_t alarmCount = 0;
        bool valid = true;
        const sensors_chip_name* chip = nullptr;
        const sensors_subfeature* subfeature = nullptr;
    };

    healthSensorsPimpl(int mainBoard, int frontPanel)
        : mainBoardId(mainBoard)
        , frontPanelId(frontPanel)
    {
    }

    void populateSensorsCache();
    void initSensorsCache();
    void initSensor(const std::string& key, const std::string& label, double lowerLimit, double upperLimit,
                    double lowerOuterLimit, double upperOuterLimit, bool marked, double scale);
    void addADT7473_sysf_attr(const std::string& key, const std::string& chipPath, int pwmIndex);
    bool isSensorValid(const std::string& key);
    void updateAlarm(sensor& entry, bool useStoredValue, double reading);
    void update();

    int mainBoardId;
    int frontPanelId;
    std::map<std::string, sensor> m_valueCache;
    std::map<std::string, std::string> m_sysfsAttrPaths;
};

void healthSensorsPimpl::populateSensorsCache()
{
    int chipIndex = 0;
    while (const sensors_chip_name* chip = sensors_get_detected_chips(nullptr, &chipIndex)) {
        int featureIndex = 0;
        while (const sensors_feature* feature = sensors_get_features(chip, &featureIndex)) {
            int subIndex = 0;
            while (const sensors_subfeature* sub = sensors_get_all_subfeatures(chip, feature, &subIndex)) {
                if ((sub->flags & SENSORS_MODE_R) == 0)
                    continue;
                double reading = 0.0;
                const int rc = sensors_get_value(chip, sub->number, &reading);
                if (rc < 0) {
                    logAt(spdlog::level::err, "Failed populating sensors rc={}", rc);
                    continue;
                }
                std::string key = std::string(chip->prefix) + sub->name;
                if (char* label = sensors_get_label(chip, feature)) {
                    key += label;
                    std::free(label);
                }
                sensor& entry = m_valueCache[key];
                entry = sensor();
                entry.value = reading;
                entry.chip = chip;
                entry.subfeature = sub;
                if (std::string(chip->prefix).rfind("adt7473", 0) == 0 && sub->type == SENSORS_SUBFEATURE_FAN_INPUT)
                    addADT7473_sysf_attr(key, chip->path, sub->mapping);
            }
        }
    }
    initSensorsCache();
}

void healthSensorsPimpl::initSensorsCache()
{
    const bool firstTable = mainBoardId >= 0 && mainBoardId <= 63;
    const bool secondTable = mainBoardId >= 64 && mainBoardId <= 127;
    if (!firstTable && !secondTable)
        throw std::runtime_error("Unknown board id: " + std::to_string(mainBoardId));
    const bool centreFanFitted = get_front_panel_variant(frontPanelId) != 2;
    auto apply = [this, secondTable, centreFanFitted](const TableRow& row) {
        if (secondTable && !centreFanFitted && std::string(row.key) == centreFanKey)
            return;
        initSensor(row.key, row.label, row.lower, row.upper, row.lowerOuter, row.upperOuter, row.marked, row.scale);
    };
    if (firstTable)
        for (const TableRow& row : firstBoardTable)
            apply(row);
    else
        for (const TableRow& row : secondBoardTable)
            apply(row);
}

void healthSensorsPimpl::initSensor(const std::string& key, const std::string& label, double lowerLimit,
                                    double upperLimit, double lowerOuterLimit, double upperOuterLimit, bool marked,
                                    double scale)
{
    sensor& entry = m_valueCache[key];
    entry.label = label;
    entry.lowerLimit = lowerLimit;
    entry.upperLimit = upperLimit;
    entry.lowerOuterLimit = lowerOuterLimit;
    entry.upperOuterLimit = upperOuterLimit;
    entry.marked = marked;
    if (scale != 0)
        entry.scale = scale;
}

void healthSensorsPimpl::addADT7473_sysf_attr(const std::string& key, const std::string& chipPath, int pwmIndex)
{
    m_sysfsAttrPaths[key] = chipPath + "/pwm" + std::to_string(pwmIndex) + "_pulse_stretch_disable";
}

// A fan reading taken while pulse stretching is on is meaningless.
bool healthSensorsPimpl::isSensorValid(const std::string& key)
{
    if (key.find("adt7473fan") == std::string::npos)
        return true;
    const auto found = m_sysfsAttrPaths.find(key);
    if (found == m_sysfsAttrPaths.end())
        return true;
    const std::string& path = found->second;
    int value = -13;
    std::ifstream file(path);
    if (!file.is_open()) {
        logAt(spdlog::level::err, "readSysfsAttrfailed to open {}", path);
    } else {
        std::string word;
        file >> word;
        file.close();
        value = std::stoi(word);
    }
    logAt(spdlog::level::debug, "isSensorValid pulse_str_disable {} value {}", key, value);
    return value == 0;
}

void healthSensorsPimpl::updateAlarm(sensor& entry, bool useStoredValue, double reading)
{
    const double x = useStoredValue ? entry.value : reading;
    if (x > entry.upperLimit || x < entry.lowerLimit)
        ++entry.alarmCount;
    else
        entry.alarmCount = 0;
}

void healthSensorsPimpl::update()
{
    for (auto& [key, entry] : m_valueCache) {
        if (entry.label.empty() || entry.chip == nullptr || entry.subfeature == nullptr)
            continue;
        const bool valid = isSensorValid(key);
        double raw = 0.0;
        if (sensors_get_value(entry.chip, entry.subfeature->number, &raw) != 0)
            logAt(spdlog::level::err, "Failed sensor value retrieval");
        entry.valid = valid;
        raw *= entry.scale;
        if (valid) {
            entry.value = raw;
        } else {
            entry.value = -1.0;
            auto logger = spdlog::get("KWLOG");
            if (logger && logger->should_log(spdlog::level::debug)) {
                char text[64];
                std::snprintf(text, sizeof text, "%f", raw);
                logger->debug("{} value= {}", entry.label, text);
            }
        }
        updateAlarm(entry, valid, raw);
    }
}

healthSensors::healthSensors(int mainBoardId, int frontPanelId)
{
    if (sensors_init(nullptr) != 0)
        throw std::runtime_error("Could not open sensors configuration file");
    try {
        m_pimpl.reset(new (std::nothrow) healthSensorsPimpl(mainBoardId, frontPanelId));
        if (!m_pimpl)
            throw std::runtime_error("m_pimpl failed creation");
        m_pimpl->populateSensorsCache();
        if (m_pimpl->m_valueCache.empty())
            throw std::runtime_error("m_pimpl m_valueCache empty");
    } catch (...) {
        sensors_cleanup();
        throw;
    }
}

healthSensors::~healthSensors()
{
    sensors_cleanup();
}

std::vector<sensorData> healthSensors::getAllCachedSensors() const
{
    std::vector<sensorData> result;
    for (const auto& [key, entry] : m_pimpl->m_valueCache) {
        if (entry.label.empty())
            continue;
        result.push_back({entry.label, entry.value, entry.lowerLimit, entry.upperLimit, entry.lowerOuterLimit,
                          entry.upperOuterLimit, entry.marked, entry.scale, entry.alarmCount, entry.valid});
    }
    return result;
}

void healthSensors::updateSensorsCache()
{
    m_pimpl->update();
}

} // namespace Tessaly
