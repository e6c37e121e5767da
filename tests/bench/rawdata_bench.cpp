// Raw data packet handling against memcpy of the same bytes in the same run:
// the readers' frame scanner making each packet with the factory, the same
// scanner skipping garbage (memchr to the next possible frame start), and
// building and serialising a datacore packet against Qt's JSON writer alone.

#include "framework/datacore/DatacorePacket.h"
#include "framework/datacore/FrameScanner.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "tests/bench/Limits.h"
#include "tests/framework/datacore/Loopback.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <random>

namespace {

constexpr int streamBytes = 4 * 1024 * 1024;

// Back-to-back frames of one payload size, about 4 MiB in all.
QByteArray frames(int payloadSize)
{
    const QByteArray one = frameBytes(0x1011, QByteArray(payloadSize, '\x5A'));
    return one.repeated(streamBytes / one.size() + 1);
}

// Random bytes as a link carries between frames; no frame starts in them.
QByteArray garbage()
{
    std::mt19937 random(17);
    QByteArray bytes(streamBytes, '\0');
    for (char& c : bytes)
        c = char(random());
    return bytes;
}

void memcpyOf(benchmark::State& state, const QByteArray& bytes) { memcpyLimit(state, bytes.constData(), size_t(bytes.size())); }

void Memcpy_Frames(benchmark::State& state) { memcpyOf(state, frames(int(state.range(0)))); }

// What the readers do per frame: find it (peek, check the trailer) and make
// the packet.
void ScanAndCreate_Frames(benchmark::State& state)
{
    const QByteArray bytes = frames(int(state.range(0)));
    for (auto _ : state) {
        int made = 0;
        scanRawDataFrames(bytes.constData(), bytes.size(), [&](const ScannedFrame& f) {
            const auto frame = QByteArray::fromRawData(bytes.constData() + f.offset, f.frameLength());
            made += RawDataPacketFactory::createPacket(frame, f.header) != nullptr;
        });
        benchmark::DoNotOptimize(made);
    }
    setRate(state, size_t(bytes.size()));
}

void Memcpy_Garbage(benchmark::State& state) { memcpyOf(state, garbage()); }

// Stepping over bytes that start no frame, straight to the next one that can.
void SkipGarbage(benchmark::State& state)
{
    const QByteArray bytes = garbage();
    for (auto _ : state)
        benchmark::DoNotOptimize(scanRawDataFrames(bytes.constData(), bytes.size(), [](const ScannedFrame&) {}));
    setRate(state, size_t(bytes.size()));
}

// About 200 bytes of compact JSON once framed.
DatacorePacket datacorePacket()
{
    const QJsonObject content{{"Levels", QJsonObject{{"Left", -18.5}, {"Right", -19.25}}},
                              {"Standard", "1080p50"},
                              {"Locked", true},
                              {"Channels", QJsonArray{1, 2, 3, 4, 5, 6, 7, 8}}};
    return DatacorePacket(QStringLiteral("32322355215000"), 42, content, QStringLiteral("Status/Inputs/SDI1/Audio"));
}

void DatacorePacket_BuildAndSerialise(benchmark::State& state)
{
    const QJsonObject content = datacorePacket().getDatacoreJsonObject();
    const QString path = QStringLiteral("Status/Inputs/SDI1/Audio"), client = QStringLiteral("32322355215000");
    int64_t bytes = 0;
    for (auto _ : state) {
        const QByteArray payload = DatacorePacket(client, 42, content, path).getSerialisedPayloadForTransmit();
        bytes += payload.size();
        benchmark::DoNotOptimize(payload.constData());
    }
    state.SetBytesProcessed(bytes);
}

void DatacorePacket_ToJsonAlone(benchmark::State& state)
{
    const QJsonObject object = datacorePacket().jsonObject;
    int64_t bytes = 0;
    for (auto _ : state) {
        const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
        bytes += text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(bytes);
}

} // namespace

BENCHMARK(Memcpy_Frames)->Arg(64)->Arg(1024)->Arg(65536);
BENCHMARK(ScanAndCreate_Frames)->Arg(64)->Arg(1024)->Arg(65536);
BENCHMARK(Memcpy_Garbage);
BENCHMARK(SkipGarbage);
BENCHMARK(DatacorePacket_BuildAndSerialise);
BENCHMARK(DatacorePacket_ToJsonAlone);

BENCHMARK_MAIN();
