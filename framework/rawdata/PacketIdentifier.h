#pragma once

#include <QtGlobal>

// The packet type carried in every raw data packet header.
using PacketIdentifier = quint16;

// The datacore packet type; it always travels on the server connection itself.
inline constexpr PacketIdentifier PID_SERIALISABLE_DATA = 0x1010;
inline constexpr PacketIdentifier PID_REGISTER_RAW_DATA = 0x102A;
inline constexpr PacketIdentifier PID_DEREGISTER_RAW_DATA = 0x102B;

// The identifiers a frame may carry, both ends included.
inline constexpr PacketIdentifier firstRawDataPacketIdentifier = 0x1010;
inline constexpr PacketIdentifier lastRawDataPacketIdentifier = 0x102B;

inline constexpr bool isKnownPacketIdentifier(int id)
{
    return id >= firstRawDataPacketIdentifier && id <= lastRawDataPacketIdentifier;
}
