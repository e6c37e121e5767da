#pragma once

#include "framework/rawdata/RawDataPacket.h"

#include <memory>

// Turns a received frame into the packet class its identifier names.
class RawDataPacketFactory {
public:
    // Null when the identifier is unknown, the length negative, the frame
    // shorter than header and payload, or a datacore payload lacks its
    // 4-byte length field.
    static std::shared_ptr<RawDataPacket> createPacket(const QByteArray& frame, const RawDataPacket::Header& header);
    // The class name for an identifier of the table; null for any other.
    static const char* getClassName(PacketIdentifier id);
};
