#include "framework/rawdata/RegistrationRawDataPacket.h"

#include <QtEndian>

#include <algorithm>

RegistrationRawDataPacket::RegistrationRawDataPacket(PacketIdentifier rawDataPacketID, const quint32 dstAddr,
                                                     quint16 dstPort)
    : rawDataPacketID(rawDataPacketID), dstPort(dstPort), dstAddr(dstAddr)
{
    payload = getSerialisedPayloadForTransmit();
    header.payloadLength = payload.size();
}

RegistrationRawDataPacket::RegistrationRawDataPacket(const QByteArray& frame, const Header& header)
    : RawDataPacket(frame, header)
{
    uchar wire[wirePayloadSize] = {};
    std::copy_n(payload.constData(), qMin(payload.size(), wirePayloadSize), wire);
    rawDataPacketID = qFromBigEndian<quint16>(wire);
    dstPort = qFromBigEndian<quint16>(wire + 2);
    dstAddr = qFromBigEndian<quint32>(wire + 4);
}

QByteArray RegistrationRawDataPacket::getSerialisedPayloadForTransmit() const
{
    QByteArray wire(wirePayloadSize, '\0');
    auto* bytes = reinterpret_cast<uchar*>(wire.data());
    qToBigEndian<quint16>(rawDataPacketID, bytes);
    qToBigEndian<quint16>(dstPort, bytes + 2);
    qToBigEndian<quint32>(dstAddr, bytes + 4);
    return wire;
}
