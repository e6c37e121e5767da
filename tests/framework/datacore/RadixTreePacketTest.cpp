#include "framework/datacore/DatacorePathRadixTreePacket.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "tests/framework/datacore/Loopback.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <functional>

namespace {

std::shared_ptr<DatacoreBase> element(const char* name, std::vector<std::shared_ptr<DatacoreBase>> children = {})
{
    auto e = std::make_shared<DatacoreBase>(QString::fromLatin1(name));
    for (auto& child : children)
        e->addChild(child);
    return e;
}

// The node as the same nested text as the wire form, for easy comparison.
QString describe(const DatacoreRadixTreeNode& node)
{
    QString text = node.name;
    if (!node.children.empty()) {
        QStringList kids;
        for (const auto& child : node.children)
            kids << describe(child);
        text += "(" + kids.join(",") + ")";
    }
    return text;
}

TEST(RadixTreePacketTest, TreeWrittenAsNestedNamesAndReadBack)
{
    const auto root = element("Status", {element("Inputs", {element("A"), element("B")}), element("Outputs")});
    DatacorePathRadixTreePacket packet;
    const QJsonObject written = packet.getDatacoreAsObjectContainingAllOfItsChildren(*root);
    EXPECT_EQ(QJsonDocument(written).toJson(QJsonDocument::Compact),
              QByteArray(R"({"Core":"Status","Kids":[{"Core":"Inputs","Kids":[{"Core":"A"},{"Core":"B"}]},)"
                         R"({"Core":"Outputs"}]})"));

    using Set = void (DatacorePathRadixTreePacket::*)(const DatacoreBase&);
    using Contains = bool (DatacorePathRadixTreePacket::*)() const;
    using Get = DatacoreRadixTreeNode (DatacorePathRadixTreePacket::*)() const;
    struct Tree {
        const char* key;
        Set set;
        Contains contains;
        Get get;
    };
    using P = DatacorePathRadixTreePacket;
    const Tree trees[] = {
        {"StatusTreeObject", &P::setStatusTree, &P::containsStatusTree, &P::getRootNodeForStatusTree},
        {"NonPersistentConfigTreeObject", &P::setNonPersistentConfigTree, &P::containsNonPersistentConfigTree,
         &P::getRootNodeForNonPersistentConfigTree},
        {"ConfigTreeObject", &P::setConfigTree, &P::containsConfigTree, &P::getRootNodeForConfigTree},
        {"CommandTreeObject", &P::setCommandTree, &P::containsCommandTree, &P::getRootNodeForCommandTree},
        {"PersistentConfigTreeObject", &P::setPersistentConfigTree, &P::containsPersistentConfigTree,
         &P::getRootNodeForPersistentConfigTree},
    };
    for (const auto& t : trees) {
        P sent;
        sent.setDestinationClientId(QStringLiteral("client"));
        EXPECT_FALSE((sent.*t.contains)()) << t.key;
        (sent.*t.set)(*element("Old"));
        (sent.*t.set)(*root); // the second tree replaces the first
        EXPECT_EQ(sent.jsonObject.value(QString::fromLatin1(t.key)).toObject(), written) << t.key;

        const QByteArray wire = frameOf(sent);
        const auto received = RawDataPacketFactory::createPacket(wire, RawDataPacket::peekHeader(wire));
        ASSERT_NE(received, nullptr);
        P read;
        read.jsonObject = static_cast<const SerialisableDataPacket&>(*received).jsonObject;
        EXPECT_EQ(read.getPacketClassName(), QStringLiteral("DatacorePathRadixTreePacket"));
        EXPECT_EQ(read.getDestinationClientId(), QStringLiteral("client"));
        EXPECT_TRUE((read.*t.contains)()) << t.key;
        EXPECT_EQ(describe((read.*t.get)()), QStringLiteral("Status(Inputs(A,B),Outputs)")) << t.key;

        read.jsonObject.insert(QString::fromLatin1(t.key), QStringLiteral("not a tree"));
        EXPECT_FALSE((read.*t.contains)()) << t.key;
        EXPECT_EQ(describe((read.*t.get)()), QString()) << t.key;
    }
}

TEST(RadixTreePacketTest, OnlyTheClientIdSet)
{
    DatacorePathRadixTreePacket packet;
    EXPECT_FALSE(packet.containsClientId());
    packet.setDestinationClientId(QStringLiteral("c1"));
    EXPECT_EQ(packet.serialise(), QByteArray(R"({"Class":"DatacorePathRadixTreePacket","ClientId":"c1"})"));
    EXPECT_TRUE(packet.containsClientId());
    EXPECT_FALSE(packet.containsStatusTree());
    packet.jsonObject.insert(QStringLiteral("ClientId"), 5);
    EXPECT_FALSE(packet.containsClientId());
    EXPECT_TRUE(packet.getDestinationClientId().isEmpty());
}

TEST(RadixTreePacketTest, LeafAndOddNodesReadSafely)
{
    DatacorePathRadixTreePacket packet;
    const QJsonObject leaf = packet.getDatacoreAsObjectContainingAllOfItsChildren(*element("Leaf"));
    EXPECT_FALSE(leaf.contains(QStringLiteral("Kids")));
    struct Case {
        const char* json;
        const char* shape;
    };
    const Case cases[] = {
        {R"({"Core":"Leaf"})", "Leaf"},
        {R"({"Core":"R","Kids":"x"})", "R"},
        {R"({"Core":"R","Kids":[1,{"Core":"B"},[]]})", "R(,B,)"},
        {R"({"Core":7,"Kids":[{}]})", "()"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(packet.getRadixTreeFromJson(QJsonDocument::fromJson(c.json).object())),
                  QString::fromLatin1(c.shape))
            << c.json;
}

} // namespace
