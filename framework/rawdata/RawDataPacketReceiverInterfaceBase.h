#pragma once

#include "framework/rawdata/RawDataPacket.h"

#include <memory>

// Something that wants packets of the types it registered for. The
// connection's readers call receiveRawDataPacket once per receiver per frame;
// every receiver of one frame shares the one packet object.
class RawDataPacketReceiverInterfaceBase {
public:
    RawDataPacketReceiverInterfaceBase() = default;
    virtual ~RawDataPacketReceiverInterfaceBase() = default;

    virtual void receiveRawDataPacket(std::shared_ptr<const RawDataPacket> packet) = 0;

protected:
    RawDataPacketReceiverInterfaceBase(const RawDataPacketReceiverInterfaceBase&) = default;
    RawDataPacketReceiverInterfaceBase& operator=(const RawDataPacketReceiverInterfaceBase&) = default;
};
