#include "platform/BoardLibrary.h"
#include "platform/PlatformRoot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <string>

extern "C" {
int fp_led_scaling[3][3] = {
    {255, 255, 255},
    {255, 255, 255},
    {91, 255, 168},
};
}

namespace {

struct PwmLedChannel {
    int exportFd;
    int periodFd;
    int dutyFd;
    int enableFd;
    uint8_t level;
    char directory[35];
};

// Rows in ledRGB component order: red, green, blue.
PwmLedChannel channels[3] = {
    {-1, -1, -1, -1, 0, "/sys/class/pwm/pwmchip2/"},
    {-1, -1, -1, -1, 0, "/sys/class/pwm/pwmchip0/"},
    {-1, -1, -1, -1, 0, "/sys/class/pwm/pwmchip1/"},
};

std::mutex ledMutex;

std::string channelPath(const PwmLedChannel& channel, const char* file)
{
    return platformPath(channel.directory) + file;
}

void writeText(int fd, const std::string& text)
{
    if (fd >= 0 && write(fd, text.data(), text.size()) < 0) {
        // The LED is best effort: a failed level write leaves the old colour.
    }
}

void closeFd(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// Channel 0 of each chip; exporting an already exported channel fails, so
// after the first call this normally reports a failure.
int exportChannels()
{
    int result = 0;
    for (PwmLedChannel& channel : channels) {
        channel.exportFd = open(channelPath(channel, "export").c_str(), O_WRONLY);
        if (channel.exportFd < 0) {
            result = -1;
            continue;
        }
        if (write(channel.exportFd, "0", 1) != 1)
            result = -1;
        closeFd(channel.exportFd);
    }
    return result;
}

} // namespace

extern "C" int setLED(const uint8_t* rgb, int on)
{
    const int exported = exportChannels();
    const int* scale = fp_led_scaling[get_front_panel_variant(read_board_id(2))];
    for (int c = 0; c < 3; ++c)
        channels[c].level = static_cast<uint8_t>((scale[c] * rgb[c]) >> 8);

    {
        std::lock_guard<std::mutex> lock(ledMutex);
        for (int row = 2; row >= 0; --row) {
            PwmLedChannel& channel = channels[row];
            channel.periodFd = open(channelPath(channel, "pwm0/period").c_str(), O_RDWR);
            channel.dutyFd = open(channelPath(channel, "pwm0/duty_cycle").c_str(), O_RDWR);
            channel.enableFd = open(channelPath(channel, "pwm0/enable").c_str(), O_RDWR);
            if (on) {
                writeText(channel.periodFd, "255000");
                writeText(channel.dutyFd, std::to_string(1000 * channel.level));
                writeText(channel.enableFd, "1");
            } else {
                writeText(channel.periodFd, "0");
                writeText(channel.dutyFd, "0");
                writeText(channel.enableFd, "0");
            }
            closeFd(channel.periodFd);
            closeFd(channel.dutyFd);
            closeFd(channel.enableFd);
        }
    }
    return exported != 0 ? 1 : 0;
}
