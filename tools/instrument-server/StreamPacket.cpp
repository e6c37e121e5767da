#include "StreamPacket.h"

#include <QtEndian>

#include <algorithm>

StreamPacket::StreamPacket(PacketIdentifier id, quint32 sequence, int payloadSize) : id(id)
{
    payload = QByteArray(std::max(payloadSize, 4), char(id & 0xFF));
    qToBigEndian(sequence, payload.data());
}
