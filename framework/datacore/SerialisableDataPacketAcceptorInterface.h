#pragma once

#include <QString>

class SerialisableDataPacket;

// Something that takes outgoing or routed datacore packets: the server
// connection (which sends them to its peer) or a local consumer.
class SerialisableDataPacketAcceptorInterface {
public:
    SerialisableDataPacketAcceptorInterface() = default;
    virtual ~SerialisableDataPacketAcceptorInterface() = default;
    virtual bool canAcceptPacket(QString className) = 0;
    virtual void acceptPacket(const SerialisableDataPacket& packet) = 0;

protected:
    SerialisableDataPacketAcceptorInterface(const SerialisableDataPacketAcceptorInterface&) = default;
    SerialisableDataPacketAcceptorInterface& operator=(const SerialisableDataPacketAcceptorInterface&) = default;
};
