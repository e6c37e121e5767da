#pragma once

#include "framework/rawdata/OpaquePayloadPacket.h"

// Packet-interval histograms of an IP media flow.
class PitHistogramPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
};

class VideoPitHistogramPacket : public PitHistogramPacket {
public:
    using PitHistogramPacket::PitHistogramPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x101C; }
};

class AudioPitHistogramPacket : public PitHistogramPacket {
public:
    using PitHistogramPacket::PitHistogramPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x101D; }
};

class AncPitHistogramPacket : public PitHistogramPacket {
public:
    using PitHistogramPacket::PitHistogramPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x101E; }
};
