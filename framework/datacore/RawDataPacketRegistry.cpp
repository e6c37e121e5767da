#include "framework/datacore/RawDataPacketRegistry.h"

#include "framework/datacore/KwLog.h"
#include "framework/datacore/NetworkConnection.h"

RawDataPacketRegistry& RawDataPacketRegistry::getInstance()
{
    static RawDataPacketRegistry instance;
    return instance;
}

void RawDataPacketRegistry::setNetworkConnection(NetworkConnection* connection)
{
    if (!networkConnection) {
        networkConnection = connection;
        return;
    }
    const bool same = networkConnection == connection;
    logToKwlog(spdlog::level::err, [same] {
        return std::string(
            same ? "RawDataPacketRegistry::setNetworkConnection ignoring callback registration.  This callback is already registered."
                 : "RawDataPacketRegistry::setNetworkConnection ignoring callback registration.  A different callback is already registered.");
    });
}

void RawDataPacketRegistry::registerRawDataPacketReceiver(PacketIdentifier id,
                                                          RawDataPacketReceiverInterfaceBase* receiver)
{
    const auto first = receivers.lower_bound(id);
    if (networkConnection && (first == receivers.end() || first->first != id))
        networkConnection->requestRawDataPacketFromServer(id);
    // The hint puts the new entry before the older ones of its identifier.
    receivers.emplace_hint(first, id, receiver);
}

void RawDataPacketRegistry::deregisterRawDataPacketReceiver(PacketIdentifier id,
                                                            RawDataPacketReceiverInterfaceBase* receiver)
{
    auto [entry, end] = receivers.equal_range(id);
    while (entry != end)
        entry = entry->second == receiver ? receivers.erase(entry) : std::next(entry);
    if (networkConnection && receivers.count(id) == 0)
        networkConnection->cancelRawDataPacketFromServer(id);
}

std::vector<RawDataPacketReceiverInterfaceBase*> RawDataPacketRegistry::getReceiversForPacketIdentifier(
    PacketIdentifier id) const
{
    std::vector<RawDataPacketReceiverInterfaceBase*> found;
    const auto [first, last] = receivers.equal_range(id);
    for (auto entry = first; entry != last; ++entry)
        found.push_back(entry->second);
    return found;
}

std::vector<PacketIdentifier> RawDataPacketRegistry::getAllRegisteredPacketIdentifiers() const
{
    std::vector<PacketIdentifier> ids;
    for (auto entry = receivers.begin(); entry != receivers.end(); entry = receivers.upper_bound(entry->first))
        ids.push_back(entry->first);
    return ids;
}
