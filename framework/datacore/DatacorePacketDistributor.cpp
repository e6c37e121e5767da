#include "framework/datacore/DatacorePacketDistributor.h"

#include "framework/datacore/SerialisableDataPacket.h"
#include "framework/datacore/RawDataPacketRegistry.h"

#include <algorithm>

DatacorePacketDistributor::DatacorePacketDistributor(RawDataPacketRegistry& registry) : registry(registry)
{
    registry.registerRawDataPacketReceiver(PID_SERIALISABLE_DATA, this);
}

DatacorePacketDistributor::~DatacorePacketDistributor()
{
    registry.deregisterRawDataPacketReceiver(PID_SERIALISABLE_DATA, this);
}

void DatacorePacketDistributor::addAcceptor(SerialisableDataPacketAcceptorInterface* acceptor)
{
    if (acceptor)
        acceptors.push_back(acceptor);
}

void DatacorePacketDistributor::removeAcceptor(SerialisableDataPacketAcceptorInterface* acceptor)
{
    acceptors.erase(std::remove(acceptors.begin(), acceptors.end(), acceptor), acceptors.end());
}

void DatacorePacketDistributor::receiveRawDataPacket(std::shared_ptr<const RawDataPacket> packet)
{
    const auto* datacore = dynamic_cast<const SerialisableDataPacket*>(packet.get());
    if (!datacore)
        return;
    const QString className = datacore->getPacketClassName();
    // A copy, so that an acceptor may add or remove acceptors while served.
    const auto current = acceptors;
    for (auto* acceptor : current)
        if (acceptor->canAcceptPacket(className))
            acceptor->acceptPacket(*datacore);
}
