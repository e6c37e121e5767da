#pragma once

#include "platform/PlatformAbstractionInterface.h"

#include <fstream>

namespace Tessaly {

// The platform services of this host unit: the board library plus the FPGA
// driver's status file and the power-sharing board's device node.
class KwPlatformAbstraction : public PlatformAbstractionInterface {
public:
    // Opens the FPGA status file; a missing file is not an error.
    KwPlatformAbstraction();
    ~KwPlatformAbstraction() override;

    int setLED(KwTypes::ledRGB colour, bool on) override;
    bool hasBoard(KwTypes::boardIdentity which) override;
    bool hasDynelleFitted() override;
    int getBoardId(KwTypes::boardIdentity which) override;
    // Reads the next two lines of the status file; outputs whose line does
    // not match keep the caller's value. Always true.
    bool getFPGABuildInfo(unsigned& designId, unsigned& versionMajor, unsigned& versionMinor, unsigned& versionPatch,
                          unsigned& versionBuild) override;
    int startWatchdog(int timeoutSeconds) override;
    int kickWatchdog() override;
    int stopWatchdog() override;
    // 0xFFFFFFFF when the identity record cannot be read.
    uint32_t getSerialNumber() override;

private:
    std::ifstream m_fpgaStatus;
};

} // namespace Tessaly
