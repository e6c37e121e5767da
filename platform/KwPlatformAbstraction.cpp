#include "platform/KwPlatformAbstraction.h"

#include "platform/BoardLibrary.h"
#include "platform/PlatformRoot.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace Tessaly {

KwPlatformAbstraction::KwPlatformAbstraction()
    : m_fpgaStatus(platformPath("/proc/tessaly_pcie"))
{
}

KwPlatformAbstraction::~KwPlatformAbstraction() = default;

int KwPlatformAbstraction::setLED(KwTypes::ledRGB colour, bool on)
{
    const uint8_t rgb[3] = {colour.red, colour.green, colour.blue};
    return ::setLED(rgb, on ? 1 : 0);
}

bool KwPlatformAbstraction::hasBoard(KwTypes::boardIdentity which)
{
    return KwPlatformAbstraction::getBoardId(which) >= 0;
}

bool KwPlatformAbstraction::hasDynelleFitted()
{
    struct stat status;
    return stat(platformPath("/dev/tr417_app").c_str(), &status) == 0;
}

int KwPlatformAbstraction::getBoardId(KwTypes::boardIdentity which)
{
    const int kind = static_cast<int>(which);
    if (kind < 0 || kind > 3)
        return -1;
    return read_board_id(kind);
}

bool KwPlatformAbstraction::getFPGABuildInfo(unsigned& designId, unsigned& versionMajor, unsigned& versionMinor,
                                             unsigned& versionPatch, unsigned& versionBuild)
{
    std::string line;
    std::getline(m_fpgaStatus, line);
    unsigned major = 0, minor = 0, patch = 0, build = 0;
    if (std::sscanf(line.c_str(), "fpga_version: %u.%u.%u+%u", &major, &minor, &patch, &build) == 4) {
        versionMajor = major;
        versionMinor = minor;
        versionPatch = patch;
        versionBuild = build;
    }
    line.clear();
    std::getline(m_fpgaStatus, line);
    unsigned id = 0;
    if (std::sscanf(line.c_str(), "fpga_design_id: %u", &id) == 1)
        designId = id;
    return true;
}

int KwPlatformAbstraction::startWatchdog(int timeoutSeconds)
{
    return start_dog(timeoutSeconds);
}

int KwPlatformAbstraction::kickWatchdog()
{
    return kick_dog();
}

int KwPlatformAbstraction::stopWatchdog()
{
    return stop_dog();
}

uint32_t KwPlatformAbstraction::getSerialNumber()
{
    unsigned serial = 0;
    if (getSerial(&serial) != 0)
        return 0xFFFFFFFFu;
    return serial;
}

} // namespace Tessaly
