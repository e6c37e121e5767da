#pragma once

#include "framework/rawdata/RawDataPacket.h"

// Asks the server to start or stop streaming one packet type to a UDP
// address and port. Wire payload: identifier, port, address, 8 bytes
// big-endian (the constructor takes identifier, address, port).
class RegistrationRawDataPacket : public RawDataPacket {
public:
    static constexpr int wirePayloadSize = 8;

    RegistrationRawDataPacket(PacketIdentifier rawDataPacketID, const quint32 dstAddr, quint16 dstPort);
    // Decodes the first 8 payload bytes; missing bytes read as zero.
    RegistrationRawDataPacket(const QByteArray& frame, const Header& header);

    PacketIdentifier getRawDataPacketID() const { return rawDataPacketID; }
    quint32 getDstAddr() const { return dstAddr; }
    quint16 getDstPort() const { return dstPort; }

    QByteArray getSerialisedPayloadForTransmit() const override;

private:
    PacketIdentifier rawDataPacketID = 0;
    quint16 dstPort = 0;
    quint32 dstAddr = 0;
};

class RegisterRawDataPacket : public RegistrationRawDataPacket {
public:
    RegisterRawDataPacket(PacketIdentifier rawDataPacketID, const quint32 dstAddr, quint16 dstPort)
        : RegistrationRawDataPacket(rawDataPacketID, dstAddr, dstPort)
    {
    }
    RegisterRawDataPacket(const QByteArray& frame, const Header& header) : RegistrationRawDataPacket(frame, header) {}
    PacketIdentifier getPacketIdentifier() const override { return PID_REGISTER_RAW_DATA; }
};

class DeregisterRawDataPacket : public RegistrationRawDataPacket {
public:
    DeregisterRawDataPacket(PacketIdentifier rawDataPacketID, const quint32 dstAddr, quint16 dstPort)
        : RegistrationRawDataPacket(rawDataPacketID, dstAddr, dstPort)
    {
    }
    DeregisterRawDataPacket(const QByteArray& frame, const Header& header) : RegistrationRawDataPacket(frame, header)
    {
    }
    PacketIdentifier getPacketIdentifier() const override { return PID_DEREGISTER_RAW_DATA; }
};
