#pragma once

#include "framework/rawdata/RawDataPacketReceiverInterfaceBase.h"

#include <QElapsedTimer>

#include <cstdio>
#include <functional>
#include <map>

// Prints what arrives for the packet types it is registered for: one line
// per frame (identifier, class name, payload length, the type's current rate
// per second), datacore packets as indented JSON; keeps per-type totals and,
// for streams whose payloads start with a sequence number, the frames lost.
class DatacoreProbe : public RawDataPacketReceiverInterfaceBase {
public:
    struct Options {
        bool quiet = false;        // totals only, no line per frame
        bool sequenced = false;    // payloads carry a 32-bit big-endian sequence number
    };

    DatacoreProbe(std::FILE* out, Options options, std::function<void()> onFrame);

    void receiveRawDataPacket(std::shared_ptr<const RawDataPacket> packet) override;
    // Per type: frames, payload bytes, frames lost; and the CPU time used.
    void printSummary(double seconds) const;
    unsigned long long framesReceived() const { return total; }

private:
    struct Totals {
        unsigned long long frames = 0;
        unsigned long long bytes = 0;
        unsigned long long lost = 0;
        quint32 nextSequence = 0;
        bool sequenceSeen = false;
        qint64 windowStartNs = 0;
        unsigned windowFrames = 0;
        double rate = 0;
        bool fullWindowSeen = false;
    };

    std::FILE* out;
    Options options;
    std::function<void()> onFrame;
    QElapsedTimer clock;
    std::map<quint16, Totals> totals;
    unsigned long long total = 0;
};
