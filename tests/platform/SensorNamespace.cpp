#include "tests/platform/SensorNamespace.h"

#include <sched.h>
#include <sys/mount.h>

#include <spdlog/sinks/ringbuffer_sink.h>
#include <spdlog/spdlog.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string failure(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

std::shared_ptr<spdlog::sinks::ringbuffer_sink_mt> recorderSink;

} // namespace

std::string enterSensorNamespace(const HwmonTree& tree, const std::string& config)
{
    if (unshare(CLONE_NEWNS) != 0)
        return failure("unshare");
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failure("private propagation");
    if (mount("none", "/sys/class", "tmpfs", 0, nullptr) != 0)
        return failure("tmpfs on /sys/class");
    for (const auto& [device, attributes] : tree) {
        const fs::path dir = fs::path("/sys/class/hwmon") / device;
        fs::create_directories(dir);
        for (const auto& [name, content] : attributes)
            std::ofstream(dir / name) << content;
    }
    // The configuration lives on the private tmpfs too, so nothing is left behind.
    std::ofstream("/sys/class/sensors3.conf") << config;
    if (mount("/sys/class/sensors3.conf", "/etc/sensors3.conf", nullptr, MS_BIND, nullptr) != 0)
        return failure("bind over /etc/sensors3.conf");
    if (mount("none", "/etc/sensors.d", "tmpfs", 0, nullptr) != 0)
        return failure("mask /etc/sensors.d");
    return std::string();
}

KwlogRecorder::KwlogRecorder()
{
    recorderSink = std::make_shared<spdlog::sinks::ringbuffer_sink_mt>(1000);
    recorderSink->set_pattern("%l: %v");
    auto logger = std::make_shared<spdlog::logger>("KWLOG", recorderSink);
    logger->set_level(spdlog::level::trace);
    spdlog::drop("KWLOG");
    spdlog::register_logger(logger);
}

KwlogRecorder::~KwlogRecorder()
{
    spdlog::drop("KWLOG");
}

std::vector<std::string> KwlogRecorder::records() const
{
    std::vector<std::string> lines;
    for (std::string line : recorderSink->last_formatted()) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool KwlogRecorder::has(const std::string& level, const std::string& text) const
{
    for (const auto& line : records())
        if (line.rfind(level + ": ", 0) == 0 && line.find(text) != std::string::npos)
            return true;
    return false;
}
