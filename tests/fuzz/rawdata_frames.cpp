// Bytes from the link: every offset is peeked as a frame start, whole frames
// go through the factory, datacore packets are parsed, nested packets and
// trees extracted and the packet sent again; the same bytes are also parsed
// as bare datacore JSON.
#include "framework/datacore/DatacorePathRadixTreePacket.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "tests/fuzz/Check.h"

#include <QBuffer>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    for (int offset = 0; offset < bytes.size(); ++offset) {
        const QByteArray rest = QByteArray::fromRawData(bytes.constData() + offset, bytes.size() - offset);
        const auto header = RawDataPacket::peekHeader(rest);
        if (header.packetIdentifier == RawDataPacket::peekNotAFrame
            || header.packetIdentifier == RawDataPacket::peekIncomplete)
            continue;
        check(header.payloadLength >= 0 && rest.size() >= header.frameSize(), "a whole frame when one is promised");
        const auto packet = RawDataPacketFactory::createPacket(rest, header);
        if (!packet)
            continue;
        check(packet->getPayloadFromPacket().size() == header.payloadLength, "the packet holds the whole payload");
        QBuffer sink;
        sink.open(QIODevice::WriteOnly);
        packet->serialisePacketAndWriteToDevice(sink);
        if (const auto* datacore = dynamic_cast<const SerialisableDataPacket*>(packet.get())) {
            bool ok = false;
            for (const QString& key : datacore->jsonObject.keys()) {
                datacore->extractOtherPacketFromThis(key, ok);
                datacore->extractOtherPacketsFromThis(key, ok);
            }
            DatacorePathRadixTreePacket tree;
            tree.jsonObject = datacore->jsonObject;
            tree.getRootNodeForStatusTree();
            tree.getRadixTreeFromJson(datacore->jsonObject);
        }
    }
    QJsonParseError error{};
    SerialisableDataPacket::deserialise(bytes, error).getSerialisedPayloadForTransmit();
    return 0;
}
