#pragma once

#include "framework/rawdata/PacketIdentifier.h"

class QObject;

// Placeholder until the server connection lands: only what the packet
// registry calls. To be replaced wholesale by the real connection.
class NetworkConnection {
public:
    NetworkConnection(QObject* parent, bool flag);
    virtual ~NetworkConnection();
    NetworkConnection(const NetworkConnection&) = delete;
    NetworkConnection& operator=(const NetworkConnection&) = delete;

    void requestRawDataPacketFromServer(PacketIdentifier id);
    void cancelRawDataPacketFromServer(PacketIdentifier id);
};
