#include "framework/datacore/NetworkConnection.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "framework/datacore/RawDataPacketRegistry.h"
#include "framework/datacore/SerialisableDataPacket.h"
#include "framework/rawdata/AudioMetersDataPacket.h"
#include "framework/rawdata/EyeHistogramData.h"
#include "framework/rawdata/MeasurementPackets.h"
#include "framework/rawdata/MetersData.h"
#include "framework/rawdata/PitHistogramPacket.h"
#include "framework/rawdata/RegistrationRawDataPacket.h"
#include "tests/support/CapturingLogger.h"

#include <QDataStream>

#include <gtest/gtest.h>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <typeinfo>

namespace {

QByteArray frameWith(int id, const QByteArray& payload, qint32 length, quint16 source = 0)
{
    QByteArray frame;
    QDataStream stream(&frame, QIODevice::WriteOnly);
    RawDataPacket::Header header;
    header.packetIdentifier = PacketIdentifier(id);
    header.sourceInstanceIdentifier = source;
    header.payloadLength = length;
    RawDataPacket::writeHeaderToDataStream(header, stream);
    return frame + payload + rawDataPacketTrailer;
}

template <typename T>
bool is(const RawDataPacket& p)
{
    return dynamic_cast<const T*>(&p) != nullptr;
}

std::string dynamicClassName(const RawDataPacket& packet)
{
    std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(typeid(packet).name(), nullptr, nullptr, nullptr), &std::free);
    return name ? name.get() : "";
}

TEST(RawDataPacketFactoryTest, EveryIdentifierMakesItsClass)
{
    const char* const classes[] = {
        "SerialisableDataPacket", "EyeVerticalHistogramData", "EyeHorizontalHistogramData", "PpmMetersData",
        "PeakHoldMetersData", "PhaseMetersData", "InstantPeakDbMetersData", "InstantPeakLinearMetersData",
        "ST337DolbyDetectData", "RawSdiSampleGridPacket", "RawSdiJitterSpectrumDataPacket",
        "JitterVerticalHistogramData", "VideoPitHistogramPacket", "AudioPitHistogramPacket", "AncPitHistogramPacket",
        "AncillaryStatusDataPacket", "AudioChannelStatusDataPacket", "AesPresenceDataPacket", "TeletextRawDataPacket",
        "EyeWindowedVerticalHistogramData", "VideoIp2110_21DataPacket", "PtpMediaLatencyPacket",
        "Captions608bytePairsRawDataPacket", "RefVsPtpPacket", "SCTE104RawDataPacket", "LoudnessEngineRawDataPacket",
        "RegisterRawDataPacket", "DeregisterRawDataPacket",
    };
    ASSERT_EQ(std::size(classes), 28u);
    const QByteArray payload = QByteArray("\x00\x00\x00\x0F{\"Class\":\"Foo\"}", 19);
    for (int id = 0x1010; id <= 0x102B; ++id) {
        const char* name = classes[id - 0x1010];
        const QByteArray frame = frameWith(id, payload, payload.size(), 3);
        const auto header = RawDataPacket::peekHeader(frame);
        ASSERT_EQ(header.packetIdentifier, id) << name;
        const auto packet = RawDataPacketFactory::createPacket(frame, header);
        ASSERT_NE(packet, nullptr) << name;
        EXPECT_EQ(dynamicClassName(*packet), name);
        EXPECT_STREQ(RawDataPacketFactory::getClassName(PacketIdentifier(id)), name);
        EXPECT_EQ(packet->getPacketIdentifier(), id) << name;
        EXPECT_EQ(packet->getPayloadFromPacket(), payload) << name;
        if (!is<RegistrationRawDataPacket>(*packet)) {
            EXPECT_EQ(packet->getSerialisedPayloadForTransmit(), payload) << name;
        }
    }
}

TEST(RawDataPacketFactoryTest, FamiliesShareTheirBase)
{
    using Check = bool (*)(const RawDataPacket&);
    const std::pair<std::vector<int>, Check> families[] = {
        {{0x1011, 0x1012, 0x101B, 0x1023}, is<EyeHistogramData>},
        {{0x1013, 0x1014, 0x1015, 0x1016, 0x1017}, is<MetersData>},
        {{0x1018, 0x1021}, is<AudioMetersDataPacket>},
        {{0x101C, 0x101D, 0x101E}, is<PitHistogramPacket>},
        {{0x102A, 0x102B}, is<RegistrationRawDataPacket>},
    };
    for (const auto& [ids, isOfFamily] : families) {
        for (int id = 0x1010; id <= 0x102B; ++id) {
            const QByteArray frame = frameWith(id, QByteArray(8, '\0'), 8);
            const auto packet = RawDataPacketFactory::createPacket(frame, RawDataPacket::peekHeader(frame));
            const bool expected = std::find(ids.begin(), ids.end(), id) != ids.end();
            EXPECT_EQ(isOfFamily(*packet), expected) << std::hex << id;
        }
    }
}

TEST(RawDataPacketFactoryTest, BadFramesGiveNull)
{
    struct Case {
        const char* name;
        int id;
        QByteArray payload;
        qint32 length;
    };
    const Case cases[] = {
        {"identifier below the table", 0x100F, "abcd", 4},
        {"identifier above the table", 0x102C, "abcd", 4},
        {"identifier zero", 0, "abcd", 4},
        {"negative length", 0x1011, "abcd", -4},
        {"largest length on a short frame", 0x1011, "abcd", 0x7FFFFFFF},
        {"one byte short of the payload", 0x1011, "abc", 4},
        {"datacore payload without its length field", 0x1010, "abc", 3},
        {"datacore payload empty", 0x1010, "", 0},
        {"registration payload short", 0x102A, "1234567", 7},
    };
    for (const auto& c : cases) {
        RawDataPacket::Header header;
        header.packetIdentifier = PacketIdentifier(c.id);
        header.payloadLength = c.length;
        const QByteArray frame = frameWith(c.id, c.payload, c.length).left(16 + c.payload.size());
        EXPECT_EQ(RawDataPacketFactory::createPacket(frame, header), nullptr) << c.name;
    }
    EXPECT_EQ(RawDataPacketFactory::getClassName(0x102C), nullptr);
    // The trailer is the reader's business: header and payload suffice.
    const QByteArray noTrailer = frameWith(0x1011, "abcd", 4).left(20);
    EXPECT_NE(RawDataPacketFactory::createPacket(noTrailer, RawDataPacket::peekHeader(noTrailer + "1234")), nullptr);
}

class Receiver : public RawDataPacketReceiverInterfaceBase {
public:
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

    EXPECT_EQ(&RawDataPacketRegistry::getInstance(), &RawDataPacketRegistry::getInstance());
    EXPECT_NE(&RawDataPacketRegistry::getInstance(), &registry);
}

// A connection whose UDP port is not open logs each request it gets, so the
// log counts the requests the registry made.
TEST(RawDataPacketRegistryTest, AsksTheServerOnceForEachIdentifier)
{
    const std::string request = "error: NetworkConnection requestRawDataPacketFromServer ERROR UDP port not open";
    CapturingLogger log;
    NetworkConnection connection(nullptr, false);
    RawDataPacketRegistry registry;
    Receiver a, b;

    registry.registerRawDataPacketReceiver(0x1011, &a); // before the connection: nothing asked
    registry.setNetworkConnection(&connection);
    EXPECT_TRUE(log.lines().empty());

    registry.registerRawDataPacketReceiver(0x1011, &b); // stream already wanted
    EXPECT_TRUE(log.lines().empty());
    registry.registerRawDataPacketReceiver(0x1013, &a);
    registry.registerRawDataPacketReceiver(0x1013, &b);
    EXPECT_EQ(log.lines(), std::vector<std::string>{request});

    log.clear();
    registry.deregisterRawDataPacketReceiver(0x1013, &a); // b still wants it
    EXPECT_EQ(registry.getAllRegisteredPacketIdentifiers(), (std::vector<PacketIdentifier>{0x1011, 0x1013}));
    registry.deregisterRawDataPacketReceiver(0x1013, &b); // last one gone: stream cancelled
    EXPECT_EQ(registry.getAllRegisteredPacketIdentifiers(), (std::vector<PacketIdentifier>{0x1011}));
    registry.registerRawDataPacketReceiver(0x1013, &a); // so it is asked for afresh
    EXPECT_EQ(log.lines(), std::vector<std::string>{request});
}

TEST(RawDataPacketRegistryTest, KeepsTheFirstConnection)
{
    CapturingLogger log;
    NetworkConnection first(nullptr, false), second(nullptr, false);
    RawDataPacketRegistry registry;
    registry.setNetworkConnection(&first);
    registry.setNetworkConnection(&first);
    registry.setNetworkConnection(&second);
    const std::string prefix = "error: RawDataPacketRegistry::setNetworkConnection ignoring callback registration.  ";
    EXPECT_EQ(log.lines(), (std::vector<std::string>{prefix + "This callback is already registered.",
                                                     prefix + "A different callback is already registered."}));
}

} // namespace
