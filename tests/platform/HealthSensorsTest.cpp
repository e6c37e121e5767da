#include "platform/HealthSensors.h"
#include "tests/platform/FreshProcess.h"
#include "tests/support/CapturingLogger.h"
#include "tools/unitsim/SensorNamespace.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

using Tessaly::healthSensors;
using Tessaly::sensorData;

namespace {

const std::string config = "chip \"adt7473-*\"\n label in2 \"+3.3V\"\n label temp2 \"Board Temp\"\n"
                           "chip \"isppac-*\"\n label in0 \"5V5\"\n";
const std::string adt = "/sys/class/hwmon/hwmon0/";

// Fans with pulse stretching disabled; a chip no table names.
HwmonTree unitTree()
{
    HwmonTree tree = {
        {"hwmon0", {{"name", "adt7473\n"}, {"in2_input", "3300\n"}, {"fan1_input", "2000\n"}, {"fan2_input", "2100\n"},
                    {"fan3_input", "2200\n"}, {"temp2_input", "31000\n"}}},
        {"hwmon1", {{"name", "isppac\n"}, {"in0_input", "5400\n"}}},
        {"hwmon2", {{"name", "mystery\n"}, {"temp1_input", "45000\n"}}},
    };
    for (int pwm = 1; pwm <= 8; ++pwm)
        tree["hwmon0"]["pwm" + std::to_string(pwm) + "_pulse_stretch_disable"] = "0\n";
    return tree;
}

std::map<std::string, sensorData> byLabel(const healthSensors& sensors)
{
    std::map<std::string, sensorData> result;
    for (const auto& sensor : sensors.getAllCachedSensors())
        result[sensor.label] = sensor;
    return result;
}

} // namespace

// Each scenario in its own child: a private hwmon tree and a fresh libsensors.
#define WITH_SENSORS(tree, configuration, ...)                                                                         \
    IN_FRESH_PROCESS({                                                                                                 \
        ASSERT_EQ(enterSensorNamespace(tree, configuration), "");                                                      \
        CapturingLogger log(spdlog::level::trace);                                                                     \
        __VA_ARGS__;                                                                                                   \
    })

TEST(HealthSensors, BoardIdsSelectTableAndFrontPanelTheCentreFan)
{
    const struct {
        int mainBoard, frontPanel;
        size_t labels;  // 0: the board id is refused
        const char* ownLabel;
        bool centreFan;
    } cases[] = {{0, 5, 26, "DDR3_VDD 1.5V", true}, {63, 0, 26, "0.95V", true}, {64, 4, 29, "DDR4_VDD 1.2V", true},
                 {127, 5, 28, "0.85V Regulator", false}, {128, 0, 0, "", false}, {-1, 0, 0, "", false}};
    for (const auto& c : cases) {
        WITH_SENSORS(unitTree(), config, {
            try {
                const auto labels = byLabel(healthSensors(c.mainBoard, c.frontPanel));
                EXPECT_EQ(labels.size(), c.labels) << c.mainBoard;
                EXPECT_EQ(labels.count(c.ownLabel), 1u) << c.mainBoard;
                EXPECT_EQ(labels.count("Centre Fan RPM"), c.centreFan ? 1u : 0u) << c.mainBoard;
            } catch (const std::runtime_error& error) {
                EXPECT_EQ(c.labels, 0u) << c.mainBoard;
                EXPECT_EQ(error.what(), "Unknown board id: " + std::to_string(c.mainBoard));
            }
        });
    }
}

TEST(HealthSensors, ReadingsAlarmsAndFanValidity)
{
    WITH_SENSORS(unitTree(), config, {
        healthSensors sensors(10, 0);
        sensors.updateSensorsCache();
        auto labels = byLabel(sensors);  // a fan and the 3.3V supply: unitctl's end-to-end tests
        EXPECT_EQ(labels.at("Center unit temperature (C)").value, 31.0);
        EXPECT_EQ(labels.at("5.5V").value, 5.4);
        EXPECT_EQ(labels.at("FPGA 3.3V").value, 1.0);  // a row the walk did not find keeps its start value
        for (const auto& [millivolts, alarms] : {std::pair{"3528", 0u}, {"3529", 1u}, {"0", 2u}}) {
            std::ofstream(adt + "in2_input") << millivolts;  // exactly the upper limit is inside
            sensors.updateSensorsCache();
            EXPECT_EQ(byLabel(sensors).at("Fan Controller 3.3V").alarmCount, alarms) << millivolts;
        }
        // libsensors numbers the fans' features after the one voltage input.
        std::ofstream(adt + "pwm1_pulse_stretch_disable") << "1\n";
        sensors.updateSensorsCache();
        labels = byLabel(sensors);
        EXPECT_FALSE(labels.at("Right Fan RPM").valid);
        EXPECT_TRUE(labels.at("Left Fan RPM").valid);
        EXPECT_EQ(labels.at("Left Fan RPM").value, 2100.0);
        EXPECT_TRUE(log.has("debug", "isSensorValid pulse_str_disable adt7473fan1_inputfan1 value 1"));
        EXPECT_TRUE(log.has("debug", "Right Fan RPM value= 2000.000000"));
        for (int pwm = 1; pwm <= 8; ++pwm)
            std::filesystem::remove(adt + "pwm" + std::to_string(pwm) + "_pulse_stretch_disable");
        sensors.updateSensorsCache();
        for (const char* fan : {"Left Fan RPM", "Centre Fan RPM", "Right Fan RPM"})
            EXPECT_EQ(byLabel(sensors).at(fan).value, -1.0) << fan;  // attributes missing
        EXPECT_TRUE(log.has("error", "readSysfsAttrfailed to open " + adt + "pwm"));
    });
}

TEST(HealthSensors, ScaledSupplyAndUnreadableSubfeature)
{
    // A dashed chip name cannot be named in a configuration; this unit has one virtual chip.
    const HwmonTree fpga = {{"hwmon0", {{"name", "ultrascale-kintex\n"}, {"in7_input", "1600\n"}}}};
    WITH_SENSORS(fpga, "chip \"*-virtual-*\"\n label in7 \"VUSER1\"\n", {
        healthSensors sensors(10, 0);
        const struct {
            const char* millivolts;
            double value;
            uint32_t alarms;
        } steps[] = {{"1600", 3.2, 0}, {"1500", 3.0, 1}, {"1683", 3.366, 2}, {"1682", 3.364, 0}};
        for (const auto& step : steps) {
            std::ofstream("/sys/class/hwmon/hwmon0/in7_input") << step.millivolts;
            sensors.updateSensorsCache();
            EXPECT_DOUBLE_EQ(byLabel(sensors).at("FPGA 3.3V").value, step.value) << step.millivolts;
            EXPECT_EQ(byLabel(sensors).at("FPGA 3.3V").alarmCount, step.alarms) << step.millivolts;
        }
    });
    HwmonTree broken = unitTree();
    broken["hwmon0"]["fan1_input"] = "not a number\n";
    WITH_SENSORS(broken, config, {
        healthSensors sensors(10, 0);
        EXPECT_TRUE(log.has("error", "Failed populating sensors rc=-"));
        sensors.updateSensorsCache();
        EXPECT_EQ(byLabel(sensors).at("Right Fan RPM").value, 1.0);  // left out: no handle
    });
}
