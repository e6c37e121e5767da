#pragma once

#include "framework/rawdata/OpaquePayloadPacket.h"

// Eye and jitter histograms of an SDI input.
class EyeHistogramData : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
};

class EyeVerticalHistogramData : public EyeHistogramData {
public:
    using EyeHistogramData::EyeHistogramData;
    PacketIdentifier getPacketIdentifier() const override { return 0x1011; }
};

class EyeHorizontalHistogramData : public EyeHistogramData {
public:
    using EyeHistogramData::EyeHistogramData;
    PacketIdentifier getPacketIdentifier() const override { return 0x1012; }
};

class JitterVerticalHistogramData : public EyeHistogramData {
public:
    using EyeHistogramData::EyeHistogramData;
    PacketIdentifier getPacketIdentifier() const override { return 0x101B; }
};

class EyeWindowedVerticalHistogramData : public EyeHistogramData {
public:
    using EyeHistogramData::EyeHistogramData;
    PacketIdentifier getPacketIdentifier() const override { return 0x1023; }
};
