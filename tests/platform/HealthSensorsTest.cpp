#include "platform/HealthSensors.h"
#include "tests/platform/FreshProcess.h"
#include "tests/platform/SensorNamespace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <stdexcept>

using Tessaly::healthSensors;
using Tessaly::sensorData;

namespace {

const char* const config = R"(
chip "adt7473-*"
    label in2 "+3.3V"
    label temp2 "Board Temp"
chip "isppac-*"
    label in0 "5V5"
    label in5 "DDR3_VDD"
)";

// With pulse stretching disabled on every fan unless told otherwise.
HwmonTree unitTree(bool pulseStretchAttributes = true)
{
    HwmonTree tree = {
        {"hwmon0",
         {{"name", "adt7473\n"},
          {"in2_input", "3300\n"},
          {"fan1_input", "2000\n"},
          {"fan2_input", "2100\n"},
          {"fan3_input", "2200\n"},
          {"temp1_input", "30000\n"},
          {"temp2_input", "31000\n"},
          {"temp3_input", "32000\n"}}},
        {"hwmon1", {{"name", "isppac\n"}, {"in0_input", "5400\n"}, {"in5_input", "1500\n"}}},
        {"hwmon2", {{"name", "mystery\n"}, {"temp1_input", "45000\n"}}},
    };
    for (int pwm = 1; pulseStretchAttributes && pwm <= 8; ++pwm)
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

void writeAttribute(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

} // namespace

// Each scenario runs in its own child: a private mount namespace for the
// simulated hwmon tree, and a fresh libsensors.
#define WITH_SENSORS_CONFIGURED(tree, config, ...)                                                                                 \
    IN_FRESH_PROCESS({                                                                                                 \
        const std::string problem = enterSensorNamespace(tree, config);                                                \
        ASSERT_EQ(problem, "");                                                                                        \
        KwlogRecorder log;                                                                                             \
        __VA_ARGS__;                                                                                                   \
    })
#define WITH_SENSORS(tree, ...) WITH_SENSORS_CONFIGURED(tree, config, __VA_ARGS__)

TEST(HealthSensors, BoardIdSelectsTable)
{
    struct Case {
        int mainBoard;
        const char* ddrLabel;  // present only in its own table
        double fpgaTemperatureUpperOuter;
    };
    const Case cases[] = {{0, "DDR3_VDD 1.5V", 85}, {63, "DDR3_VDD 1.5V", 85}, {64, "DDR4_VDD 1.2V", 100},
                          {127, "DDR4_VDD 1.2V", 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mainBoard);
        WITH_SENSORS(unitTree(), {
            healthSensors sensors(c.mainBoard, 0);
            const auto labels = byLabel(sensors);
            EXPECT_EQ(labels.count(c.ddrLabel), 1u);
            EXPECT_EQ(labels.at("FPGA Temperature (C)").upperOuterLimit, c.fpgaTemperatureUpperOuter);
            EXPECT_EQ(labels.size(), c.mainBoard < 64 ? 26u : 29u);
        });
    }
}

TEST(HealthSensors, UnknownBoardIdThrows)
{
    for (int id : {128, -1}) {
        WITH_SENSORS(unitTree(), {
            try {
                healthSensors sensors(id, 0);
                ADD_FAILURE() << "no exception";
            } catch (const std::runtime_error& error) {
                EXPECT_EQ(std::string(error.what()), "Unknown board id: " + std::to_string(id));
            }
        });
    }
}

TEST(HealthSensors, CentreFanDependsOnFrontPanel)
{
    const std::pair<int, bool> cases[] = {{5, false}, {4, true}, {-1, true}};
    for (const auto& [frontPanel, present] : cases) {
        SCOPED_TRACE(frontPanel);
        WITH_SENSORS(unitTree(), {
            EXPECT_EQ(byLabel(healthSensors(100, frontPanel)).count("Centre Fan RPM"), present ? 1u : 0u);
            EXPECT_EQ(byLabel(healthSensors(10, frontPanel)).count("Centre Fan RPM"), 1u);
        });
    }
}

TEST(HealthSensors, ReadingsLimitsAndUnnamedChips)
{
    WITH_SENSORS(unitTree(), {
        healthSensors sensors(10, 0);
        sensors.updateSensorsCache();
        const auto labels = byLabel(sensors);
        const sensorData& fan = labels.at("Right Fan RPM");
        EXPECT_EQ(fan.value, 2000.0);
        EXPECT_TRUE(fan.valid);
        EXPECT_TRUE(fan.marked);
        EXPECT_EQ(labels.at("Center unit temperature (C)").value, 31.0);
        EXPECT_EQ(labels.at("Fan Controller 3.3V").value, 3.3);
        EXPECT_EQ(labels.at("5.5V").value, 5.4);
        EXPECT_EQ(labels.at("5.5V").alarmCount, 0u);
        // A table row the walk did not find keeps its initial reading.
        EXPECT_EQ(labels.at("FPGA 3.3V").value, 1.0);
        EXPECT_EQ(labels.at("FPGA 3.3V").scale, 2.0);
        EXPECT_EQ(labels.at("FPGA 3.3V").alarmCount, 0u);
        EXPECT_EQ(labels.count(""), 0u);  // the "mystery" chip has no label
    });
}

TEST(HealthSensors, AlarmCountsConsecutiveOutOfLimitReadings)
{
    WITH_SENSORS(unitTree(), {
        healthSensors sensors(10, 0);
        const std::string in2 = "/sys/class/hwmon/hwmon0/in2_input";
        const struct {
            const char* millivolts;
            uint32_t alarms;
        } steps[] = {{"3528\n", 0}, {"3529\n", 1}, {"2000\n", 2}, {"3060\n", 0}, {"0\n", 1}};
        for (const auto& step : steps) {
            writeAttribute(in2, step.millivolts);
            sensors.updateSensorsCache();
            EXPECT_EQ(byLabel(sensors).at("Fan Controller 3.3V").alarmCount, step.alarms) << step.millivolts;
        }
    });
}

TEST(HealthSensors, PulseStretchDisableDecidesFanValidity)
{
    WITH_SENSORS(unitTree(false), {
        healthSensors sensors(10, 0);
        // The attribute follows the fan's feature number as libsensors maps it.
        sensors.updateSensorsCache();
        const auto records = log.records();
        std::string path;
        for (const auto& line : records) {
            const auto at = line.find("failed to open ");
            if (line.rfind("error: ", 0) == 0 && line.find("readSysfsAttr") != std::string::npos
                && at != std::string::npos && line.find("hwmon0/pwm") != std::string::npos)
                path = line.substr(at + 15);
        }
        ASSERT_FALSE(path.empty());
        auto fans = byLabel(sensors);
        int invalidFans = 0;
        for (const char* label : {"Left Fan RPM", "Centre Fan RPM", "Right Fan RPM"})
            if (!fans.at(label).valid && fans.at(label).value == -1.0)
                ++invalidFans;
        EXPECT_EQ(invalidFans, 3);  // attribute files missing
        EXPECT_TRUE(log.has("debug", "Right Fan RPM value= 2000.000000"));

        for (const char* fan : {"1", "2", "3", "4", "5"})
            writeAttribute("/sys/class/hwmon/hwmon0/pwm" + std::string(fan) + "_pulse_stretch_disable", "0\n");
        writeAttribute(path, "1\n");
        sensors.updateSensorsCache();
        fans = byLabel(sensors);
        invalidFans = 0;
        for (const char* label : {"Left Fan RPM", "Centre Fan RPM", "Right Fan RPM"})
            if (!fans.at(label).valid)
                ++invalidFans;
        EXPECT_EQ(invalidFans, 1);
        EXPECT_TRUE(log.has("debug", "isSensorValid pulse_str_disable adt7473fan"));
        EXPECT_TRUE(log.has("debug", " value 1"));
        EXPECT_TRUE(fans.at("Fan Controller 3.3V").valid);  // not a fan
    });
}

TEST(HealthSensors, ScaledSupplyAlarmsAfterScaling)
{
    // The FPGA monitor reads its user supplies through a divider by two.
    // A chip name with a dash cannot be named in a configuration; the
    // simulated unit has no other chip on the virtual bus.
    const HwmonTree tree = {{"hwmon0", {{"name", "ultrascale-kintex\n"}, {"in7_input", "1600\n"}}}};
    const std::string fpgaConfig = "chip \"*-virtual-*\"\n    label in7 \"VUSER1\"\n";
    WITH_SENSORS_CONFIGURED(tree, fpgaConfig, {
        healthSensors sensors(10, 0);
        const struct {
            const char* millivolts;
            double value;
            uint32_t alarms;
        } steps[] = {{"1600\n", 3.2, 0}, {"1500\n", 3.0, 1}, {"1500\n", 3.0, 2}, {"1683\n", 3.366, 3},
                     {"1682\n", 3.364, 0}};
        for (const auto& step : steps) {
            writeAttribute("/sys/class/hwmon/hwmon0/in7_input", step.millivolts);
            sensors.updateSensorsCache();
            const sensorData supply = byLabel(sensors).at("FPGA 3.3V");
            EXPECT_DOUBLE_EQ(supply.value, step.value) << step.millivolts;
            EXPECT_EQ(supply.alarmCount, step.alarms) << step.millivolts;
        }
    });
}

TEST(HealthSensors, UnreadableSubfeatureIsLeftOut)
{
    HwmonTree tree = unitTree();
    tree["hwmon0"]["fan1_input"] = "not a number\n";
    WITH_SENSORS(tree, {
        healthSensors sensors(10, 0);
        EXPECT_TRUE(log.has("error", "Failed populating sensors rc=-"));
        sensors.updateSensorsCache();
        const auto labels = byLabel(sensors);
        // The table still names it: no handle, so the initial reading stays.
        EXPECT_EQ(labels.at("Right Fan RPM").value, 1.0);
        EXPECT_EQ(labels.at("Left Fan RPM").value, 2100.0);
    });
}
