#include "framework/datacore/DatacorePacket.h"
#include "framework/datacore/DatacorePacketDistributor.h"
#include "framework/datacore/DatacorePathRadixTreePacket.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "tests/framework/datacore/Loopback.h"
#include "tests/support/CapturingLogger.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

QJsonObject parseObject(const char* text) { return QJsonDocument::fromJson(text).object(); }

// On the wire: a big-endian length, then compact JSON; printed indented.
TEST(DatacorePacketTest, WireFormComesBackEqualAndPrintsAsIndentedJson)
{
    EXPECT_EQ(frameOf(SerialisableDataPacket(QStringLiteral("Foo"))),
              frameBytes(PID_SERIALISABLE_DATA, QByteArray("\x00\x00\x00\x0F{\"Class\":\"Foo\"}", 19)));
    const DatacorePacket sent(QStringLiteral("client-1"), 7, parseObject(R"({"Gain":3})"), QStringLiteral("In/A"));
    const QByteArray frame = frameOf(sent);
    const auto packet = RawDataPacketFactory::createPacket(frame, RawDataPacket::peekHeader(frame));
    const auto* received = dynamic_cast<const SerialisableDataPacket*>(packet.get());
    ASSERT_NE(received, nullptr);
    EXPECT_TRUE(*received == sent);
    EXPECT_EQ(sent.serialise(),
              R"({"Class":"DatacorePacket","ClientID":"client-1","Datacore":{"Gain":3},"PacketID":7,"Path":"In/A"})");
    EXPECT_EQ(fmt::format("{}", SerialisableDataPacket(QStringLiteral("Foo"))), "{\n    \"Class\": \"Foo\"\n}\n");
}

// The length field is not trusted; text that is no JSON object, nested beyond
// the parser's limit included, gives an empty class after one message (as
// text given to deserialise gives an empty object).
TEST(DatacorePacketTest, BadPayloadsGiveAnEmptyClassAfterOneMessage)
{
    const std::tuple<const char*, QByteArray, QJsonObject> cases[] = {
        {"nested thousands deep", QByteArray("{\"a\":").repeated(5000), parseObject(R"({"Class":""})")},
        {"array instead of object", R"([{"Class":"A"}])", QJsonObject()},
        {"valid object", R"({"Class":"A"})", parseObject(R"({"Class":"A"})")},
    };
    CapturingLogger log;
    for (const auto& [name, json, expected] : cases) {
        const QByteArray frame = frameBytes(PID_SERIALISABLE_DATA, QByteArray(4, '\xFF') + json);
        EXPECT_EQ(SerialisableDataPacket(frame, RawDataPacket::peekHeader(frame)).jsonObject, expected) << name;
    }
    QJsonParseError error{};
    EXPECT_TRUE(SerialisableDataPacket::deserialise(R"({"Class":)", error).jsonObject.isEmpty());
    EXPECT_EQ(SerialisableDataPacket::deserialise(R"({"Class":"Foo"})", error).getPacketClassName(), "Foo");
    EXPECT_TRUE(SerialisableDataPacket{QString()}.jsonObject.isEmpty());
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("info: SerialisablePacket failed to parse packet ", 0), 0u);
    EXPECT_EQ(lines[1].rfind("info: SerialisablePacket failed to parse packet: ", 0), 0u);
    EXPECT_EQ(lines[2], "info: SerialisableDataPacket MUST HAVE CLASS NAME");
}

// A nested packet is an object with a non-empty string "Class"; a list is ok
// only when every element is one, and gives those that are.
TEST(DatacorePacketTest, NestedPacketExtraction)
{
    SerialisableDataPacket outer = SerialisableDataPacket::fromJson(parseObject(
        R"({"mixed":[{"Class":"A"},{"X":1},{"Class":"C"},5],"emptyClass":{"Class":""},"numberClass":{"Class":3}})"));
    outer.insertOtherPacketIntoThis(QStringLiteral("one"), SerialisableDataPacket(QStringLiteral("Inner")));
    outer.insertOtherPacketsIntoThis(QStringLiteral("many"), {SerialisableDataPacket(QStringLiteral("A")),
                                                              SerialisableDataPacket(QStringLiteral("B"))});
    // key, the single packet's class (none: not ok), whether the list is ok, the list's classes
    const std::tuple<const char*, const char*, bool, QStringList> cases[] = {
        {"one", "Inner", false, {}},          {"many", nullptr, true, {"A", "B"}},
        {"mixed", nullptr, false, {"A", "C"}}, {"emptyClass", nullptr, false, {}},
        {"numberClass", nullptr, false, {}},
    };
    for (const auto& [key, single, listOk, classes] : cases) {
        bool ok = !single;
        const QJsonObject expected = single ? QJsonObject{{"Class", single}} : QJsonObject();
        EXPECT_EQ(outer.extractOtherPacketFromThis(QString::fromLatin1(key), ok).jsonObject, expected) << key;
        EXPECT_EQ(ok, single != nullptr) << key;
        ok = !listOk;
        QStringList found;
        for (const auto& p : outer.extractOtherPacketsFromThis(QString::fromLatin1(key), ok))
            found << p.getPacketClassName();
        EXPECT_EQ(ok, listOk) << key;
        EXPECT_EQ(found, classes) << key;
    }
}

TEST(DatacorePacketTest, PacketIdOnlyAsAWholeNumberInRange)
{
    DatacorePacket packet(QStringLiteral("DatacorePacket"));
    const std::pair<const char*, int> cases[] = {{"{}", -1}, {R"({"PacketID":-3})", -3}, {R"({"PacketID":7.5})", -1},
                                                 {R"({"PacketID":"7"})", -1}, {R"({"PacketID":1e12})", -1}};
    for (const auto& [json, packetId] : cases) {
        packet.jsonObject = parseObject(json);
        EXPECT_EQ(packet.getPacketID(), packetId) << json;
    }
}

struct Acceptor : SerialisableDataPacketAcceptorInterface {
    explicit Acceptor(QString wanted) : wanted(std::move(wanted)) {}
    bool canAcceptPacket(QString className) override { return className == wanted; }
    void acceptPacket(const SerialisableDataPacket& packet) override { received << packet.getPacketClassName(); }
    QString wanted;
    QStringList received;
};

// Only the acceptors present when a packet arrives are offered it.
TEST(DatacorePacketDistributorTest, GivesEachPacketToTheAcceptorsOfItsClass)
{
    RawDataPacketRegistry registry;
    DatacorePacketDistributor distributor(registry);
    Acceptor a("A"), b("B");
    distributor.addAcceptor(&a);
    distributor.addAcceptor(&b);
    distributor.addAcceptor(nullptr);
    const auto deliver = [&](const char* name) {
        for (auto* receiver : registry.getReceiversForPacketIdentifier(PID_SERIALISABLE_DATA))
            receiver->receiveRawDataPacket(std::make_shared<SerialisableDataPacket>(QString(name)));
    };
    for (const char* name : {"A", "B", "C"})
        deliver(name);
    distributor.removeAcceptor(&a);
    deliver("A");
    EXPECT_EQ(a.received, QStringList{"A"});
    EXPECT_EQ(b.received, QStringList{"B"});
}

std::shared_ptr<DatacoreBase> element(const char* name, std::vector<std::shared_ptr<DatacoreBase>> children = {})
{
    auto e = std::make_shared<DatacoreBase>(QString::fromLatin1(name));
    for (auto& child : children)
        e->addChild(child);
    return e;
}

// The node as nested text, e.g. "Status(Inputs(A,B),Outputs)".
QString describe(const DatacoreRadixTreeNode& node)
{
    QStringList kids;
    for (const auto& child : node.children)
        kids << describe(child);
    return kids.isEmpty() ? node.name : node.name + "(" + kids.join(",") + ")";
}

TEST(RadixTreePacketTest, TreesWrittenAsNestedNamesAndReadBack)
{
    using P = DatacorePathRadixTreePacket;
    using Set = void (P::*)(const DatacoreBase&);
    using Contains = bool (P::*)() const;
    using Get = DatacoreRadixTreeNode (P::*)() const;
    const std::tuple<const char*, Set, Contains, Get> trees[] = {
        {"StatusTreeObject", &P::setStatusTree, &P::containsStatusTree, &P::getRootNodeForStatusTree},
        {"NonPersistentConfigTreeObject", &P::setNonPersistentConfigTree, &P::containsNonPersistentConfigTree,
         &P::getRootNodeForNonPersistentConfigTree},
        {"ConfigTreeObject", &P::setConfigTree, &P::containsConfigTree, &P::getRootNodeForConfigTree},
        {"CommandTreeObject", &P::setCommandTree, &P::containsCommandTree, &P::getRootNodeForCommandTree},
        {"PersistentConfigTreeObject", &P::setPersistentConfigTree, &P::containsPersistentConfigTree,
         &P::getRootNodeForPersistentConfigTree},
    };
    const auto root = element("Status", {element("Inputs", {element("A"), element("B")}), element("Outputs")});
    for (const auto& [key, set, contains, get] : trees) {
        P packet;
        packet.setDestinationClientId(QStringLiteral("c1"));
        (packet.*set)(*root);
        EXPECT_EQ(packet.serialise(), QByteArray(R"({"Class":"DatacorePathRadixTreePacket","ClientId":"c1",")") + key
                                        + R"(":{"Core":"Status","Kids":[{"Core":"Inputs","Kids":[{"Core":"A"},)"
                                          R"({"Core":"B"}]},{"Core":"Outputs"}]}})");

        EXPECT_EQ(packet.getDestinationClientId(), QStringLiteral("c1"));
        EXPECT_TRUE(packet.containsClientId() && (packet.*contains)()) << key;
        EXPECT_EQ(describe((packet.*get)()), QStringLiteral("Status(Inputs(A,B),Outputs)")) << key;

        packet.jsonObject.insert(QString::fromLatin1(key), QStringLiteral("not a tree"));
        packet.jsonObject.insert(QStringLiteral("ClientId"), 5);
        EXPECT_FALSE(packet.containsClientId() || (packet.*contains)()) << key;
    }
}

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
        const RawDataPacket::Header header{RawDataPacket::magicLowHalf, RawDataPacket::magicHighHalf, id, 0, length};
        EXPECT_EQ(RawDataPacketFactory::createPacket(headerBytes(id, length) + payload, header), nullptr) << name;
    }
    EXPECT_EQ(RawDataPacketFactory::getClassName(0x102C), nullptr);
    // The trailer is the reader's business: header and payload suffice.
    const QByteArray noTrailer = frameBytes(0x1011, "abcd").left(20);
    EXPECT_NE(RawDataPacketFactory::createPacket(noTrailer, RawDataPacket::peekHeader(noTrailer + "1234")), nullptr);
}

using Receivers = std::vector<RawDataPacketReceiverInterfaceBase*>;

TEST(RawDataPacketRegistryTest, ReceiversComeNewestFirstAndIdentifiersAscending)
{
    RawDataPacketRegistry registry;
    RecordingReceiver a({0x1013, 0x1011}, registry), b({0x1011}, registry), c({0x1011}, registry);
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
