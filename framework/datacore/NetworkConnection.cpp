#include "framework/datacore/NetworkConnection.h"

#include "framework/datacore/KwLog.h"

// Placeholder: a connection that never opens its UDP port, so a request
// only logs and a cancel does nothing.
NetworkConnection::NetworkConnection(QObject*, bool) {}

NetworkConnection::~NetworkConnection() = default;

void NetworkConnection::requestRawDataPacketFromServer(PacketIdentifier)
{
    logToKwlog(spdlog::level::err,
               [] { return std::string("NetworkConnection requestRawDataPacketFromServer ERROR UDP port not open"); });
}

void NetworkConnection::cancelRawDataPacketFromServer(PacketIdentifier) {}
