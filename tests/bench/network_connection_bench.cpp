// Throughput of the datacore link's readers over loopback, against memcpy of
// the same bytes: datacore frames of about 200 bytes through the TCP reader
// to a receiver, and bursts of 15 datagrams of one 1 KiB measurement frame
// each (as the stand-in streams them) through the UDP reader.

#include "framework/datacore/NetworkConnection.h"
#include "tests/bench/Limits.h"
#include "tests/framework/datacore/Loopback.h"

#include <QJsonDocument>
#include <QTcpServer>

namespace {

constexpr int framesPerBlock = 1000;
constexpr int burst = 15;

// The stand-in's status record; fromJson needs none of the packet class's
// statics, which may not be initialised yet.
const QByteArray datacoreBlock = frameOf(SerialisableDataPacket::fromJson(
    QJsonDocument::fromJson(R"({"Class":"DatacorePacket","Path":"/sdi/input/1/status","ClientID":"32322355215000",)"
                            R"("PacketID":4711,"Datacore":{"locked":true,"standard":"1080p50","crcErrors":0,)"
                            R"("levels":[1,2,3,4],"link":"3G-B"}})")
        .object())).repeated(framesPerBlock);
const QByteArray measurementFrame = frameBytes(0x1011, QByteArray(1024, 'm'));
const QByteArray udpBurst = measurementFrame.repeated(burst);
const bool limits = registerLimits("/DatacoreBlock", datacoreBlock.constData(), size_t(datacoreBlock.size()),
                                   framesPerBlock)
                    && registerLimits("/UdpBurst", udpBurst.constData(), size_t(udpBurst.size()), burst);

// Written by a raw peer; read, parsed and delivered by the client's TCP reader.
void BM_TcpDatacoreToReceiver(benchmark::State& state)
{
    RecordingReceiver receiver({PID_SERIALISABLE_DATA});
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    NetworkConnection client(nullptr, false);
    if (!client.connectToHost(QString("127.0.0.1"), server.serverPort())
        || !waitUntil([&] { return server.hasPendingConnections(); })) {
        state.SkipWithError("no loopback connection");
        return;
    }
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
    measure(state, size_t(datacoreBlock.size()), framesPerBlock, [&] {
        receiver.packets.clear();
        peer->write(datacoreBlock);
        if (!waitUntil([&] { return receiver.packets.size() == framesPerBlock; }, 10000))
            state.SkipWithError("frames lost on TCP"); // ends the loop
    });
}

// A burst the reader does not take whole within 200 ms counts as discarded.
void BM_UdpBurstsToReceiver(benchmark::State& state)
{
    RecordingReceiver receiver({0x1011});
    NetworkConnection client(nullptr, false);
    const unsigned short port = freeUdpPort();
    client.listenForRawDataPackets(QHostAddress::LocalHost, port);
    QUdpSocket sender;
    sender.connectToHost(QHostAddress::LocalHost, port);
    size_t discarded = 0;
    measure(state, size_t(udpBurst.size()), burst, [&] {
        receiver.packets.clear();
        for (int i = 0; i < burst; ++i)
            sender.write(measurementFrame);
        if (!waitUntil([&] { return receiver.packets.size() >= burst; }, 200))
            discarded += burst - receiver.packets.size();
    });
    state.counters["discarded"] = double(discarded);
}

} // namespace

BENCHMARK(BM_TcpDatacoreToReceiver)->UseRealTime();
BENCHMARK(BM_UdpBurstsToReceiver)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
