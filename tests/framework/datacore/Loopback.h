#pragma once

#include "framework/datacore/RawDataPacketRegistry.h"
#include "framework/datacore/SerialisableDataPacket.h"
#include "framework/rawdata/RawDataPacket.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

#include <functional>
#include <memory>
#include <vector>

// Frames as bytes, and both ends of the link over loopback in one process.

// Runs the event loop until `done` holds or the deadline passes (the timer
// wakes the loop then).
inline bool waitUntil(const std::function<bool()>& done, int deadlineMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(deadlineMs);
    while (!done() && clock.elapsed() < deadlineMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

// A UDP port free at the moment of asking, below 32768: the connection keeps
// its port in 16 signed bits.
inline unsigned short freeUdpPort()
{
    static unsigned next = unsigned(QCoreApplication::applicationPid() % 6000);
    for (int tries = 0; tries < 12000; ++tries) {
        const auto port = static_cast<unsigned short>(20000 + next++ % 12000);
        if (QUdpSocket().bind(QHostAddress::LocalHost, port))
            return port;
    }
    return 0;
}

inline QByteArray headerBytes(quint16 id, qint32 length)
{
    char word[8] = {};
    qToBigEndian<quint16>(id, word);
    qToBigEndian<qint32>(length, word + 4);
    return QByteArray::fromHex("CAFEBA6E1F00D321") + QByteArray(word, 8);
}

inline QByteArray frameBytes(quint16 id, const QByteArray& payload)
{
    return headerBytes(id, payload.size()) + payload + QByteArray::fromHex("DEADBEEF");
}

inline QByteArray frameOf(const RawDataPacket& packet)
{
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    packet.serialisePacketAndWriteToDevice(device);
    return device.data();
}

inline QByteArray datacoreFrame(const QString& className) { return frameOf(SerialisableDataPacket(className)); }

// Keeps every packet delivered to it; registered for the given types while alive.
class RecordingReceiver : public RawDataPacketReceiverInterfaceBase {
public:
    RecordingReceiver(std::vector<PacketIdentifier> ids,
                      RawDataPacketRegistry& registry = RawDataPacketRegistry::getInstance())
        : ids(std::move(ids)), registry(registry)
    {
        for (const auto id : this->ids)
            registry.registerRawDataPacketReceiver(id, this);
    }
    ~RecordingReceiver() override
    {
        for (const auto id : ids)
            registry.deregisterRawDataPacketReceiver(id, this);
    }
    void receiveRawDataPacket(std::shared_ptr<const RawDataPacket> packet) override { packets.push_back(packet); }

    std::vector<std::shared_ptr<const RawDataPacket>> packets;

private:
    std::vector<PacketIdentifier> ids;
    RawDataPacketRegistry& registry;
};
