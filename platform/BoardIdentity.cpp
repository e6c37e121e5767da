#include "platform/BoardLibrary.h"
#include "platform/PlatformRoot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

int boardIdCache[4] = {-1, -1, -1, -1};

struct BoardLines {
    int count;
    unsigned lines[7];  // most significant bit first
};

constexpr BoardLines boardLines[4] = {
    {7, {127, 126, 125, 124, 123, 122, 121}},
    {5, {508, 507, 506, 505, 504}},
    {7, {502, 501, 500, 499, 498, 497, 496}},
    {4, {113, 116, 115, 114}},
};

// The GPIO lines are exported by the boot scripts; we only read them.
int readGpioValue(unsigned line)
{
    const std::string path = platformPath("/sys/class/gpio/gpio") + std::to_string(line) + "/value";
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        perror(path.c_str());
        return -1;
    }
    char text[10] = {};
    if (read(fd, text, 9) < 0) {
        perror(path.c_str());
        close(fd);
        return -1;
    }
    close(fd);
    return std::strtol(text, nullptr, 10) != 0 ? 1 : 0;
}

} // namespace

extern "C" int read_board_id(int kind)
{
    if (kind < 0 || kind > 3)
        return -1;
    int& entry = boardIdCache[kind];
    if (entry >= 0)
        return entry;
    entry = 0;
    const BoardLines& board = boardLines[kind];
    for (int i = 0; i < board.count; ++i) {
        const int bit = readGpioValue(board.lines[i]);
        if (bit < 0) {
            entry = -1;
            return -1;
        }
        entry = (entry << 1) + bit;
    }
    return entry;
}

extern "C" int get_baseboard_variant(void)
{
    const int id = read_board_id(0);
    if (id < 0)
        return 2;
    return id > 63 ? 1 : 0;
}

extern "C" int get_front_panel_variant(int frontPanelId)
{
    return frontPanelId > 4 ? 2 : 1;
}
