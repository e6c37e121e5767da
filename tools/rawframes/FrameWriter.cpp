#include "tools/rawframes/FrameWriter.h"

#include "framework/datacore/SerialisableDataPacket.h"

#include <QBuffer>
#include <QDataStream>
#include <QJsonDocument>

#include <cctype>

namespace {

QByteArray frameOf(const SerialisableDataPacket& packet)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    packet.serialisePacketAndWriteToDevice(buffer);
    return buffer.data();
}

} // namespace

QByteArray frameFromJson(const QByteArray& jsonText, QString& error)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(jsonText, &parse);
    if (parse.error != QJsonParseError::NoError) {
        error = QStringLiteral("not valid JSON: %1 at offset %2").arg(parse.errorString()).arg(parse.offset);
        return QByteArray();
    }
    if (!document.isObject()) {
        error = QStringLiteral("a datacore packet holds a JSON object, not an array");
        return QByteArray();
    }
    return frameOf(SerialisableDataPacket::fromJson(document.object()));
}

QByteArray frameFromHexPayload(PacketIdentifier id, quint16 source, const QByteArray& hexText, QString& error)
{
    if (!isKnownPacketIdentifier(id)) {
        error = QStringLiteral("packet identifier 0x%1 is outside 0x1010..0x102b").arg(int(id), 0, 16);
        return QByteArray();
    }
    QByteArray digits;
    for (const char c : hexText) {
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
        else if (!std::isspace(static_cast<unsigned char>(c)) && c != ':') {
            error = QStringLiteral("not a hexadecimal digit: '%1'").arg(QChar::fromLatin1(c));
            return QByteArray();
        }
    }
    if (digits.size() % 2 != 0) {
        error = QStringLiteral("odd number of hexadecimal digits");
        return QByteArray();
    }
    const QByteArray payload = QByteArray::fromHex(digits);
    // Written by hand: the packet classes report their own identifier and
    // source, and the engineer may want any of them.
    QByteArray frame;
    QDataStream stream(&frame, QIODevice::WriteOnly);
    RawDataPacket::Header header;
    header.packetIdentifier = id;
    header.sourceInstanceIdentifier = source;
    header.payloadLength = payload.size();
    RawDataPacket::writeHeaderToDataStream(header, stream);
    return frame + payload + rawDataPacketTrailer;
}
