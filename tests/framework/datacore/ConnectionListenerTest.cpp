#include "framework/datacore/ConnectionListener.h"
#include "framework/datacore/DatacorePacketDistributor.h"

#include "tests/framework/datacore/Loopback.h"

#include <gtest/gtest.h>

namespace {

using Received = std::vector<std::pair<QString, NetworkConnection*>>;

// Takes the datacore packets of one class and notes which server-side
// connection was reading when each arrived.
struct Acceptor : SerialisableDataPacketAcceptorInterface {
    Acceptor(QString wanted, const ConnectionListener& listener) : wanted(std::move(wanted)), listener(listener) {}
    bool canAcceptPacket(QString className) override { return className == wanted; }
    void acceptPacket(const SerialisableDataPacket& packet) override
    {
        received.emplace_back(packet.getPacketClassName(), listener.readingConnection());
    }
    QString wanted;
    const ConnectionListener& listener;
    Received received;
};

TEST(ConnectionListener, GivesEachPeerAConnectionAndRoutesItsDatacorePackets)
{
    ConnectionListener listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
    std::vector<NetworkConnection*> added, closed;
    QObject::connect(&listener, &ConnectionListener::connectionAdded, [&](NetworkConnection* c) { added.push_back(c); });
    QObject::connect(&listener, &ConnectionListener::connectionClosed, [&](NetworkConnection* c) { closed.push_back(c); });
    NetworkConnection alice(nullptr, false), bob(nullptr, false);
    ASSERT_TRUE(alice.connectToHost(QString("127.0.0.1"), listener.serverPort()));
    ASSERT_TRUE(waitUntil([&] { return added.size() == 1; }));
    ASSERT_TRUE(bob.connectToHost(QString("127.0.0.1"), listener.serverPort()));
    ASSERT_TRUE(waitUntil([&] { return added.size() == 2; }));
    EXPECT_EQ(listener.connections(), added);

    DatacorePacketDistributor distributor(RawDataPacketRegistry::getInstance());
    Acceptor fromAlice("FromAlice", listener), fromBob("FromBob", listener);
    distributor.addAcceptor(&fromAlice);
    distributor.addAcceptor(&fromBob);
    alice.acceptPacket(SerialisableDataPacket(QString("FromAlice")));
    bob.acceptPacket(SerialisableDataPacket(QString("FromBob")));
    alice.acceptPacket(SerialisableDataPacket(QString("Unwanted")));
    ASSERT_TRUE(waitUntil([&] { return !fromAlice.received.empty() && !fromBob.received.empty(); }));
    EXPECT_EQ(fromAlice.received, (Received{{"FromAlice", added[0]}}));
    EXPECT_EQ(fromBob.received, (Received{{"FromBob", added[1]}}));
    EXPECT_EQ(listener.readingConnection(), nullptr);

    distributor.removeAcceptor(&fromAlice);
    alice.acceptPacket(SerialisableDataPacket(QString("FromAlice")));
    alice.disconnectFromHost();
    ASSERT_TRUE(waitUntil([&] { return listener.connections().size() == 1; }));
    EXPECT_EQ(closed, std::vector<NetworkConnection*>{added[0]});
    EXPECT_EQ(fromAlice.received.size(), 1u);
    EXPECT_EQ(listener.connections(), std::vector<NetworkConnection*>{added[1]});
}

} // namespace
