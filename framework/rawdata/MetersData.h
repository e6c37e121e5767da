#pragma once

#include "framework/rawdata/OpaquePayloadPacket.h"

// Audio level meters in their several ballistics.
class MetersData : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
};

class PpmMetersData : public MetersData {
public:
    using MetersData::MetersData;
    PacketIdentifier getPacketIdentifier() const override { return 0x1013; }
};

class PeakHoldMetersData : public MetersData {
public:
    using MetersData::MetersData;
    PacketIdentifier getPacketIdentifier() const override { return 0x1014; }
};

class PhaseMetersData : public MetersData {
public:
    using MetersData::MetersData;
    PacketIdentifier getPacketIdentifier() const override { return 0x1015; }
};

class InstantPeakDbMetersData : public MetersData {
public:
    using MetersData::MetersData;
    PacketIdentifier getPacketIdentifier() const override { return 0x1016; }
};

class InstantPeakLinearMetersData : public MetersData {
public:
    using MetersData::MetersData;
    PacketIdentifier getPacketIdentifier() const override { return 0x1017; }
};
