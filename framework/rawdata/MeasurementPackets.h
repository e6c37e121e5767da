#pragma once

#include "framework/rawdata/OpaquePayloadPacket.h"

// The measurement packets without a family of their own.

class RawSdiSampleGridPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1019; }
};

class RawSdiJitterSpectrumDataPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x101A; }
};

class AncillaryStatusDataPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x101F; }
};

class AudioChannelStatusDataPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1020; }
};

class TeletextRawDataPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1022; }
};

class VideoIp2110_21DataPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1024; }
};

class PtpMediaLatencyPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1025; }
};

class Captions608bytePairsRawDataPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1026; }
};

class RefVsPtpPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1027; }
};

class SCTE104RawDataPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1028; }
};

class LoudnessEngineRawDataPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1029; }
};
