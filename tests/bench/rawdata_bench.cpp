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

#include <map>
#include <random>
#include <string>

namespace {

constexpr int streamBytes = 4 * 1024 * 1024;

// Back-to-back frames of each payload size, about 4 MiB each.
const std::map<int, QByteArray> frames = [] {
    std::map<int, QByteArray> all;
    for (int payloadSize : {64, 1024, 65536}) {
        const QByteArray one = frameBytes(0x1011, QByteArray(payloadSize, '\x5A'));
        all[payloadSize] = one.repeated(streamBytes / one.size() + 1);
    }
    return all;
}();

// Random bytes as a link carries between frames; no frame starts in them.
const QByteArray garbage = [] {
    std::mt19937 random(17);
    QByteArray bytes(streamBytes, '\0');
    for (char& c : bytes)
        c = char(random());
    return bytes;
}();

const bool limits = [] {
    for (const auto& [payloadSize, bytes] : frames)
        registerLimits("_Frames/" + std::to_string(payloadSize), bytes.constData(), size_t(bytes.size()), 0);
    return registerLimits("_Garbage", garbage.constData(), size_t(garbage.size()), 0);
}();

// What the readers do per frame: find it (peek, check the trailer) and make
// the packet.
void ScanAndCreate_Frames(benchmark::State& state)
{
    const QByteArray& bytes = frames.at(int(state.range(0)));
    measure(state, size_t(bytes.size()), 0, [&] {
        int made = 0;
        scanRawDataFrames(bytes.constData(), bytes.size(), [&](const ScannedFrame& f) {
            const auto frame = QByteArray::fromRawData(bytes.constData() + f.offset, f.frameLength());
            made += RawDataPacketFactory::createPacket(frame, f.header) != nullptr;
        });
        benchmark::DoNotOptimize(made);
    });
}
BENCHMARK(ScanAndCreate_Frames)->Arg(64)->Arg(1024)->Arg(65536);

// Stepping over bytes that start no frame, straight to the next one that can.
void SkipGarbage(benchmark::State& state)
{
    measure(state, size_t(garbage.size()), 0, [] {
        benchmark::DoNotOptimize(scanRawDataFrames(garbage.constData(), garbage.size(), [](const ScannedFrame&) {}));
    });
}
BENCHMARK(SkipGarbage);

// About 200 bytes of compact JSON once framed.
const QJsonObject content{{"Levels", QJsonObject{{"Left", -18.5}, {"Right", -19.25}}},
                          {"Standard", "1080p50"},
                          {"Locked", true},
                          {"Channels", QJsonArray{1, 2, 3, 4, 5, 6, 7, 8}}};
const QString path = QStringLiteral("Status/Inputs/SDI1/Audio"), client = QStringLiteral("32322355215000");

void DatacorePacket_BuildAndSerialise(benchmark::State& state)
{
    const auto build = [] { return DatacorePacket(client, 42, content, path).getSerialisedPayloadForTransmit(); };
    measure(state, size_t(build().size()), 1, [&] { benchmark::DoNotOptimize(build()); });
}
BENCHMARK(DatacorePacket_BuildAndSerialise);

// Qt's JSON writer alone, on the packet's whole object.
void DatacorePacket_ToJsonAlone(benchmark::State& state)
{
    const QJsonObject object = DatacorePacket(client, 42, content, path).jsonObject;
    const auto write = [&] { return QJsonDocument(object).toJson(QJsonDocument::Compact); };
    measure(state, size_t(write().size()), 1, [&] { benchmark::DoNotOptimize(write()); });
}
BENCHMARK(DatacorePacket_ToJsonAlone);

} // namespace

BENCHMARK_MAIN();
