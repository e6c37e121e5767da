#pragma once

#include "framework/rawdata/RawDataPacket.h"

#include <QByteArray>

// A measurement packet of any type made up by the stand-in: a payload of the
// configured size that starts with a 32-bit big-endian sequence number, so
// that a receiver can count what it lost.
class StreamPacket : public RawDataPacket {
public:
    StreamPacket(PacketIdentifier id, quint32 sequence, int payloadSize);
    PacketIdentifier getPacketIdentifier() const override { return id; }
    QByteArray getSerialisedPayloadForTransmit() const override { return payload; }

private:
    PacketIdentifier id;
};
