#include "framework/datacore/NetworkConnection.h"

#include "framework/datacore/FrameScanner.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "framework/rawdata/RegistrationRawDataPacket.h"
#include "tests/framework/datacore/Loopback.h"
#include "tests/support/CapturingLogger.h"

#include <QTcpServer>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool logged(const CapturingLogger& log, const std::string& level, const std::string& text)
{
    const auto lines = log.lines();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.rfind(level + ": ", 0) == 0 && line.find(text) != std::string::npos;
    });
}

bool anyError(const CapturingLogger& log) { return logged(log, "error", ""); }

std::shared_ptr<RawDataPacket> packetFrom(const QByteArray& frame)
{
    return RawDataPacketFactory::createPacket(frame, RawDataPacket::peekHeader(frame));
}

// The packets in the bytes a raw peer read.
std::vector<std::shared_ptr<RawDataPacket>> framesIn(const QByteArray& bytes)
{
    std::vector<std::shared_ptr<RawDataPacket>> packets;
    scanRawDataFrames(bytes.constData(), bytes.size(), [&](const ScannedFrame& f) {
        packets.push_back(RawDataPacketFactory::createPacket(bytes.mid(f.offset, f.frameLength()), f.header));
    });
    return packets;
}

// A client connection and the raw TCP peer it reached.
struct ClientAndPeer {
    QTcpServer server;
    std::unique_ptr<QTcpSocket> peer;
    QByteArray fromClient;
    NetworkConnection client{nullptr, false};

    void connect()
    {
        ASSERT_TRUE(server.isListening() || server.listen(QHostAddress::LocalHost, 0));
        ASSERT_TRUE(client.connectToHost(QString("127.0.0.1"), server.serverPort()));
        ASSERT_TRUE(client.isConnectedToHost());
        ASSERT_TRUE(waitUntil([&] { return server.hasPendingConnections(); }));
        peer.reset(server.nextPendingConnection());
        fromClient.clear();
    }
    void send(const QByteArray& bytes)
    {
        peer->write(bytes);
        peer->flush();
    }
    // What the client sent once `count` frames have arrived.
    std::vector<std::shared_ptr<RawDataPacket>> awaitFrames(size_t count)
    {
        waitUntil([&] {
            fromClient += peer->readAll();
            return framesIn(fromClient).size() >= count;
        });
        return framesIn(fromClient);
    }
};

const QByteArray hugeHeader = QByteArray::fromHex("CAFEBA6E1F00D32110100000" "7FFFFFF0");

TEST(TcpReader, DeliversTheGoodFramesAroundBadBytes)
{
    const QByteArray a = datacoreFrame("A"), b = datacoreFrame("B");
    QByteArray lost = datacoreFrame("Lost");
    lost.replace(lost.size() - 4, 4, QByteArray(4, '\0'));
    struct Chunk {
        QByteArray bytes;
        size_t deliveredAfter;
    };
    const struct {
        const char* name;
        std::vector<Chunk> chunks;
        std::string errorText;   // empty: no error record at all
    } cases[] = {
        {"two frames in one read", {{a + b, 2}}, ""},
        {"a frame split across reads", {{a + b.left(9), 1}, {b.mid(9), 2}}, ""},
        {"one garbage byte", {{QByteArray(1, '\x55') + a, 1}, {b, 2}}, ""},
        {"a frame without trailer", {{a + lost + b, 2}}, ""},
        {"a header with a huge length", {{a + hugeHeader, 1}, {b, 2}}, ""},
        {"a measurement frame", {{a + frameBytes(0x1011, "m") + b, 2}},
         "Discarding unexpected raw data packet on datacore TCP connection! packetIdentifier: 4113"},
    };
    for (const auto& c : cases) {
        CapturingLogger log;
        RecordingReceiver receiver({PID_SERIALISABLE_DATA});
        ClientAndPeer link;
        link.connect();
        for (const Chunk& chunk : c.chunks) {
            link.send(chunk.bytes);
            EXPECT_TRUE(waitUntil([&] { return receiver.packets.size() >= chunk.deliveredAfter; })) << c.name;
        }
        EXPECT_EQ(receiver.classNames(), (std::vector<QString>{"A", "B"})) << c.name;
        if (c.errorText.empty())
            EXPECT_FALSE(anyError(log)) << c.name;
        else
            EXPECT_TRUE(logged(log, "error", c.errorText)) << c.name;
    }
}

TEST(TcpReader, ANewConnectionStartsWithAnEmptyBuffer)
{
    CapturingLogger log;
    RecordingReceiver receiver({PID_SERIALISABLE_DATA});
    ClientAndPeer link;
    link.connect();
    link.send(datacoreFrame("Unfinished").left(20));
    ASSERT_TRUE(waitUntil([&] { return link.peer->bytesToWrite() == 0; }));
    link.connect();
    link.send(datacoreFrame("Fresh"));
    ASSERT_TRUE(waitUntil([&] { return !receiver.packets.empty(); }));
    EXPECT_EQ(receiver.classNames(), std::vector<QString>{"Fresh"});
}

struct UdpLink {
    CapturingLogger log;
    RecordingReceiver datacore{{PID_SERIALISABLE_DATA}};
    RecordingReceiver measurements{{0x1011, 0x1013}};
    NetworkConnection client{nullptr, false};
    QUdpSocket sender;
    unsigned short port = freeUdpPort();

    UdpLink() { EXPECT_TRUE(client.listenForRawDataPackets(QHostAddress::LocalHost, port)); }
    void send(const QByteArray& datagram) { sender.writeDatagram(datagram, QHostAddress::LocalHost, port); }
};

TEST(UdpReader, DropsDatacoreFramesWithAnError)
{
    UdpLink link;
    link.send(datacoreFrame("NotHere"));
    link.send(frameBytes(0x1011, "after"));
    ASSERT_TRUE(waitUntil([&] { return !link.measurements.packets.empty(); }));
    EXPECT_TRUE(link.datacore.packets.empty());
    EXPECT_TRUE(logged(link.log, "error", "Discarding unexpected datacore (PID_SERIALISABLE_DATA) data packet on UDP socket!"));
    EXPECT_TRUE(logged(link.log, "info", "NetworkConnection listening for RawDataPackets on port " + std::to_string(link.port)));
}

TEST(UdpReader, TakesAbout16KiBPerNotificationAndDiscardsTheRest)
{
    UdpLink link;
    for (quint32 i = 0; i < 40; ++i) {
        QByteArray payload(1000, 'p');
        qToBigEndian(i, payload.data());
        link.send(frameBytes(0x1011, payload));   // 1020 bytes each; all pending before the loop runs
    }
    ASSERT_TRUE(waitUntil([&] { return link.measurements.packets.size() >= 17; }));
    link.send(frameBytes(0x1013, "next notification"));
    ASSERT_TRUE(waitUntil([&] { return link.measurements.packets.size() >= 18; }));
    ASSERT_EQ(link.measurements.packets.size(), 18u);
    for (quint32 i = 0; i < 17; ++i)
        EXPECT_EQ(qFromBigEndian<quint32>(link.measurements.packets[i]->getPayloadFromPacket().constData()), i);
    EXPECT_EQ(int(link.measurements.packets[17]->getPacketIdentifier()), 0x1013);
    EXPECT_FALSE(anyError(link.log));
}

void expectRegistrations(const std::vector<std::shared_ptr<RawDataPacket>>& frames,
                         const std::vector<std::pair<int, int>>& expected, unsigned short port)
{
    ASSERT_EQ(frames.size(), expected.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        const auto* r = dynamic_cast<const RegistrationRawDataPacket*>(frames[i].get());
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(int(r->getPacketIdentifier()), expected[i].first) << i;
        EXPECT_EQ(int(r->getRawDataPacketID()), expected[i].second) << i;
        EXPECT_EQ(r->getDstAddr(), 0x7F000001u) << i;
        EXPECT_EQ(r->getDstPort(), port) << i;
    }
}

TEST(Registrations, AreSentOnConnectAndOnListenButNeverForDatacore)
{
    for (const bool listenFirst : {true, false}) {
        CapturingLogger log;
        RecordingReceiver receiver({0x1013, PID_SERIALISABLE_DATA, 0x1011});
        ClientAndPeer link;
        const unsigned short port = freeUdpPort();
        if (listenFirst) {
            ASSERT_TRUE(link.client.listenForRawDataPackets(QHostAddress::LocalHost, port));
        }
        link.connect();
        if (!listenFirst) {
            ASSERT_TRUE(link.client.listenForRawDataPackets(QHostAddress::LocalHost, port));
        }
        expectRegistrations(link.awaitFrames(2), {{0x102A, 0x1011}, {0x102A, 0x1013}}, port);
        EXPECT_FALSE(anyError(log));

        EXPECT_FALSE(link.client.listenForRawDataPackets(QHostAddress::LocalHost, freeUdpPort()));
        EXPECT_TRUE(logged(log, "error", "NetworkConnection ERROR Raw Data Packet datagram port already open"));
    }
}

TEST(Registrations, RequestOnceAndCancelOnLastThroughARegistry)
{
    CapturingLogger log;
    ClientAndPeer link;
    const unsigned short port = freeUdpPort();
    ASSERT_TRUE(link.client.listenForRawDataPackets(QHostAddress::LocalHost, port));
    link.connect();
    RawDataPacketRegistry registry;
    registry.setNetworkConnection(&link.client);
    auto first = std::make_unique<RecordingReceiver>(std::vector<PacketIdentifier>{0x1015}, registry);
    auto second = std::make_unique<RecordingReceiver>(std::vector<PacketIdentifier>{0x1015}, registry);
    first.reset();
    second.reset();
    expectRegistrations(link.awaitFrames(2), {{0x102A, 0x1015}, {0x102B, 0x1015}}, port);
    EXPECT_FALSE(anyError(log));

    NetworkConnection notListening(nullptr, false);
    notListening.requestRawDataPacketFromServer(0x1011);
    EXPECT_TRUE(logged(log, "error", "NetworkConnection requestRawDataPacketFromServer ERROR UDP port not open"));
}

TEST(ServerSide, StreamsWhatThePeerRegisteredForToItsFirstDestination)
{
    CapturingLogger log;
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
    QTcpSocket peer;
    peer.connectToHost(QHostAddress::LocalHost, listener.serverPort());
    ASSERT_TRUE(waitUntil([&] { return listener.hasPendingConnections(); }));
    NetworkConnection server(nullptr, false);
    ASSERT_TRUE(server.connectToHost(std::unique_ptr<QTcpSocket>(listener.nextPendingConnection())));

    QUdpSocket first, second;
    ASSERT_TRUE(first.bind(QHostAddress::LocalHost, freeUdpPort()));
    ASSERT_TRUE(second.bind(QHostAddress::LocalHost, freeUdpPort()));
    std::set<quint16> requestedWhenDatacoreArrived;
    RecordingReceiver datacore({PID_SERIALISABLE_DATA});
    datacore.onPacket = [&](const RawDataPacket&) { requestedWhenDatacoreArrived = server.getRequestedPacketIdentifiers(); };
    peer.write(frameOf(RegisterRawDataPacket(0x1011, 0x7F000001, first.localPort()))
               + frameOf(RegisterRawDataPacket(0x1013, 0x7F000001, second.localPort())) + datacoreFrame("After"));
    ASSERT_TRUE(waitUntil([&] { return !datacore.packets.empty(); }));
    EXPECT_EQ(requestedWhenDatacoreArrived, (std::set<quint16>{0x1011, 0x1013}));

    const QByteArray eye = frameBytes(0x1011, "eye"), ppm = frameBytes(0x1013, "ppm"), other = frameBytes(0x1012, "x");
    server.sendRawPacket(packetFrom(other));
    server.sendRawPacket(packetFrom(eye));
    server.sendRawPacket(packetFrom(ppm));
    QByteArray received;
    ASSERT_TRUE(waitUntil([&] {
        while (first.hasPendingDatagrams()) {
            QByteArray datagram(int(first.pendingDatagramSize()), '\0');
            first.readDatagram(datagram.data(), datagram.size());
            received += datagram;
        }
        return received.size() >= eye.size() + ppm.size();
    }));
    EXPECT_EQ(received, eye + ppm);
    EXPECT_FALSE(second.hasPendingDatagrams());

    peer.write(frameOf(DeregisterRawDataPacket(0x1011, 0x7F000001, first.localPort())));
    ASSERT_TRUE(waitUntil([&] { return server.getRequestedPacketIdentifiers() == std::set<quint16>{0x1013}; }));
    EXPECT_FALSE(anyError(log));

    bool disconnected = false;
    QObject::connect(&server, &NetworkConnection::disconnectedFromHost, [&] { disconnected = true; });
    peer.close();
    EXPECT_TRUE(waitUntil([&] { return disconnected; }));
    EXPECT_FALSE(server.isConnectedToHost());
}

TEST(Connecting, FailuresReturnFalseAndAreLogged)
{
    CapturingLogger log;
    quint16 closedPort = 0;
    {
        QTcpServer gone;
        ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
        closedPort = gone.serverPort();
    }
    NetworkConnection connection(nullptr, false);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(connection.connectToHost(QHostAddress(QHostAddress::LocalHost), closedPort));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(logged(log, "info", "QAbstractSocket::ConnectionRefusedError"));
    EXPECT_FALSE(connection.connectToHost(std::unique_ptr<QTcpSocket>()));
    EXPECT_FALSE(connection.isConnectedToHost());
}

TEST(Identifiers, TextsOfAddressesAndSocketErrors)
{
    EXPECT_EQ(NetworkConnection::makeUniqueIdentifier(QHostAddress("192.168.0.1"), 5000), "32322355215000");
    const std::pair<int, const char*> texts[] = {
        {QAbstractSocket::ConnectionRefusedError, "QAbstractSocket::ConnectionRefusedError"},
        {QAbstractSocket::ProxyProtocolError, "QAbstractSocket::ProxyProtocolError"},
        {QAbstractSocket::UnknownSocketError, "QAbstractSocket::UnknownSocketError"},
        {4242, "illegal value for QAbstractSocket::SocketError: 4242"},
        {-7, "illegal value for QAbstractSocket::SocketError: -7"},
    };
    for (const auto& [value, text] : texts)
        EXPECT_EQ(NetworkConnection::socketErrorAsString(static_cast<QAbstractSocket::SocketError>(value)), text);
    CapturingLogger log;
    NetworkConnection(nullptr, false).onSocketError(QAbstractSocket::NetworkError);
    EXPECT_TRUE(logged(log, "info", "QAbstractSocket::NetworkError"));
}

} // namespace
