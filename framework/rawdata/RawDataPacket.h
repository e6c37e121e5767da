#pragma once

#include "framework/rawdata/PacketIdentifier.h"

#include <QByteArray>
#include <QtGlobal>

class QDataStream;
class QIODevice;

// The bytes DE AD BE EF that close every frame.
inline constexpr char rawDataPacketTrailerBytes[4] = {'\xDE', '\xAD', '\xBE', '\xEF'};
inline const QByteArray rawDataPacketTrailer =
    QByteArray::fromRawData(rawDataPacketTrailerBytes, sizeof rawDataPacketTrailerBytes);

// The common envelope of every measurement and datacore record: a 16-byte
// big-endian header, the payload, and the trailer.
class RawDataPacket {
public:
    static constexpr quint32 magicLowHalf = 0x1F00D321u;
    static constexpr quint32 magicHighHalf = 0xCAFEBA6Eu;
    static constexpr int headerSize = 16;
    static constexpr int trailerSize = 4;

    struct Header {
        quint32 magicLow = magicLowHalf;
        quint32 magicHigh = magicHighHalf;
        PacketIdentifier packetIdentifier = 0;
        quint16 sourceInstanceIdentifier = 0;
        qint32 payloadLength = 0;

        bool hasValidMagic() const { return magicLow == magicLowHalf && magicHigh == magicHighHalf; }
        // Header, payload and trailer; 64-bit so that no length can overflow it.
        qint64 frameSize() const { return qint64(headerSize) + payloadLength + trailerSize; }
    };

    // What peekHeader reports in the identifier when no whole frame is there.
    static constexpr PacketIdentifier peekNotAFrame = 0;
    static constexpr PacketIdentifier peekIncomplete = 1;

    RawDataPacket();
    // Keeps the header and the payloadLength bytes after it (as many as the
    // frame holds).
    RawDataPacket(const QByteArray& frame, const Header& header);
    RawDataPacket(const RawDataPacket&) = default;
    RawDataPacket(RawDataPacket&&) = default;
    RawDataPacket& operator=(const RawDataPacket&) = default;
    RawDataPacket& operator=(RawDataPacket&&) = default;
    virtual ~RawDataPacket();

    virtual PacketIdentifier getPacketIdentifier() const = 0;
    virtual quint16 getSourceInstanceIdentifier() const;
    virtual QByteArray getSerialisedPayloadForTransmit() const = 0;

    Header getHeaderFromPacket() const { return header; }
    QByteArray getPayloadFromPacket() const { return payload; }

    static Header readHeaderFromStream(QDataStream& stream);
    static void writeHeaderToDataStream(const Header& header, QDataStream& stream);
    // Reads the header at the start of a receive buffer. The identifier is
    // peekNotAFrame when no frame starts there, peekIncomplete when one may
    // but its bytes are not all in yet, else the header as read.
    static Header peekHeader(const QByteArray& buffer);
    // The same over raw bytes, for readers that scan a buffer at every offset.
    static Header peekHeader(const char* data, qint64 size);
    // The first offset at or after from where a frame may start (the first
    // magic byte), or size when there is none; what a reader skipping one
    // byte at a time over garbage would reach, found in one pass.
    static qint64 nextPossibleFrameStart(const char* data, qint64 size, qint64 from);

    QByteArray generatePacketHeaderForPayload(const QByteArray& payload) const;
    // Header, payload and trailer as three writes; the sum of their results.
    qint64 serialisePacketAndWriteToDevice(QIODevice& device) const;

protected:
    Header header;
    QByteArray payload;
};
