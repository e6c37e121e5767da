#pragma once

#include "framework/datacore/SerialisableDataPacketAcceptorInterface.h"
#include "framework/rawdata/RawDataPacketReceiverInterfaceBase.h"

#include <vector>

class RawDataPacketRegistry;

// Takes the datacore packets (0x1010) that the connection's readers deliver
// and hands each to every acceptor that takes its class name, in the order
// the acceptors were added. Registered with the registry for its lifetime.
class DatacorePacketDistributor : public RawDataPacketReceiverInterfaceBase {
public:
    explicit DatacorePacketDistributor(RawDataPacketRegistry& registry);
    ~DatacorePacketDistributor() override;
    DatacorePacketDistributor(const DatacorePacketDistributor&) = delete;
    DatacorePacketDistributor& operator=(const DatacorePacketDistributor&) = delete;

    // Not owned; an acceptor must be removed before it goes away.
    void addAcceptor(SerialisableDataPacketAcceptorInterface* acceptor);
    void removeAcceptor(SerialisableDataPacketAcceptorInterface* acceptor);

    void receiveRawDataPacket(std::shared_ptr<const RawDataPacket> packet) override;

private:
    RawDataPacketRegistry& registry;
    std::vector<SerialisableDataPacketAcceptorInterface*> acceptors;
};
