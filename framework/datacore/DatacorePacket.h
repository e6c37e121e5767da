#pragma once

#include "framework/datacore/SerialisableDataPacket.h"

#include <QJsonObject>
#include <QString>

// A piece of the datacore: a JSON subtree with its path, the sending
// client's identifier and the sender's packet number, all in jsonObject.
class DatacorePacket : public SerialisableDataPacket {
public:
    DatacorePacket(QString className);
    DatacorePacket(QJsonObject datacore, QString path);
    DatacorePacket(QString clientID, int packetID, QJsonObject datacore, QString path);
    ~DatacorePacket() override;
    DatacorePacket(const DatacorePacket&) = default;
    DatacorePacket(DatacorePacket&&) = default;
    DatacorePacket& operator=(const DatacorePacket&) = default;
    DatacorePacket& operator=(DatacorePacket&&) = default;

    void setClientID(QString clientID);
    void setPacketID(int packetID);
    void setDatacorePath(const QString& path);
    void setDatacoreJsonObject(const QJsonObject& datacore);

    bool containsClientID() const;
    bool containsPacketID() const;
    bool containsDatacorePath() const;
    bool containsDatacoreObject() const;

    QString getClientID() const;
    // -1 when the member is missing or not a whole number.
    int getPacketID() const;
    QString getDatacorePath() const;
    QJsonObject getDatacoreJsonObject() const;
};

template <>
struct fmt::formatter<DatacorePacket> : fmt::ostream_formatter {};
