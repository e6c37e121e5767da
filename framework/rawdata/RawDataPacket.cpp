#include "framework/rawdata/RawDataPacket.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace {

constexpr uchar magicWireBytes[8] = {0xCA, 0xFE, 0xBA, 0x6E, 0x1F, 0x00, 0xD3, 0x21};

} // namespace

RawDataPacket::RawDataPacket() = default;

RawDataPacket::RawDataPacket(const QByteArray& frame, const Header& header)
    : header(header)
{
    const qint64 available = qMax<qint64>(0, qint64(frame.size()) - headerSize);
    const qint64 length = qBound<qint64>(0, header.payloadLength, available);
    payload = QByteArray(frame.constData() + headerSize, int(length));
}

RawDataPacket::~RawDataPacket() = default;

quint16 RawDataPacket::getSourceInstanceIdentifier() const { return 0; }

RawDataPacket::Header RawDataPacket::readHeaderFromStream(QDataStream& stream)
{
    Header h;
    stream >> h.magicHigh >> h.magicLow >> h.packetIdentifier >> h.sourceInstanceIdentifier >> h.payloadLength;
    return h;
}

void RawDataPacket::writeHeaderToDataStream(const Header& header, QDataStream& stream)
{
    stream << header.magicHigh << header.magicLow << header.packetIdentifier << header.sourceInstanceIdentifier
           << header.payloadLength;
}

RawDataPacket::Header RawDataPacket::peekHeader(const QByteArray& buffer)
{
    return peekHeader(buffer.constData(), buffer.size());
}

RawDataPacket::Header RawDataPacket::peekHeader(const char* data, qint64 size)
{
    // Decoded by hand rather than through a data stream: the readers call
    // this at every offset while skipping garbage.
    Header h;
    const auto* bytes = reinterpret_cast<const uchar*>(data);
    if (size <= 0 || bytes[0] != magicWireBytes[0] || std::memcmp(bytes, magicWireBytes, size_t(qMin<qint64>(size, 8))) != 0) {
        h.packetIdentifier = peekNotAFrame;
        return h;
    }
    if (size >= 10 && !isKnownPacketIdentifier(qFromBigEndian<quint16>(bytes + 8))) {
        h.packetIdentifier = peekNotAFrame;
        return h;
    }
    if (size < headerSize) {
        h.packetIdentifier = peekIncomplete;
        return h;
    }
    h.packetIdentifier = qFromBigEndian<quint16>(bytes + 8);
    h.sourceInstanceIdentifier = qFromBigEndian<quint16>(bytes + 10);
    h.payloadLength = qFromBigEndian<qint32>(bytes + 12);
    if (h.payloadLength < 0)
        h.packetIdentifier = peekNotAFrame;
    else if (size < h.frameSize())
        h.packetIdentifier = peekIncomplete;
    return h;
}

qint64 RawDataPacket::nextPossibleFrameStart(const char* data, qint64 size, qint64 from)
{
    if (from >= size)
        return size;
    const void* found = std::memchr(data + from, magicWireBytes[0], size_t(size - from));
    return found ? static_cast<const char*>(found) - data : size;
}

QByteArray RawDataPacket::generatePacketHeaderForPayload(const QByteArray& payload) const
{
    QByteArray bytes;
    bytes.reserve(headerSize);
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    Header h;
    h.packetIdentifier = getPacketIdentifier();
    h.sourceInstanceIdentifier = getSourceInstanceIdentifier();
    h.payloadLength = payload.size();
    writeHeaderToDataStream(h, stream);
    return bytes;
}

qint64 RawDataPacket::serialisePacketAndWriteToDevice(QIODevice& device) const
{
    const QByteArray body = getSerialisedPayloadForTransmit();
    return device.write(generatePacketHeaderForPayload(body)) + device.write(body)
           + device.write(rawDataPacketTrailer);
}
