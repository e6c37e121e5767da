// Raw data packet handling against the limit of the same bytes in the same
// run (memcpy): scanning back-to-back frames with peekHeader and making each
// packet with the factory, skipping garbage, and building and serialising a
// datacore packet against Qt's JSON writer alone. Figures are bytes per
// second of link traffic (datacore: items per second).

#include "framework/datacore/DatacorePacket.h"
#include "framework/datacore/RawDataPacketFactory.h"

#include "tests/bench/Limits.h"

#include <QDataStream>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstring>
#include <random>

namespace {

constexpr int streamBytes = 4 * 1024 * 1024;

// Back-to-back frames of one payload size, about 4 MiB in all.
QByteArray frames(int payloadSize)
{
    QByteArray one;
    QDataStream stream(&one, QIODevice::WriteOnly);
    RawDataPacket::Header header;
    header.packetIdentifier = 0x1011;
    header.payloadLength = payloadSize;
    RawDataPacket::writeHeaderToDataStream(header, stream);
    one += QByteArray(payloadSize, '\x5A') + rawDataPacketTrailer;
    QByteArray all;
    while (all.size() < streamBytes)
        all += one;
    return all;
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

void setBytes(benchmark::State& state, const QByteArray& bytes) { setRate(state, size_t(bytes.size())); }

void memcpyOf(benchmark::State& state, const QByteArray& bytes) { memcpyLimit(state, bytes.constData(), size_t(bytes.size())); }

void Memcpy_Frames(benchmark::State& state) { memcpyOf(state, frames(int(state.range(0)))); }

// What a reader does per frame: peek, check the trailer, make the packet.
void PeekAndCreate_Frames(benchmark::State& state)
{
    const QByteArray bytes = frames(int(state.range(0)));
    for (auto _ : state) {
        qint64 offset = 0;
        int made = 0;
        while (bytes.size() - offset >= RawDataPacket::headerSize) {
            const auto header = RawDataPacket::peekHeader(bytes.constData() + offset, bytes.size() - offset);
            if (header.packetIdentifier <= RawDataPacket::peekIncomplete)
                break;
            const qint64 frameSize = header.frameSize();
            if (std::memcmp(bytes.constData() + offset + frameSize - 4, rawDataPacketTrailer.constData(), 4) == 0) {
                const auto frame = QByteArray::fromRawData(bytes.constData() + offset, int(frameSize));
                made += RawDataPacketFactory::createPacket(frame, header) != nullptr;
            }
            offset += frameSize;
        }
        benchmark::DoNotOptimize(made);
    }
    setBytes(state, bytes);
}

void Memcpy_Garbage(benchmark::State& state) { memcpyOf(state, garbage()); }

// The literal rule: peek at every offset, advance one byte on "not a frame".
void SkipGarbage_PeekEveryByte(benchmark::State& state)
{
    const QByteArray bytes = garbage();
    for (auto _ : state) {
        qint64 offset = 0;
        while (bytes.size() - offset >= RawDataPacket::headerSize
               && RawDataPacket::peekHeader(bytes.constData() + offset, bytes.size() - offset).packetIdentifier
                      == RawDataPacket::peekNotAFrame)
            ++offset;
        benchmark::DoNotOptimize(offset);
    }
    setBytes(state, bytes);
}

// The same walk, jumping straight to the next byte that can start a frame.
void SkipGarbage_NextPossibleStart(benchmark::State& state)
{
    const QByteArray bytes = garbage();
    for (auto _ : state) {
        qint64 offset = 0;
        while (bytes.size() - offset >= RawDataPacket::headerSize) {
            offset = RawDataPacket::nextPossibleFrameStart(bytes.constData(), bytes.size(), offset);
            if (bytes.size() - offset < RawDataPacket::headerSize
                || RawDataPacket::peekHeader(bytes.constData() + offset, bytes.size() - offset).packetIdentifier
                       != RawDataPacket::peekNotAFrame)
                break;
            ++offset;
        }
        benchmark::DoNotOptimize(offset);
    }
    setBytes(state, bytes);
}

// About 200 bytes of compact JSON once framed.
QJsonObject datacoreContent()
{
    QJsonObject levels;
    levels.insert(QStringLiteral("Left"), -18.5);
    levels.insert(QStringLiteral("Right"), -19.25);
    QJsonObject content;
    content.insert(QStringLiteral("Levels"), levels);
    content.insert(QStringLiteral("Standard"), QStringLiteral("1080p50"));
    content.insert(QStringLiteral("Locked"), true);
    content.insert(QStringLiteral("Channels"), QJsonArray{1, 2, 3, 4, 5, 6, 7, 8});
    return content;
}

void DatacorePacket_BuildAndSerialise(benchmark::State& state)
{
    const QJsonObject content = datacoreContent();
    const QString path = QStringLiteral("Status/Inputs/SDI1/Audio");
    const QString client = QStringLiteral("32322355215000");
    int64_t bytes = 0;
    for (auto _ : state) {
        const DatacorePacket packet(client, 42, content, path);
        const QByteArray payload = packet.getSerialisedPayloadForTransmit();
        bytes += payload.size();
        benchmark::DoNotOptimize(payload.constData());
    }
    state.SetBytesProcessed(bytes);
    state.counters["payload_bytes"] = double(bytes) / double(state.iterations());
}

void DatacorePacket_ToJsonAlone(benchmark::State& state)
{
    const QJsonObject object = DatacorePacket(QStringLiteral("32322355215000"), 42, datacoreContent(),
                                              QStringLiteral("Status/Inputs/SDI1/Audio"))
                                   .jsonObject;
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
BENCHMARK(PeekAndCreate_Frames)->Arg(64)->Arg(1024)->Arg(65536);
BENCHMARK(Memcpy_Garbage);
BENCHMARK(SkipGarbage_PeekEveryByte);
BENCHMARK(SkipGarbage_NextPossibleStart);
BENCHMARK(DatacorePacket_BuildAndSerialise);
BENCHMARK(DatacorePacket_ToJsonAlone);

BENCHMARK_MAIN();
