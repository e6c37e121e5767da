#pragma once

#include "framework/rawdata/OpaquePayloadPacket.h"

// Per-channel audio detection results.
class AudioMetersDataPacket : public OpaquePayloadPacket {
public:
    using OpaquePayloadPacket::OpaquePayloadPacket;
};

class ST337DolbyDetectData : public AudioMetersDataPacket {
public:
    using AudioMetersDataPacket::AudioMetersDataPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1018; }
};

class AesPresenceDataPacket : public AudioMetersDataPacket {
public:
    using AudioMetersDataPacket::AudioMetersDataPacket;
    PacketIdentifier getPacketIdentifier() const override { return 0x1021; }
};
