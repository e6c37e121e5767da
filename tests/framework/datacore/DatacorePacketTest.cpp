#include "framework/datacore/DatacorePacket.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "tests/framework/datacore/Loopback.h"
#include "tests/support/CapturingLogger.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sstream>

namespace {

QJsonObject parseObject(const char* text) { return QJsonDocument::fromJson(text).object(); }

size_t countContaining(const std::vector<std::string>& lines, const std::string& text)
{
    size_t n = 0;
    for (const auto& line : lines)
        n += line.find(text) != std::string::npos;
    return n;
}

TEST(DatacorePacketTest, ClassFooTransmitsNineteenBytes)
{
    const SerialisableDataPacket packet(QStringLiteral("Foo"));
    const QByteArray payload = packet.getSerialisedPayloadForTransmit();
    EXPECT_EQ(payload, QByteArray("\x00\x00\x00\x0F{\"Class\":\"Foo\"}", 19));
    const QByteArray frame = frameOf(packet);
    const auto header = RawDataPacket::peekHeader(frame);
    EXPECT_EQ(header.packetIdentifier, 0x1010);
    EXPECT_EQ(header.sourceInstanceIdentifier, 0);
    EXPECT_EQ(header.payloadLength, 19);
    EXPECT_EQ(frame.size(), 16 + 19 + 4);
}

TEST(DatacorePacketTest, ReceivedFrameComesBackThroughTheFactoryEqualAndPrintedAsItsObject)
{
    const DatacorePacket sent(QStringLiteral("client-1"), 7, parseObject(R"({"Gain":3,"Name":"x"})"),
                              QStringLiteral("Inputs/A"));
    const QByteArray frame = frameOf(sent);
    const auto packet = RawDataPacketFactory::createPacket(frame, RawDataPacket::peekHeader(frame));
    const auto* received = dynamic_cast<const SerialisableDataPacket*>(packet.get());
    ASSERT_NE(received, nullptr);
    EXPECT_TRUE(*received == sent);
    EXPECT_FALSE(*received != sent);
    EXPECT_NE(*received, SerialisableDataPacket(QStringLiteral("Other")));
    EXPECT_EQ(received->getPacketClassName(), QStringLiteral("DatacorePacket"));
    EXPECT_EQ(received->getSerialisedPayloadForTransmit(), received->getPayloadFromPacket());
    DatacorePacket view(QStringLiteral("DatacorePacket"));
    view.jsonObject = received->jsonObject;
    EXPECT_EQ(view.getClientID(), QStringLiteral("client-1"));
    EXPECT_EQ(view.getPacketID(), 7);
    EXPECT_EQ(view.getDatacorePath(), QStringLiteral("Inputs/A"));
    EXPECT_EQ(view.getDatacoreJsonObject(), parseObject(R"({"Gain":3,"Name":"x"})"));

    std::ostringstream out;
    out << *received;
    const QByteArray indented = QJsonDocument(sent.jsonObject).toJson(QJsonDocument::Indented);
    EXPECT_EQ(out.str(), indented.toStdString());
    EXPECT_EQ(fmt::format("{}", *received), indented.toStdString());
    EXPECT_EQ(fmt::format("{}", sent), indented.toStdString());
}

TEST(DatacorePacketTest, BadReceivedPayloadsGiveAnEmptyClassAfterOneMessage)
{
    const std::string parseFailure = "info: SerialisablePacket failed to parse packet ";
    struct Case {
        const char* name;
        QByteArray json;
        size_t messages;
        QJsonObject expected;
    };
    QByteArray deep;
    for (int i = 0; i < 5000; ++i)
        deep += "{\"a\":";
    const Case cases[] = {
        {"cut short", R"({"Class":"Da)", 1, parseObject(R"({"Class":""})")},
        {"empty text", "", 1, parseObject(R"({"Class":""})")},
        {"nested thousands deep", deep, 1, parseObject(R"({"Class":""})")},
        {"array instead of object", R"([{"Class":"A"}])", 0, QJsonObject()},
        {"valid object", R"({"Class":"A"})", 0, parseObject(R"({"Class":"A"})")},
    };
    for (const auto& c : cases) {
        CapturingLogger log;
        QByteArray payload(4, '\0');
        qToBigEndian<quint32>(0xFFFFFFFFu, payload.data()); // never read
        payload += c.json;
        const QByteArray frame = frameBytes(PID_SERIALISABLE_DATA, payload);
        const SerialisableDataPacket packet(frame, RawDataPacket::peekHeader(frame));
        EXPECT_EQ(packet.jsonObject, c.expected) << c.name;
        EXPECT_EQ(countContaining(log.lines(), parseFailure), c.messages) << c.name;
        EXPECT_EQ(log.lines().size(), c.messages) << c.name;
    }
}

TEST(DatacorePacketTest, DeserialiseAndEmptyClassNameReportAtInfo)
{
    CapturingLogger log;
    QJsonParseError error{};
    EXPECT_TRUE(SerialisableDataPacket::deserialise(R"({"Class":)", error).jsonObject.isEmpty());
    EXPECT_NE(error.error, QJsonParseError::NoError);
    EXPECT_EQ(SerialisableDataPacket::deserialise(R"({"Class":"Foo"})", error).getPacketClassName(), "Foo");
    EXPECT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_TRUE(SerialisableDataPacket{QString()}.jsonObject.isEmpty());
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[0].rfind("info: SerialisablePacket failed to parse packet: ", 0), 0u);
    EXPECT_EQ(log.lines()[1], "info: SerialisableDataPacket MUST HAVE CLASS NAME");
}

TEST(DatacorePacketTest, NestedPacketExtraction)
{
    SerialisableDataPacket outer(QStringLiteral("Outer"));
    outer.insertOtherPacketIntoThis(QStringLiteral("one"), SerialisableDataPacket(QStringLiteral("Inner")));
    outer.insertOtherPacketsIntoThis(QStringLiteral("many"), {SerialisableDataPacket(QStringLiteral("A")),
                                                              SerialisableDataPacket(QStringLiteral("B"))});
    outer.jsonObject.insert(QStringLiteral("mixed"), QJsonDocument::fromJson(
                                                         R"([{"Class":"A"},{"X":1},{"Class":"C"},5,{"Class":""}])")
                                                         .array());
    outer.jsonObject.insert(QStringLiteral("noClass"), parseObject(R"({"X":1})"));
    outer.jsonObject.insert(QStringLiteral("emptyClass"), parseObject(R"({"Class":""})"));
    outer.jsonObject.insert(QStringLiteral("numberClass"), parseObject(R"({"Class":3})"));
    outer.jsonObject.insert(QStringLiteral("text"), QStringLiteral("not a packet"));

    struct Single {
        const char* key;
        bool ok;
        const char* className;
    };
    const Single singles[] = {
        {"one", true, "Inner"},     {"many", false, ""},      {"missing", false, ""},    {"noClass", false, ""},
        {"emptyClass", false, ""}, {"numberClass", false, ""}, {"text", false, ""},
    };
    for (const auto& s : singles) {
        bool ok = !s.ok;
        const auto inner = outer.extractOtherPacketFromThis(QString::fromLatin1(s.key), ok);
        EXPECT_EQ(ok, s.ok) << s.key;
        EXPECT_EQ(inner.getPacketClassName(), QString::fromLatin1(s.className)) << s.key;
        if (!s.ok) {
            EXPECT_TRUE(inner.jsonObject.isEmpty()) << s.key;
        }
    }

    struct Several {
        const char* key;
        bool ok;
        QStringList classes;
    };
    const Several severals[] = {
        {"many", true, {"A", "B"}},
        {"mixed", false, {"A", "C"}},
        {"one", false, {}},
        {"missing", false, {}},
    };
    for (const auto& s : severals) {
        bool ok = !s.ok;
        QStringList classes;
        for (const auto& p : outer.extractOtherPacketsFromThis(QString::fromLatin1(s.key), ok))
            classes << p.getPacketClassName();
        EXPECT_EQ(ok, s.ok) << s.key;
        EXPECT_EQ(classes, s.classes) << s.key;
    }
}

TEST(DatacorePacketTest, MembersOfTheWrongTypeReadAsAbsent)
{
    DatacorePacket packet(QStringLiteral("DatacorePacket"));
    EXPECT_EQ(packet.getPacketID(), -1);
    EXPECT_FALSE(packet.containsPacketID());
    struct Case {
        const char* json;
        int packetId;
    };
    const Case cases[] = {
        {R"({"PacketID":7})", 7},           {R"({"PacketID":-3})", -3},        {R"({"PacketID":7.5})", -1},
        {R"({"PacketID":"7"})", -1},        {R"({"PacketID":1e12})", -1},     {R"({"PacketID":null})", -1},
    };
    for (const auto& c : cases) {
        packet.jsonObject = parseObject(c.json);
        EXPECT_EQ(packet.getPacketID(), c.packetId) << c.json;
        EXPECT_TRUE(packet.containsPacketID()) << c.json;
    }
    packet.jsonObject = parseObject(R"({"Class":1,"ClientID":2,"Path":[],"Datacore":"x"})");
    EXPECT_TRUE(packet.containsClientID() && packet.containsDatacorePath() && packet.containsDatacoreObject());
    EXPECT_TRUE(packet.getPacketClassName().isEmpty());
    EXPECT_TRUE(packet.getClientID().isEmpty());
    EXPECT_TRUE(packet.getDatacorePath().isEmpty());
    EXPECT_TRUE(packet.getDatacoreJsonObject().isEmpty());
}

} // namespace
