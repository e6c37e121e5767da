#include "tools/unitctl/Commands.h"

#include "platform/BoardLibrary.h"
#include "platform/Flash.h"
#include "platform/PlatformRoot.h"
#include "platform/VersionInfo.h"
#include "tools/unitctl/SensorTable.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include <spdlog/sinks/stdout_sinks.h>
#include <spdlog/spdlog.h>

namespace unitctl {

namespace {

bool parseNumber(const std::string& text, long low, long high, long& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9)
        return false;
    value = std::stol(text);
    return value >= low && value <= high;
}

bool exists(const char* fixedPath)
{
    struct stat status;
    return stat(platformPath(fixedPath).c_str(), &status) == 0;
}

std::string macText(const uint8_t* mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

std::string boardIdText(int id)
{
    return id < 0 ? std::string("unreadable") : std::to_string(id);
}

} // namespace

int versionCommand(const Options& options)
{
    const auto& pairs = VersionInfo::getInstance().getVersionInfo();
    if (options.json) {
        QJsonObject object;
        for (const auto& pair : pairs)
            object[pair.first] = pair.second;
        std::cout << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return 0;
    }
    int width = 0;
    for (const auto& pair : pairs)
        width = std::max(width, static_cast<int>(pair.first.size()));
    for (const auto& pair : pairs)
        std::cout << pair.first.leftJustified(width).toStdString() << " : " << pair.second.toStdString() << "\n";
    return 0;
}

int identCommand(const Options&)
{
    int status = 0;
    unsigned serial = 0;
    uint8_t mac[6] = {};
    try {
        if (getSerial(&serial) == 0) {
            std::printf("Serial number : %06u\n", serial);
        } else {
            std::printf("Serial number : unreadable\n");
            status = 1;
        }
        if (getMac(mac) == 0) {
            std::printf("MAC address   : %s\n", macText(mac).c_str());
        } else {
            std::printf("MAC address   : unreadable\n");
            status = 1;
        }
    } catch (const std::out_of_range&) {
        std::fprintf(stderr, "No partition \"%s\" in /proc/mtd\n", FPGA_MTD_IDENT);
        status = 1;
    }
    std::printf("Main          : %s\n", boardIdText(read_board_id(0)).c_str());
    std::printf("Main ECN      : %s\n", boardIdText(read_board_id(3)).c_str());
    std::printf("Mezzanine     : %s\n", boardIdText(read_board_id(1)).c_str());
    std::printf("Frontpanel    : %s\n", boardIdText(read_board_id(2)).c_str());
    return status;
}

int setSerialCommand(const Options& options)
{
    long serial = 0;
    if (options.arguments.size() != 1 || !parseNumber(options.arguments[0], 0, 999999, serial)) {
        std::fprintf(stderr, "set-serial needs one serial number, 0 to 999999\n");
        return 2;
    }
    if (!options.yes) {
        std::printf("Write serial number %06ld to the identity record? [y/N] ", serial);
        std::fflush(stdout);
        std::string answer;
        std::getline(std::cin, answer);
        if (answer != "y" && answer != "Y" && answer != "yes") {
            std::printf("Nothing written.\n");
            return 1;
        }
    }
    setProgress(false);  // the outcome is reported below, once
    try {
        const int result = setSerialAndMac(static_cast<unsigned>(serial));
        if (result < 0) {
            std::fprintf(stderr, "Writing the identity record failed\n");
            return 1;
        }
        if (result != 0)
            std::fprintf(stderr, "Setting the boot run level failed (status %d)\n", result);
        unsigned readBack = 0;
        uint8_t mac[6] = {};
        if (getSerial(&readBack) != 0 || readBack != static_cast<unsigned>(serial) || getMac(mac) != 0) {
            std::fprintf(stderr, "Read-back of the identity record does not match: serial %06u\n", readBack);
            return 1;
        }
        std::printf("Serial number %06u, MAC address %s written and verified\n", readBack, macText(mac).c_str());
        return result == 0 ? 0 : 1;
    } catch (const std::out_of_range&) {
        std::fprintf(stderr, "No partition \"%s\" in /proc/mtd\n", FPGA_MTD_IDENT);
        return 1;
    }
}

int ledCommand(const Options& options)
{
    const auto& args = options.arguments;
    uint8_t rgb[3] = {0, 0, 0};
    const bool on = !(args.size() == 1 && args[0] == "off");
    if (on) {
        long value = 0;
        if (args.size() != 3) {
            std::fprintf(stderr, "led needs R G B (0 to 255 each) or off\n");
            return 2;
        }
        for (int i = 0; i < 3; ++i) {
            if (!parseNumber(args[i], 0, 255, value)) {
                std::fprintf(stderr, "led needs R G B (0 to 255 each) or off\n");
                return 2;
            }
            rgb[i] = static_cast<uint8_t>(value);
        }
    }
    setLED(rgb, on ? 1 : 0);
    // The library writes blindly; say so when a channel is not there at all.
    int status = 0;
    for (const char* channel : {"/sys/class/pwm/pwmchip2/pwm0", "/sys/class/pwm/pwmchip0/pwm0",
                                "/sys/class/pwm/pwmchip1/pwm0"}) {
        if (!exists(channel)) {
            std::fprintf(stderr, "LED channel %s is missing\n", channel);
            status = 1;
        }
    }
    return status;
}

int watchdogCommand(const Options& options)
{
    long timeout = 0;
    if (options.arguments.size() != 1 || !parseNumber(options.arguments[0], 1, 3600, timeout)) {
        std::fprintf(stderr, "watchdog needs a time-out of 1 to 3600 seconds\n");
        return 2;
    }
    if (!exists("/dev/watchdog")) {
        std::fprintf(stderr, "No watchdog at /dev/watchdog\n");
        return 1;
    }
    int status = 0;
    if (start_dog(static_cast<int>(timeout)) != 0) {
        std::fprintf(stderr, "Setting the watchdog time-out failed: %s\n", std::strerror(errno));
        status = 1;
    }
    if (status == 0 && kick_dog() != 0) {
        std::fprintf(stderr, "Kicking the watchdog failed: %s\n", std::strerror(errno));
        status = 1;
    }
    // Always disarm, or the unit resets once the time-out runs out.
    if (stop_dog() != 1) {
        std::fprintf(stderr, "Disarming the watchdog failed: %s\n", std::strerror(errno));
        return 1;
    }
    if (status == 0)
        std::printf("Watchdog armed for %ld s, kicked and disarmed\n", timeout);
    return status;
}

int sensorsCommand(const Options& options)
{
    // Diagnostics of the sensor layer go to standard error.
    if (!spdlog::get("KWLOG")) {
        auto logger = spdlog::stderr_logger_mt("KWLOG");
        logger->set_level(spdlog::level::warn);
    }
    const int mainBoard = read_board_id(0);
    const int frontPanel = read_board_id(2);
    const bool colour = !options.json && isatty(STDOUT_FILENO);
    const bool inPlace = colour && options.watchSeconds > 0;

    // Stop cleanly on an interrupt while waiting between refreshes.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    if (options.watchSeconds > 0)
        sigprocmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        Tessaly::healthSensors sensors(mainBoard, frontPanel);
        int linesShown = 0;
        for (;;) {
            sensors.updateSensorsCache();
            const auto readings = sensors.getAllCachedSensors();
            const std::string text = options.json ? sensorTableJson(readings) : sensorTableText(readings, colour);
            if (inPlace && linesShown > 0)
                std::printf("\033[%dA\033[J", linesShown);
            std::fputs(text.c_str(), stdout);
            if (options.watchSeconds > 0 && !inPlace && !options.json)
                std::fputs("\n", stdout);
            std::fflush(stdout);
            linesShown = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
            if (options.watchSeconds <= 0)
                return 0;
            const timespec wait{options.watchSeconds, 0};
            if (sigtimedwait(&stopSignals, nullptr, &wait) >= 0)
                return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Health sensors: %s\n", error.what());
        return 1;
    }
}

} // namespace unitctl
