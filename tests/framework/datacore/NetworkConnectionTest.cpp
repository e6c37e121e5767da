#include "framework/datacore/ConnectionListener.h"
#include "framework/datacore/FrameScanner.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "framework/rawdata/RegistrationRawDataPacket.h"
#include "tests/framework/datacore/Loopback.h"
#include "tests/support/CapturingLogger.h"

#include <QNetworkDatagram>
#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

std::string listening(unsigned short port)
{
    return "info: NetworkConnection listening for RawDataPackets on port " + std::to_string(port);
}

// A registration for 127.0.0.1 (with add false, a deregistration).
QByteArray registration(PacketIdentifier id, quint16 port, bool add = true)
{
    return add ? frameOf(RegisterRawDataPacket(id, 0x7F000001, port))
               : frameOf(DeregisterRawDataPacket(id, 0x7F000001, port));
}

// A client connection and, once connected, the raw TCP peer it reached.
class NetworkLink : public ::testing::Test {
protected:
    void connect()
    {
        ASSERT_TRUE(server.isListening() || server.listen(QHostAddress::LocalHost, 0));
        ASSERT_TRUE(client.connectToHost(QString("127.0.0.1"), server.serverPort()));
        ASSERT_TRUE(waitUntil([&] { return server.hasPendingConnections(); }));
        peer.reset(server.nextPendingConnection());
    }

    CapturingLogger log;
    QTcpServer server;
    std::unique_ptr<QTcpSocket> peer;
    NetworkConnection client{nullptr, false};
};

// The readers' rules on plain bytes: which frames are found where, and how
// many leading bytes are consumed (the rest waits for more input).
TEST(FrameScanner, FindsFramesAndConsumesByTheReaderRules)
{
    using Found = std::tuple<int, int, int>; // offset, identifier, payload length
    const QByteArray a = frameBytes(0x1011, QByteArray(10, 'a')); // 30 bytes
    const QByteArray b = frameBytes(0x1013, QByteArray(3, 'b'));  // 23 bytes
    // Its last byte, the length 0xCA, could begin a frame's magic.
    const QByteArray trailerless = headerBytes(0x1011, 0xCA);
    // name, bytes, the frames found, how many bytes are consumed
    const std::tuple<const char*, QByteArray, std::vector<Found>, int> cases[] = {
        {"two frames back to back", a + b, {{0, 0x1011, 10}, {30, 0x1013, 3}}, 53},
        {"garbage holding magic-like bytes", QByteArray::fromHex("CAFECAFEBA") + a, {{5, 0x1011, 10}}, 35},
        {"short tail waits", a + QByteArray(15, 'g'), {{0, 0x1011, 10}}, 30},
        {"garbage tail keeps its last 15 bytes", QByteArray(40, 'g'), {}, 25},
        {"incomplete frame waits", a + b.left(22), {{0, 0x1011, 10}}, 30},
        {"frame right after a trailerless header", trailerless + a + QByteArray(200, 'z'), {{16, 0x1011, 10}}, 231},
        {"frame inside a trailerless header is lost", trailerless.left(15) + a + QByteArray(200, 'z'), {}, 230},
        {"identifier above the table", frameBytes(0x102C, "p") + a, {{21, 0x1011, 10}}, 51},
        {"length at the bound waits", headerBytes(0x1011, maxFramePayloadLength) + a, {}, 0},
        {"length beyond the bound is skipped", headerBytes(0x1011, maxFramePayloadLength + 1) + a, {{16, 0x1011, 10}}, 46},
    };
    for (const auto& [name, bytes, frames, consumed] : cases) {
        std::vector<Found> found;
        const int used = scanRawDataFrames(bytes.constData(), bytes.size(), [&](const ScannedFrame& f) {
            found.emplace_back(f.offset, int(f.header.packetIdentifier), int(f.header.payloadLength));
        });
        EXPECT_EQ(found, frames) << name;
        EXPECT_EQ(used, consumed) << name;
    }
}

// A byte that starts no frame costs only itself, and a measurement frame (which
// has no business on TCP) is dropped with a message; a new connection starts
// with an empty buffer. (Trailerless, huge-length and split frames on TCP are
// datacore-probe's end-to-end test.)
TEST_F(NetworkLink, TcpReaderDeliversTheGoodFramesAroundBadBytes)
{
    RecordingReceiver receiver({PID_SERIALISABLE_DATA});
    connect();
    // The last header waits for its payload until the reconnection below.
    peer->write("U" + frameBytes(0x1011, "m") + datacoreFrame("B") + headerBytes(0x1010, 100000));
    ASSERT_TRUE(waitUntil([&] { return receiver.packets.size() == 1; }));
    EXPECT_EQ(log.lines(), Lines{"error: Discarding unexpected raw data packet on datacore TCP connection! "
                                 "packetIdentifier: 4113"});

    connect();
    peer->write(datacoreFrame("Fresh"));
    EXPECT_TRUE(waitUntil([&] { return receiver.packets.size() == 2; }));
}

// Garbage and datacore frames (whose place is TCP) cost only themselves; each
// notification takes about 16 KiB and drops what else is pending, so that a
// flood can neither grow the buffer nor starve the loop.
TEST_F(NetworkLink, UdpReaderSkipsGarbageDropsDatacoreAndCutsEachNotification)
{
    RecordingReceiver datacore({PID_SERIALISABLE_DATA}), measurements({0x1011, 0x1013});
    const unsigned short port = freeUdpPort();
    ASSERT_TRUE(client.listenForRawDataPackets(QHostAddress::LocalHost, port));
    QUdpSocket sender;
    sender.connectToHost(QHostAddress::LocalHost, port);
    sender.write("garbage" + datacoreFrame("NotHere") + frameBytes(0x1013, "after"));
    ASSERT_TRUE(waitUntil([&] { return measurements.packets.size() == 1; }));
    EXPECT_TRUE(datacore.packets.empty());

    for (quint32 i = 0; i < 40; ++i) { // 1020 bytes each, all pending before the loop runs
        QByteArray payload(1000, 'p');
        qToBigEndian(i, payload.data());
        sender.write(frameBytes(0x1011, payload));
    }
    ASSERT_TRUE(waitUntil([&] { return measurements.packets.size() >= 18; }));
    sender.write(frameBytes(0x1013, "next notification"));
    ASSERT_TRUE(waitUntil([&] { return measurements.packets.size() >= 19; }));
    ASSERT_EQ(measurements.packets.size(), 19u);
    for (quint32 i = 0; i < 17; ++i)
        EXPECT_EQ(qFromBigEndian<quint32>(measurements.packets[i + 1]->getPayloadFromPacket().constData()), i);
    EXPECT_EQ(log.lines(), (Lines{listening(port),
                                  "error: Discarding unexpected datacore (PID_SERIALISABLE_DATA) data packet on UDP socket!"}));
}

// Datacore is not asked for (it comes on TCP anyway); a second port is refused; a registry keeps its first
// connection. (Asking on connecting, the port already open, is datacore-probe's end-to-end test.)
TEST_F(NetworkLink, RegistrationsAskOnListenAndOnFirstReceiverCancelOnLast)
{
    RecordingReceiver receiver({0x1013, PID_SERIALISABLE_DATA, 0x1011});
    connect();
    const unsigned short port = freeUdpPort();
    ASSERT_TRUE(client.listenForRawDataPackets(QHostAddress::LocalHost, port));
    EXPECT_FALSE(client.listenForRawDataPackets(QHostAddress::LocalHost, freeUdpPort()));
    NetworkConnection notListening(nullptr, false);
    RawDataPacketRegistry registry;
    RecordingReceiver early({0x1013}, registry);
    registry.setNetworkConnection(&client);
    registry.setNetworkConnection(&client);
    registry.setNetworkConnection(&notListening);
    {
        RecordingReceiver first({0x1015}, registry), second({0x1015}, registry);
    }
    RecordingReceiver again({0x1015}, registry);
    const QByteArray expected = registration(0x1011, port) + registration(0x1013, port) + registration(0x1015, port)
                                + registration(0x1015, port, false) + registration(0x1015, port);
    QByteArray sent;
    waitUntil([&] { return (sent += peer->readAll()).size() >= expected.size(); });
    EXPECT_EQ(sent, expected);

    notListening.requestRawDataPacketFromServer(0x1011);
    const std::string ignoring = "error: RawDataPacketRegistry::setNetworkConnection ignoring callback registration.  ";
    EXPECT_EQ(log.lines(), (Lines{listening(port),
                                  "error: NetworkConnection ERROR Raw Data Packet datagram port already open",
                                  ignoring + "This callback is already registered.",
                                  ignoring + "A different callback is already registered.",
                                  "error: NetworkConnection requestRawDataPacketFromServer ERROR UDP port not open"}));
}

TEST_F(NetworkLink, ConnectingFailsFastAndLogsTheSocketErrorByName)
{
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const quint16 closedPort = server.serverPort();
    server.close();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(client.connectToHost(QHostAddress(QHostAddress::LocalHost), closedPort));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(client.connectToHost(std::unique_ptr<QTcpSocket>()));
    EXPECT_EQ(log.lines(), Lines{"info: QAbstractSocket::ConnectionRefusedError"});
    EXPECT_EQ(NetworkConnection::socketErrorAsString(QAbstractSocket::SocketError(4242)),
              "illegal value for QAbstractSocket::SocketError: 4242");
    EXPECT_EQ(NetworkConnection::makeUniqueIdentifier(QHostAddress("192.168.0.1"), 5000), "32322355215000");
}

// Relaying datacore from the connection being read, deregistering and closing
// from the client side are the instrument-server end-to-end test's.
TEST_F(NetworkLink, ListenerConnectionsStreamWhatWasRegisteredAndGoWithTheirPeer)
{
    ConnectionListener listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
    std::vector<NetworkConnection*> added, closed;
    QObject::connect(&listener, &ConnectionListener::connectionAdded, [&](NetworkConnection* c) { added.push_back(c); });
    QObject::connect(&listener, &ConnectionListener::connectionClosed, [&](NetworkConnection* c) { closed.push_back(c); });
    QTcpSocket peer, other;
    peer.connectToHost(QHostAddress::LocalHost, listener.serverPort());
    ASSERT_TRUE(waitUntil([&] { return added.size() == 1; }));
    other.connectToHost(QHostAddress::LocalHost, listener.serverPort());
    ASSERT_TRUE(waitUntil([&] { return added.size() == 2; }));
    EXPECT_EQ(listener.connections(), added);

    NetworkConnection& server = *added[0];
    QUdpSocket first, second;
    ASSERT_TRUE(first.bind(QHostAddress::LocalHost, freeUdpPort()));
    ASSERT_TRUE(second.bind(QHostAddress::LocalHost, freeUdpPort()));
    peer.write(registration(0x1011, first.localPort()) + registration(0x1013, second.localPort()));
    ASSERT_TRUE(waitUntil([&] { return server.getRequestedPacketIdentifiers() == std::set<quint16>{0x1011, 0x1013}; }));
    EXPECT_EQ(listener.readingConnection(), nullptr);
    const QByteArray eye = frameBytes(0x1011, "eye"), ppm = frameBytes(0x1013, "ppm");
    for (const QByteArray& frame : {frameBytes(0x1012, "x"), eye, ppm})
        server.sendRawPacket(RawDataPacketFactory::createPacket(frame, RawDataPacket::peekHeader(frame)));
    QByteArray received;
    ASSERT_TRUE(waitUntil([&] {
        while (first.hasPendingDatagrams())
            received += first.receiveDatagram().data();
        return received.size() >= eye.size() + ppm.size();
    }));
    EXPECT_EQ(received, eye + ppm);
    EXPECT_FALSE(second.hasPendingDatagrams());

    peer.close();
    ASSERT_TRUE(waitUntil([&] { return listener.connections().size() == 1; }));
    EXPECT_EQ(closed, std::vector<NetworkConnection*>{added[0]});
    EXPECT_EQ(listener.connections(), std::vector<NetworkConnection*>{added[1]});
    EXPECT_EQ(log.lines(), Lines{"info: QAbstractSocket::RemoteHostClosedError"});
}

} // namespace

// One application object for the whole run, made before the first socket;
// the tests drive its event loop themselves.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
