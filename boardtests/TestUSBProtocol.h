#pragma once

#include "boardlink/DynelleUSBProtocolLowLevel.h"

class TestManager;

// The board link as the test manager uses it: the start-up check that the
// board is present, claimable and talking, and the polling step that keeps
// the readings fresh while the operator reads a screen.
class TestUSBProtocol : public DynelleUSBProtocolLowLevel {
public:
    using DynelleUSBProtocolLowLevel::DynelleUSBProtocolLowLevel;
    using DynelleUSBProtocolLowLevel::initialize;

    bool initialize(TestManager& tm);
    void requestData();
    bool processEvents(int ms);
};
