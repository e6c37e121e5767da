#include "framework/datacore/DatacorePathRadixTreePacket.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "tests/framework/datacore/Loopback.h"

#include <gtest/gtest.h>

namespace {

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

// Each of the five trees goes under its own key as nested {"Core", "Kids"}
// objects, replaces the one set before, and reads back after the wire.
TEST(RadixTreePacketTest, TreesWrittenAsNestedNamesAndReadBack)
{
    using P = DatacorePathRadixTreePacket;
    const struct {
        const char* key;
        void (P::*set)(const DatacoreBase&);
        bool (P::*contains)() const;
        DatacoreRadixTreeNode (P::*get)() const;
    } trees[] = {
        {"StatusTreeObject", &P::setStatusTree, &P::containsStatusTree, &P::getRootNodeForStatusTree},
        {"NonPersistentConfigTreeObject", &P::setNonPersistentConfigTree, &P::containsNonPersistentConfigTree,
         &P::getRootNodeForNonPersistentConfigTree},
        {"ConfigTreeObject", &P::setConfigTree, &P::containsConfigTree, &P::getRootNodeForConfigTree},
        {"CommandTreeObject", &P::setCommandTree, &P::containsCommandTree, &P::getRootNodeForCommandTree},
        {"PersistentConfigTreeObject", &P::setPersistentConfigTree, &P::containsPersistentConfigTree,
         &P::getRootNodeForPersistentConfigTree},
    };
    const auto root = element("Status", {element("Inputs", {element("A"), element("B")}), element("Outputs")});
    for (const auto& t : trees) {
        P sent;
        sent.setDestinationClientId(QStringLiteral("c1"));
        EXPECT_FALSE((sent.*t.contains)()) << t.key;
        (sent.*t.set)(*element("Old"));
        (sent.*t.set)(*root);
        EXPECT_EQ(sent.serialise(), QByteArray(R"({"Class":"DatacorePathRadixTreePacket","ClientId":"c1",")") + t.key
                                        + R"(":{"Core":"Status","Kids":[{"Core":"Inputs","Kids":[{"Core":"A"},)"
                                          R"({"Core":"B"}]},{"Core":"Outputs"}]}})");

        const QByteArray wire = frameOf(sent);
        const auto received = RawDataPacketFactory::createPacket(wire, RawDataPacket::peekHeader(wire));
        ASSERT_NE(received, nullptr);
        P read;
        read.jsonObject = static_cast<const SerialisableDataPacket&>(*received).jsonObject;
        EXPECT_EQ(read.getDestinationClientId(), QStringLiteral("c1"));
        EXPECT_TRUE(read.containsClientId() && (read.*t.contains)()) << t.key;
        EXPECT_EQ(describe((read.*t.get)()), QStringLiteral("Status(Inputs(A,B),Outputs)")) << t.key;

        read.jsonObject.insert(QString::fromLatin1(t.key), QStringLiteral("not a tree"));
        read.jsonObject.insert(QStringLiteral("ClientId"), 5);
        EXPECT_FALSE(read.containsClientId() || (read.*t.contains)()) << t.key;
        EXPECT_EQ(describe((read.*t.get)()), QString()) << t.key;
    }
}

} // namespace
