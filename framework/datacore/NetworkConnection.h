#pragma once

#include "framework/datacore/SerialisableDataPacketAcceptorInterface.h"
#include "framework/rawdata/RawDataPacket.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QUdpSocket>

#include <memory>
#include <set>

class SerialisableDataPacket;

// The link between a client and the instrument server, used on both ends: a
// TCP connection for datacore traffic and registrations, and a UDP socket on
// which measurement packets stream (received on the client side, sent on the
// server side to the destination the peer registered).
class NetworkConnection : public QObject, public SerialisableDataPacketAcceptorInterface {
    Q_OBJECT
public:
    NetworkConnection(QObject* parent, bool flag);
    ~NetworkConnection() override;
    NetworkConnection(const NetworkConnection&) = delete;
    NetworkConnection& operator=(const NetworkConnection&) = delete;

    bool connectToHost(QString host, unsigned short port);
    bool connectToHost(QHostAddress address, unsigned short port);
    // Server side: adopts a socket accepted by a listener.
    bool connectToHost(std::unique_ptr<QTcpSocket>&& socket);
    void disconnectFromHost();
    bool isConnectedToHost() const;

    QString getLocalId();
    QString getUniqueConnectionID();
    static QString makeUniqueIdentifier(QHostAddress address, unsigned short port);
    static QString socketErrorAsString(QAbstractSocket::SocketError error);

    bool listenForRawDataPackets(const QHostAddress& address, unsigned short port);
    void requestRawDataPacketFromServer(PacketIdentifier id);
    void cancelRawDataPacketFromServer(PacketIdentifier id);
    void requestRegisteredRawDataPacketsFromServer();

    bool canAcceptPacket(QString className) override;
    void acceptPacket(const SerialisableDataPacket& packet) override;
    void sendRawPacket(std::shared_ptr<const RawDataPacket> packet);
    // Server side: the packet types the peer has registered for.
    const std::set<quint16>& getRequestedPacketIdentifiers() const { return requestedIdentifiers; }

public slots:
    void onSocketError(QAbstractSocket::SocketError socketError);
    void onReadyReadTcp();
    void onReadyReadUdp();

signals:
    void disconnectedFromHost();

private:
    void wireTcpSocket();
    void noteIdentifiers();
    quint32 localIPv4Address() const;
    void writeFrameToTcp(const RawDataPacket& packet);
    void handleTcpFrame(const QByteArray& frame, const RawDataPacket::Header& header);
    void handleUdpFrame(const QByteArray& frame, const RawDataPacket::Header& header);

    bool constructionFlag;
    qint16 udpPort = -1;
    QString remoteId;
    QString localId;
    std::unique_ptr<QTcpSocket> tcpSocket;
    std::unique_ptr<QUdpSocket> udpSocket;
    QByteArray tcpReceiveBuffer;
    QByteArray udpReceiveBuffer;
    QByteArray udpSendBuffer;
    // Bumped whenever the TCP receive buffer starts afresh (new socket).
    unsigned tcpBufferGeneration = 0;
    std::set<quint16> requestedIdentifiers;
};
