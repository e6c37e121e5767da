#pragma once

#include "framework/rawdata/RawDataPacket.h"

// A measurement packet whose payload this layer does not decode: it keeps
// the payload of a received frame and sends exactly those bytes again, so a
// program can relay any packet unchanged.
class OpaquePayloadPacket : public RawDataPacket {
public:
    OpaquePayloadPacket() = default;
    OpaquePayloadPacket(const QByteArray& frame, const Header& header) : RawDataPacket(frame, header) {}
    // A packet to send with the given payload bytes.
    explicit OpaquePayloadPacket(const QByteArray& payloadToSend) { payload = payloadToSend; }

    QByteArray getSerialisedPayloadForTransmit() const override { return payload; }
    quint16 getSourceInstanceIdentifier() const override { return header.sourceInstanceIdentifier; }
};
