#include "framework/datacore/RawDataPacketFactory.h"
#include "framework/datacore/RawDataPacketRegistry.h"
#include "tests/framework/datacore/Loopback.h"

#include <gtest/gtest.h>

namespace {

// Each identifier of the table makes a packet that reports that identifier
// and keeps the payload; all but registrations (which re-encode their eight
// bytes of fields) send it again unchanged.
TEST(RawDataPacketFactoryTest, EveryIdentifierMakesAPacketOfItsOwnType)
{
    const QByteArray payload("\x00\x00\x00\x0F{\"Class\":\"Foo\"}", 19);
    for (int id = firstRawDataPacketIdentifier; id <= lastRawDataPacketIdentifier; ++id) {
        const QByteArray frame = frameBytes(quint16(id), payload);
        const auto packet = RawDataPacketFactory::createPacket(frame, RawDataPacket::peekHeader(frame));
        ASSERT_NE(packet, nullptr) << id;
        EXPECT_EQ(packet->getPacketIdentifier(), id);
        EXPECT_NE(RawDataPacketFactory::getClassName(PacketIdentifier(id)), nullptr) << id;
        EXPECT_EQ(packet->getPayloadFromPacket(), payload) << id;
        const bool registration = id == PID_REGISTER_RAW_DATA || id == PID_DEREGISTER_RAW_DATA;
        EXPECT_EQ(packet->getSerialisedPayloadForTransmit(), registration ? payload.left(8) : payload) << id;
    }
}

TEST(RawDataPacketFactoryTest, BadFramesGiveNull)
{
    // name, identifier, the payload present, the length the header claims
    const std::tuple<const char*, quint16, QByteArray, qint32> cases[] = {
        {"identifier below the table", 0x100F, "abcd", 4},
        {"identifier above the table", 0x102C, "abcd", 4},
        {"negative length", 0x1011, "abcd", -4},
        {"largest length on a short frame", 0x1011, "abcd", 0x7FFFFFFF},
        {"one byte short of the payload", 0x1011, "abc", 4},
        {"datacore payload without its length field", 0x1010, "abc", 3},
        {"registration payload short", 0x102A, "1234567", 7},
    };
    for (const auto& [name, id, payload, length] : cases) {
        RawDataPacket::Header header;
        header.packetIdentifier = id;
        header.payloadLength = length;
        EXPECT_EQ(RawDataPacketFactory::createPacket(headerBytes(id, length) + payload, header), nullptr) << name;
    }
    EXPECT_EQ(RawDataPacketFactory::getClassName(0x102C), nullptr);
    // The trailer is the reader's business: header and payload suffice.
    const QByteArray noTrailer = frameBytes(0x1011, "abcd").left(20);
    EXPECT_NE(RawDataPacketFactory::createPacket(noTrailer, RawDataPacket::peekHeader(noTrailer + "1234")), nullptr);
}

struct Receiver : RawDataPacketReceiverInterfaceBase {
    void receiveRawDataPacket(std::shared_ptr<const RawDataPacket>) override {}
};

using Receivers = std::vector<RawDataPacketReceiverInterfaceBase*>;

TEST(RawDataPacketRegistryTest, ReceiversComeNewestFirstAndIdentifiersAscending)
{
    RawDataPacketRegistry registry;
    Receiver a, b, c;
    registry.registerRawDataPacketReceiver(0x1013, &a);
    registry.registerRawDataPacketReceiver(0x1011, &a);
    registry.registerRawDataPacketReceiver(0x1011, &b);
    registry.registerRawDataPacketReceiver(0x1011, &c);
    registry.registerRawDataPacketReceiver(0x1011, &b);
    EXPECT_EQ(registry.getReceiversForPacketIdentifier(0x1011), (Receivers{&b, &c, &b, &a}));
    EXPECT_EQ(registry.getReceiversForPacketIdentifier(0x1013), (Receivers{&a}));
    EXPECT_TRUE(registry.getReceiversForPacketIdentifier(0x1012).empty());
    EXPECT_EQ(registry.getAllRegisteredPacketIdentifiers(), (std::vector<PacketIdentifier>{0x1011, 0x1013}));

    registry.deregisterRawDataPacketReceiver(0x1011, &b); // every entry of b under 0x1011
    EXPECT_EQ(registry.getReceiversForPacketIdentifier(0x1011), (Receivers{&c, &a}));
    registry.deregisterRawDataPacketReceiver(0x1013, &c); // not registered there: no change
    EXPECT_EQ(registry.getReceiversForPacketIdentifier(0x1013), (Receivers{&a}));
    registry.deregisterRawDataPacketReceiver(0x1013, &a);
    EXPECT_EQ(registry.getAllRegisteredPacketIdentifiers(), (std::vector<PacketIdentifier>{0x1011}));
}

} // namespace
