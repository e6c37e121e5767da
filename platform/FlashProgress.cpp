#include "platform/FlashProgress.h"

#include "platform/Flash.h"

#include <cmath>
#include <cstdio>
#include <limits>

FlashProgress& flashProgress()
{
    static FlashProgress state{};
    return state;
}

void setNoErase(bool value)
{
    flashProgress().noErase = value;
}

void setNoisy(bool value)
{
    flashProgress().noisy = value;
}

void setProgress(bool value)
{
    flashProgress().progress = value;
    flashProgress().noisy = false;
}

void printProgress(void)
{
    FlashProgress& state = flashProgress();
    if (state.total == 0)
        return;
    // std::round rounds halves away from zero. The counters are never reset,
    // so the ratio can pass 100: keep it within the printed type.
    const double ratio = std::round(static_cast<double>(state.done) / state.total * 100.0);
    const unsigned long percent = ratio >= static_cast<double>(std::numeric_limits<uint32_t>::max())
                                      ? std::numeric_limits<uint32_t>::max()
                                      : static_cast<unsigned long>(ratio);
    if (percent == 0 || percent == state.lastPercent)
        return;
    if (state.noisy) {
        std::fputs("\b\b\b", stderr);
        std::fprintf(stderr, "%03lu", percent);
        if (state.progress)
            std::fputc('\n', stderr);
    } else if (state.progress) {
        std::fprintf(stderr, "%03lu\n", percent);
    }
    std::fflush(stderr);
    state.lastPercent = static_cast<uint32_t>(percent);
}
