#include "framework/datacore/DatacorePacket.h"

#include <QJsonValue>

#include <cmath>
#include <limits>

namespace {

const QString clientIdKey = QStringLiteral("ClientID");
const QString packetIdKey = QStringLiteral("PacketID");
const QString pathKey = QStringLiteral("Path");
const QString datacoreKey = QStringLiteral("Datacore");

} // namespace

DatacorePacket::DatacorePacket(QString className) : SerialisableDataPacket(className) {}

DatacorePacket::DatacorePacket(QJsonObject datacore, QString path)
    : SerialisableDataPacket(QStringLiteral("DatacorePacket"))
{
    setDatacorePath(path);
    setDatacoreJsonObject(datacore);
}

DatacorePacket::DatacorePacket(QString clientID, int packetID, QJsonObject datacore, QString path)
    : DatacorePacket(std::move(datacore), std::move(path))
{
    setClientID(std::move(clientID));
    setPacketID(packetID);
}

DatacorePacket::~DatacorePacket() = default;

void DatacorePacket::setClientID(QString clientID) { jsonObject.insert(clientIdKey, clientID); }

void DatacorePacket::setPacketID(int packetID) { jsonObject.insert(packetIdKey, packetID); }

void DatacorePacket::setDatacorePath(const QString& path) { jsonObject.insert(pathKey, path); }

void DatacorePacket::setDatacoreJsonObject(const QJsonObject& datacore) { jsonObject.insert(datacoreKey, datacore); }

bool DatacorePacket::containsClientID() const { return jsonObject.contains(clientIdKey); }

bool DatacorePacket::containsPacketID() const { return jsonObject.contains(packetIdKey); }

bool DatacorePacket::containsDatacorePath() const { return jsonObject.contains(pathKey); }

bool DatacorePacket::containsDatacoreObject() const { return jsonObject.contains(datacoreKey); }

QString DatacorePacket::getClientID() const { return jsonObject.value(clientIdKey).toString(); }

int DatacorePacket::getPacketID() const
{
    const QJsonValue value = jsonObject.value(packetIdKey);
    if (!value.isDouble())
        return -1;
    const double number = value.toDouble();
    const bool whole = std::trunc(number) == number && number >= std::numeric_limits<int>::min()
                       && number <= std::numeric_limits<int>::max();
    return whole ? int(number) : -1;
}

QString DatacorePacket::getDatacorePath() const { return jsonObject.value(pathKey).toString(); }

QJsonObject DatacorePacket::getDatacoreJsonObject() const { return jsonObject.value(datacoreKey).toObject(); }
