#include "tools/unitsim/SensorNamespace.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

std::string enterSensorNamespace(const HwmonTree& tree, const std::string& config)
{
    const auto failed = [](const char* what) { return what + std::string(": ") + std::strerror(errno); };
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount("none", "/sys/class", "tmpfs", 0, nullptr) != 0)
        return failed("private mount namespace with a tmpfs on /sys/class");
    for (const auto& [device, attributes] : tree) {
        std::filesystem::create_directories("/sys/class/hwmon/" + device);
        for (const auto& [name, content] : attributes)
            std::ofstream("/sys/class/hwmon/" + device + "/" + name) << content;
    }
    std::ofstream("/sys/class/sensors3.conf") << config; // on the private tmpfs: nothing left behind
    if (mount("/sys/class/sensors3.conf", "/etc/sensors3.conf", nullptr, MS_BIND, nullptr) != 0
        || mount("none", "/etc/sensors.d", "tmpfs", 0, nullptr) != 0)
        return failed("sensors configuration");
    return "";
}
