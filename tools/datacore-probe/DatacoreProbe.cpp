#include "DatacoreProbe.h"

#include "framework/datacore/SerialisableDataPacket.h"
#include "framework/datacore/RawDataPacketFactory.h"

#include <QJsonDocument>
#include <QtEndian>

#include <sys/resource.h>

namespace {

constexpr qint64 nsPerSecond = 1000000000;

double cpuSeconds()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

const char* className(quint16 id)
{
    const char* name = RawDataPacketFactory::getClassName(id);
    return name ? name : "unknown";
}

} // namespace

DatacoreProbe::DatacoreProbe(std::FILE* out, Options options, std::function<void()> onFrame)
    : out(out), options(options), onFrame(std::move(onFrame))
{
    clock.start();
}

void DatacoreProbe::receiveRawDataPacket(std::shared_ptr<const RawDataPacket> packet)
{
    const auto id = static_cast<quint16>(packet->getPacketIdentifier());
    const QByteArray payload = packet->getPayloadFromPacket();
    Totals& t = totals[id];
    const qint64 now = clock.nsecsElapsed();
    if (t.frames == 0)
        t.windowStartNs = now;
    ++t.frames;
    ++total;
    t.bytes += quint64(payload.size());
    // The rate over the last whole second; until one has passed, over the
    // time since the first frame once that is long enough to mean anything.
    ++t.windowFrames;
    const qint64 window = now - t.windowStartNs;
    if (window >= nsPerSecond) {
        t.rate = double(t.windowFrames) * nsPerSecond / double(window);
        t.windowStartNs = now;
        t.windowFrames = 0;
    } else if (!t.fullWindowSeen && window >= nsPerSecond / 4) {
        t.rate = double(t.windowFrames) * nsPerSecond / double(window);
    }
    t.fullWindowSeen = t.fullWindowSeen || window >= nsPerSecond;
    if (options.sequenced && payload.size() >= 4) {
        const quint32 sequence = qFromBigEndian<quint32>(payload.constData());
        if (t.sequenceSeen && sequence > t.nextSequence)
            t.lost += sequence - t.nextSequence;
        t.sequenceSeen = true;
        t.nextSequence = sequence + 1;
    }
    if (!options.quiet) {
        std::fprintf(out, "0x%04x %s length %d rate %.1f/s\n", unsigned(id), className(id), payload.size(), t.rate);
        if (const auto* datacore = dynamic_cast<const SerialisableDataPacket*>(packet.get()))
            std::fprintf(out, "%s", QJsonDocument(datacore->jsonObject).toJson(QJsonDocument::Indented).constData());
        std::fflush(out);
    }
    if (onFrame)
        onFrame();
}

void DatacoreProbe::printSummary(double seconds) const
{
    for (const auto& [id, t] : totals)
        std::fprintf(out, "total 0x%04x %s frames %llu bytes %llu lost %llu rate %.1f/s\n", unsigned(id),
                     className(id), t.frames, t.bytes, t.lost, seconds > 0 ? double(t.frames) / seconds : 0.0);
    std::fprintf(out, "cpu %.3f s over %.3f s\n", cpuSeconds(), seconds);
    std::fflush(out);
}
