#include "tests/platform/SensorNamespace.h"

#include <sched.h>
#include <sys/mount.h>

#include <spdlog/sinks/ringbuffer_sink.h>
#include <spdlog/spdlog.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {
std::shared_ptr<spdlog::sinks::ringbuffer_sink_mt> records;
}

std::string enterSensorNamespace(const HwmonTree& tree, const std::string& config)
{
    const auto failed = [](const char* what) { return what + std::string(": ") + std::strerror(errno); };
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failed("private mount namespace");
    if (mount("none", "/sys/class", "tmpfs", 0, nullptr) != 0)
        return failed("tmpfs on /sys/class");
    for (const auto& [device, attributes] : tree) {
        std::filesystem::create_directories("/sys/class/hwmon/" + device);
        for (const auto& [name, content] : attributes)
            std::ofstream("/sys/class/hwmon/" + device + "/" + name) << content;
    }
    std::ofstream("/sys/class/sensors3.conf") << config;  // on the private tmpfs: nothing left behind
    if (mount("/sys/class/sensors3.conf", "/etc/sensors3.conf", nullptr, MS_BIND, nullptr) != 0
        || mount("none", "/etc/sensors.d", "tmpfs", 0, nullptr) != 0)
        return failed("sensors configuration");
    return "";
}

void recordKwlog()
{
    records = std::make_shared<spdlog::sinks::ringbuffer_sink_mt>(1000);
    records->set_pattern("%l: %v");
    auto logger = std::make_shared<spdlog::logger>("KWLOG", records);
    logger->set_level(spdlog::level::trace);
    spdlog::drop("KWLOG");
    spdlog::register_logger(logger);
}

bool kwlogHas(const std::string& level, const std::string& text)
{
    for (const auto& line : records->last_formatted())
        if (line.rfind(level + ": ", 0) == 0 && line.find(text) != std::string::npos)
            return true;
    return false;
}
