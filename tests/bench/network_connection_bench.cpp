// Throughput of the datacore link's readers over loopback: datacore frames
// of about 200 bytes through the TCP reader to a receiver, measurement
// frames of 1 KiB in bursts of 15 datagrams through the UDP reader, and the
// scanning alone; memcpy of the same bytes is the limit they are read against.

#include "framework/datacore/FrameScanner.h"
#include "framework/datacore/NetworkConnection.h"
#include "framework/datacore/RawDataPacketRegistry.h"
#include "framework/datacore/SerialisableDataPacket.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QTcpServer>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

QByteArray serialised(const RawDataPacket& packet)
{
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    packet.serialisePacketAndWriteToDevice(device);
    return bytes;
}

// A datacore frame of about 200 bytes, as the server sends them.
QByteArray datacoreFrame()
{
    SerialisableDataPacket packet(QString("DatacorePacket"));
    packet.jsonObject.insert("Path", "/sdi/input/1/status");
    packet.jsonObject.insert("ClientID", "32322355215000");
    packet.jsonObject.insert("PacketID", 4711);
    packet.jsonObject.insert("Datacore", QJsonObject{{"locked", true}, {"standard", "1080p50"}, {"crcErrors", 0},
                                                     {"levels", QJsonArray{1, 2, 3, 4}}, {"link", "3G-B"}});
    return serialised(packet);
}

QByteArray measurementFrame(quint32 sequence)
{
    QByteArray payload(1024, 'm');
    qToBigEndian(sequence, payload.data());
    QByteArray frame = QByteArray::fromHex("CAFEBA6E1F00D32110110000");
    char length[4];
    qToBigEndian<qint32>(payload.size(), length);
    return frame.append(length, 4).append(payload).append(QByteArray::fromHex("DEADBEEF"));
}

struct Counter : RawDataPacketReceiverInterfaceBase {
    explicit Counter(PacketIdentifier id) : id(id) { RawDataPacketRegistry::getInstance().registerRawDataPacketReceiver(id, this); }
    ~Counter() override { RawDataPacketRegistry::getInstance().deregisterRawDataPacketReceiver(id, this); }
    void receiveRawDataPacket(std::shared_ptr<const RawDataPacket>) override { ++count; }
    PacketIdentifier id;
    long count = 0;
};

bool runUntil(const std::function<bool()>& done, int deadlineMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(deadlineMs);
    while (!done() && clock.elapsed() < deadlineMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

void memcpyLimit(benchmark::State& state, const QByteArray& bytes)
{
    QByteArray target(bytes.size(), '\0');
    for (auto _ : state) {
        std::memcpy(target.data(), bytes.constData(), size_t(bytes.size()));
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

constexpr int datacoreFramesPerBlock = 1000;

void BM_MemcpyDatacoreBlock(benchmark::State& state) { memcpyLimit(state, datacoreFrame().repeated(datacoreFramesPerBlock)); }

void BM_ScanDatacoreBlock(benchmark::State& state)
{
    const QByteArray block = datacoreFrame().repeated(datacoreFramesPerBlock);
    for (auto _ : state) {
        int frames = 0;
        benchmark::DoNotOptimize(scanRawDataFrames(block.constData(), block.size(), [&](const ScannedFrame&) { ++frames; }));
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(state.iterations() * block.size());
    state.SetItemsProcessed(state.iterations() * datacoreFramesPerBlock);
}

// Datacore frames written by a raw peer, read, parsed and delivered by the
// client's TCP reader.
void BM_TcpDatacoreToReceiver(benchmark::State& state)
{
    const QByteArray block = datacoreFrame().repeated(datacoreFramesPerBlock);
    Counter receiver(PID_SERIALISABLE_DATA);
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    NetworkConnection client(nullptr, false);
    if (!client.connectToHost(QString("127.0.0.1"), server.serverPort()) || !runUntil([&] { return server.hasPendingConnections(); })) {
        state.SkipWithError("no loopback connection");
        return;
    }
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
    for (auto _ : state) {
        const long target = receiver.count + datacoreFramesPerBlock;
        peer->write(block);
        if (!runUntil([&] { return receiver.count >= target; })) {
            state.SkipWithError("frames lost on TCP");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * block.size());
    state.SetItemsProcessed(state.iterations() * datacoreFramesPerBlock);
}

constexpr int burst = 15;

void BM_MemcpyUdpBurst(benchmark::State& state) { memcpyLimit(state, measurementFrame(0).repeated(burst)); }

// Bursts of 15 datagrams of one 1 KiB measurement frame each, as the
// stand-in streams them, through the client's UDP reader to a receiver.
void BM_UdpBurstsToReceiver(benchmark::State& state)
{
    std::vector<QByteArray> frames;
    for (int i = 0; i < burst; ++i)
        frames.push_back(measurementFrame(quint32(i)));
    Counter receiver(0x1011);
    NetworkConnection client(nullptr, false);
    unsigned short port = 0;
    for (unsigned short candidate = 31999; candidate >= 20000 && port == 0; --candidate) {
        QUdpSocket trial;
        if (trial.bind(QHostAddress::LocalHost, candidate))
            port = candidate;
    }
    client.listenForRawDataPackets(QHostAddress::LocalHost, port);
    QUdpSocket sender;
    sender.connectToHost(QHostAddress::LocalHost, port);
    long discarded = 0;
    for (auto _ : state) {
        const long target = receiver.count + burst;
        for (const auto& frame : frames)
            sender.write(frame);
        if (!runUntil([&] { return receiver.count >= target; }, 200)) {
            discarded += target - receiver.count;
            receiver.count = target;
        }
    }
    state.counters["discarded"] = double(discarded);
    state.SetBytesProcessed(state.iterations() * burst * frames[0].size());
    state.SetItemsProcessed(state.iterations() * burst);
}

} // namespace

BENCHMARK(BM_MemcpyDatacoreBlock);
BENCHMARK(BM_ScanDatacoreBlock);
BENCHMARK(BM_TcpDatacoreToReceiver)->UseRealTime();
BENCHMARK(BM_MemcpyUdpBurst);
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
