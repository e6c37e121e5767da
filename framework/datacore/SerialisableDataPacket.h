#pragma once

#include "framework/rawdata/RawDataPacket.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonParseError>
#include <QString>

#include <fmt/ostream.h>

#include <ostream>
#include <vector>

// A 0x1010 packet whose payload is one JSON object: a 4-byte big-endian
// length, then the object's compact JSON text. The "Class" member names the
// packet's kind; other members may hold nested packets.
class SerialisableDataPacket : public RawDataPacket {
public:
    SerialisableDataPacket();
    SerialisableDataPacket(const QString& className);
    // The factory's constructor for a received frame.
    SerialisableDataPacket(const QByteArray& frame, const RawDataPacket::Header& header);
    ~SerialisableDataPacket() override;
    SerialisableDataPacket(const SerialisableDataPacket&) = default;
    SerialisableDataPacket(SerialisableDataPacket&&) = default;
    SerialisableDataPacket& operator=(const SerialisableDataPacket&) = default;
    SerialisableDataPacket& operator=(SerialisableDataPacket&&) = default;

    static SerialisableDataPacket fromJson(const QJsonObject& object);
    // JSON text without the length prefix; the parse result goes to error.
    static SerialisableDataPacket deserialise(const QByteArray& text, QJsonParseError& error);

    PacketIdentifier getPacketIdentifier() const override { return PID_SERIALISABLE_DATA; }
    QByteArray getSerialisedPayloadForTransmit() const override;

    QString getPacketClassName() const;
    QByteArray serialise() const;
    // Appends the compact JSON text; returns the number of bytes appended.
    int serialiseTo(QByteArray& out) const;

    void insertOtherPacketIntoThis(const QString& key, const SerialisableDataPacket& other);
    void insertOtherPacketsIntoThis(const QString& key, const std::vector<SerialisableDataPacket>& others);
    SerialisableDataPacket extractOtherPacketFromThis(QString key, bool& ok) const;
    std::vector<SerialisableDataPacket> extractOtherPacketsFromThis(QString key, bool& ok) const;

    // Only the JSON content counts; header and received bytes do not.
    bool operator==(const SerialisableDataPacket& other) const { return jsonObject == other.jsonObject; }
    bool operator!=(const SerialisableDataPacket& other) const { return !(*this == other); }

    QJsonObject jsonObject;
};

// The object as indented JSON text.
std::ostream& operator<<(std::ostream& os, const SerialisableDataPacket& packet);

template <>
struct fmt::formatter<SerialisableDataPacket> : fmt::ostream_formatter {};
