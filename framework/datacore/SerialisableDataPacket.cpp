#include "framework/datacore/SerialisableDataPacket.h"

#include "framework/datacore/KwLog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QtEndian>

namespace {

const QString classKey = QStringLiteral("Class");
constexpr int lengthFieldSize = 4;
// Typical packets fit without the buffer growing.
constexpr int transmitReserve = 1500;

// A nested packet must be an object with a non-empty class name.
bool isPacketObject(const QJsonValue& value)
{
    if (!value.isObject())
        return false;
    const QJsonValue name = value.toObject().value(classKey);
    return name.isString() && !name.toString().isEmpty();
}

} // namespace

SerialisableDataPacket::SerialisableDataPacket() = default;

SerialisableDataPacket::SerialisableDataPacket(const QString& className)
{
    if (className.isEmpty()) {
        logToKwlog(spdlog::level::info, [] { return std::string("SerialisableDataPacket MUST HAVE CLASS NAME"); });
        return;
    }
    jsonObject.insert(classKey, className);
}

SerialisableDataPacket::SerialisableDataPacket(const QByteArray& frame, const RawDataPacket::Header& header)
    : RawDataPacket(frame, header)
{
    // The length field is not trusted: the JSON text is whatever follows it.
    const int skip = qMin(lengthFieldSize, payload.size());
    const QByteArray text = QByteArray::fromRawData(payload.constData() + skip, payload.size() - skip);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        logToKwlog(spdlog::level::info, [&] {
            return "SerialisablePacket failed to parse packet " + error.errorString().toStdString();
        });
        jsonObject.insert(classKey, QString(""));
        return;
    }
    jsonObject = document.object();
}

SerialisableDataPacket::~SerialisableDataPacket() = default;

SerialisableDataPacket SerialisableDataPacket::fromJson(const QJsonObject& object)
{
    SerialisableDataPacket packet;
    packet.jsonObject = object;
    return packet;
}

SerialisableDataPacket SerialisableDataPacket::deserialise(const QByteArray& text, QJsonParseError& error)
{
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        logToKwlog(spdlog::level::info, [&] {
            return fmt::format("SerialisablePacket failed to parse packet: {}", error.errorString().toStdString());
        });
    }
    return fromJson(document.object());
}

QString SerialisableDataPacket::getPacketClassName() const { return jsonObject.value(classKey).toString(); }

QByteArray SerialisableDataPacket::serialise() const
{
    return QJsonDocument(jsonObject).toJson(QJsonDocument::Compact);
}

int SerialisableDataPacket::serialiseTo(QByteArray& out) const
{
    const QByteArray text = serialise();
    out.append(text);
    return text.size();
}

QByteArray SerialisableDataPacket::getSerialisedPayloadForTransmit() const
{
    QByteArray bytes;
    bytes.reserve(transmitReserve);
    bytes.append(lengthFieldSize, '\0');
    const int length = serialiseTo(bytes);
    qToBigEndian<quint32>(quint32(length), bytes.data());
    return bytes;
}

void SerialisableDataPacket::insertOtherPacketIntoThis(const QString& key, const SerialisableDataPacket& other)
{
    jsonObject.insert(key, other.jsonObject);
}

void SerialisableDataPacket::insertOtherPacketsIntoThis(const QString& key,
                                                        const std::vector<SerialisableDataPacket>& others)
{
    QJsonArray array;
    for (const auto& other : others)
        array.append(other.jsonObject);
    jsonObject.insert(key, array);
}

SerialisableDataPacket SerialisableDataPacket::extractOtherPacketFromThis(QString key, bool& ok) const
{
    const QJsonValue member = jsonObject.value(key);
    ok = isPacketObject(member);
    return ok ? fromJson(member.toObject()) : SerialisableDataPacket();
}

std::vector<SerialisableDataPacket> SerialisableDataPacket::extractOtherPacketsFromThis(QString key, bool& ok) const
{
    std::vector<SerialisableDataPacket> packets;
    const QJsonValue member = jsonObject.value(key);
    ok = member.isArray();
    if (!ok)
        return packets;
    const QJsonArray array = member.toArray();
    packets.reserve(size_t(array.size()));
    for (const QJsonValue& element : array) {
        if (isPacketObject(element))
            packets.push_back(fromJson(element.toObject()));
        else
            ok = false;
    }
    return packets;
}

std::ostream& operator<<(std::ostream& os, const SerialisableDataPacket& packet)
{
    const QByteArray text = QJsonDocument(packet.jsonObject).toJson(QJsonDocument::Indented);
    return os.write(text.constData(), text.size());
}
