// Raw data packet handling against memcpy of the same bytes in the same run:
// the readers' frame scanner making each packet with the factory, over
// frames and over garbage (memchr to the next possible frame start), and
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

// About 4 MiB each: back-to-back frames of each payload size, and under 0
// random bytes as a link carries between frames (no frame starts in them).
const std::map<int, QByteArray> streams = [] {
    std::map<int, QByteArray> all;
    for (int payloadSize : {64, 1024, 65536}) {
        const QByteArray one = frameBytes(0x1011, QByteArray(payloadSize, '\x5A'));
        all[payloadSize] = one.repeated(streamBytes / one.size() + 1);
    }
    std::mt19937 random(17);
    QByteArray& garbage = all[0] = QByteArray(streamBytes, '\0');
    for (char& c : garbage)
        c = char(random());
    return all;
}();

const bool limits = [] {
    for (const auto& [payloadSize, bytes] : streams)
        registerLimits("_Stream/" + std::to_string(payloadSize), bytes.constData(), size_t(bytes.size()), 0);
    return true;
}();

// What the readers do per frame: find it (peek, check the trailer) and make
// the packet; over garbage, step straight to the next byte that can start one.
void ScanAndCreate(benchmark::State& state)
{
    const QByteArray& bytes = streams.at(int(state.range(0)));
    measure(state, size_t(bytes.size()), 0, [&] {
        int made = 0;
        scanRawDataFrames(bytes.constData(), bytes.size(), [&](const ScannedFrame& f) {
            const auto frame = QByteArray::fromRawData(bytes.constData() + f.offset, f.frameLength());
            made += RawDataPacketFactory::createPacket(frame, f.header) != nullptr;
        });
        benchmark::DoNotOptimize(made);
    });
}
BENCHMARK(ScanAndCreate)->Arg(0)->Arg(64)->Arg(1024)->Arg(65536);

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
