#pragma once

#include "framework/rawdata/PacketIdentifier.h"
#include "framework/rawdata/RawDataPacketReceiverInterfaceBase.h"

#include <map>
#include <vector>

class NetworkConnection;

// Which local receivers want which packet types. With a server connection
// set, the first receiver of a type starts its stream and the last one to
// leave stops it. Lives beside the connection because it calls it directly.
class RawDataPacketRegistry {
public:
    RawDataPacketRegistry() = default;
    RawDataPacketRegistry(const RawDataPacketRegistry&) = delete;
    RawDataPacketRegistry& operator=(const RawDataPacketRegistry&) = delete;

    // The process-wide registry, made on first use.
    static RawDataPacketRegistry& getInstance();

    void setNetworkConnection(NetworkConnection* connection);
    void registerRawDataPacketReceiver(PacketIdentifier id, RawDataPacketReceiverInterfaceBase* receiver);
    void deregisterRawDataPacketReceiver(PacketIdentifier id, RawDataPacketReceiverInterfaceBase* receiver);
    // Newest registration first.
    std::vector<RawDataPacketReceiverInterfaceBase*> getReceiversForPacketIdentifier(PacketIdentifier id) const;
    // Each identifier with a receiver, once, ascending.
    std::vector<PacketIdentifier> getAllRegisteredPacketIdentifiers() const;

private:
    NetworkConnection* networkConnection = nullptr;
    // Within one identifier, newest first.
    std::multimap<PacketIdentifier, RawDataPacketReceiverInterfaceBase*> receivers;
};
