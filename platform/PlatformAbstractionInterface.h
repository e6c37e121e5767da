#pragma once

#include "platform/KwTypes.h"

#include <cstdint>

namespace Tessaly {

// The host unit's platform services as one object.
class PlatformAbstractionInterface {
public:
    PlatformAbstractionInterface() = default;
    virtual ~PlatformAbstractionInterface() = default;
    PlatformAbstractionInterface(const PlatformAbstractionInterface&) = delete;
    PlatformAbstractionInterface& operator=(const PlatformAbstractionInterface&) = delete;

    virtual int setLED(KwTypes::ledRGB colour, bool on) = 0;
    virtual bool hasBoard(KwTypes::boardIdentity which) = 0;
    virtual bool hasDynelleFitted() = 0;
    virtual int getBoardId(KwTypes::boardIdentity which) = 0;
    virtual bool getFPGABuildInfo(unsigned& designId, unsigned& versionMajor, unsigned& versionMinor,
                                  unsigned& versionPatch, unsigned& versionBuild) = 0;
    virtual int startWatchdog(int timeoutSeconds) = 0;
    virtual int kickWatchdog() = 0;
    virtual int stopWatchdog() = 0;
    virtual uint32_t getSerialNumber() = 0;
};

} // namespace Tessaly
