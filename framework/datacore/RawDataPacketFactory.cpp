#include "framework/datacore/RawDataPacketFactory.h"

#include "framework/datacore/SerialisableDataPacket.h"
#include "framework/rawdata/AudioMetersDataPacket.h"
#include "framework/rawdata/EyeHistogramData.h"
#include "framework/rawdata/MeasurementPackets.h"
#include "framework/rawdata/MetersData.h"
#include "framework/rawdata/PitHistogramPacket.h"
#include "framework/rawdata/RegistrationRawDataPacket.h"

#include <array>

namespace {

using Create = std::shared_ptr<RawDataPacket> (*)(const QByteArray&, const RawDataPacket::Header&);

struct PacketType {
    PacketIdentifier id;
    const char* name;
    Create create;
};

template <typename Packet>
std::shared_ptr<RawDataPacket> make(const QByteArray& frame, const RawDataPacket::Header& header)
{
    return std::make_shared<Packet>(frame, header);
}

#define DYNELLE_PACKET_TYPE(id, Class) PacketType{id, #Class, &make<Class>}

// In identifier order, one row per identifier, so a row is found by index.
constexpr std::array<PacketType, 28> packetTypes{{
    DYNELLE_PACKET_TYPE(0x1010, SerialisableDataPacket),
    DYNELLE_PACKET_TYPE(0x1011, EyeVerticalHistogramData),
    DYNELLE_PACKET_TYPE(0x1012, EyeHorizontalHistogramData),
    DYNELLE_PACKET_TYPE(0x1013, PpmMetersData),
    DYNELLE_PACKET_TYPE(0x1014, PeakHoldMetersData),
    DYNELLE_PACKET_TYPE(0x1015, PhaseMetersData),
    DYNELLE_PACKET_TYPE(0x1016, InstantPeakDbMetersData),
    DYNELLE_PACKET_TYPE(0x1017, InstantPeakLinearMetersData),
    DYNELLE_PACKET_TYPE(0x1018, ST337DolbyDetectData),
    DYNELLE_PACKET_TYPE(0x1019, RawSdiSampleGridPacket),
    DYNELLE_PACKET_TYPE(0x101A, RawSdiJitterSpectrumDataPacket),
    DYNELLE_PACKET_TYPE(0x101B, JitterVerticalHistogramData),
    DYNELLE_PACKET_TYPE(0x101C, VideoPitHistogramPacket),
    DYNELLE_PACKET_TYPE(0x101D, AudioPitHistogramPacket),
    DYNELLE_PACKET_TYPE(0x101E, AncPitHistogramPacket),
    DYNELLE_PACKET_TYPE(0x101F, AncillaryStatusDataPacket),
    DYNELLE_PACKET_TYPE(0x1020, AudioChannelStatusDataPacket),
    DYNELLE_PACKET_TYPE(0x1021, AesPresenceDataPacket),
    DYNELLE_PACKET_TYPE(0x1022, TeletextRawDataPacket),
    DYNELLE_PACKET_TYPE(0x1023, EyeWindowedVerticalHistogramData),
    DYNELLE_PACKET_TYPE(0x1024, VideoIp2110_21DataPacket),
    DYNELLE_PACKET_TYPE(0x1025, PtpMediaLatencyPacket),
    DYNELLE_PACKET_TYPE(0x1026, Captions608bytePairsRawDataPacket),
    DYNELLE_PACKET_TYPE(0x1027, RefVsPtpPacket),
    DYNELLE_PACKET_TYPE(0x1028, SCTE104RawDataPacket),
    DYNELLE_PACKET_TYPE(0x1029, LoudnessEngineRawDataPacket),
    DYNELLE_PACKET_TYPE(0x102A, RegisterRawDataPacket),
    DYNELLE_PACKET_TYPE(0x102B, DeregisterRawDataPacket),
}};

#undef DYNELLE_PACKET_TYPE

constexpr bool tableInIdentifierOrder()
{
    for (size_t i = 0; i < packetTypes.size(); ++i)
        if (packetTypes[i].id != firstRawDataPacketIdentifier + i)
            return false;
    return packetTypes.back().id == lastRawDataPacketIdentifier;
}
static_assert(tableInIdentifierOrder(), "one row per identifier, in order");

constexpr qint32 datacoreLengthFieldSize = 4;

} // namespace

std::shared_ptr<RawDataPacket> RawDataPacketFactory::createPacket(const QByteArray& frame,
                                                                  const RawDataPacket::Header& header)
{
    const int id = header.packetIdentifier;
    if (!isKnownPacketIdentifier(id) || header.payloadLength < 0
        || qint64(frame.size()) < qint64(RawDataPacket::headerSize) + header.payloadLength)
        return nullptr;
    if (id == PID_SERIALISABLE_DATA && header.payloadLength < datacoreLengthFieldSize)
        return nullptr;
    if ((id == PID_REGISTER_RAW_DATA || id == PID_DEREGISTER_RAW_DATA)
        && header.payloadLength < RegistrationRawDataPacket::wirePayloadSize)
        return nullptr;
    return packetTypes[size_t(id - firstRawDataPacketIdentifier)].create(frame, header);
}

const char* RawDataPacketFactory::getClassName(PacketIdentifier id)
{
    return isKnownPacketIdentifier(id) ? packetTypes[size_t(id - firstRawDataPacketIdentifier)].name : nullptr;
}
