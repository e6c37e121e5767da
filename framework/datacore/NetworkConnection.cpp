#include "framework/datacore/NetworkConnection.h"

#include "framework/datacore/FrameScanner.h"
#include "framework/datacore/SerialisableDataPacket.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "framework/datacore/RawDataPacketRegistry.h"
#include "framework/rawdata/RegistrationRawDataPacket.h"
#include "framework/datacore/KwLog.h"

#include <QBuffer>

#include <algorithm>

namespace {

constexpr int datacoreIdentifier = PID_SERIALISABLE_DATA;
constexpr int registerIdentifier = PID_REGISTER_RAW_DATA;
constexpr int deregisterIdentifier = PID_DEREGISTER_RAW_DATA;
constexpr qint64 tcpReadBufferSize = 132000;
constexpr int udpReceiveReserve = 32768;
// Bytes taken from the UDP socket per notification; what is pending beyond
// is dropped so that a flood cannot grow the buffer or starve the loop.
constexpr qint64 udpBytesPerNotification = 16384;
constexpr int connectTimeoutMs = 500;

std::string text(const char* fixed) { return fixed; }
std::string text(const QString& variable) { return variable.toStdString(); }
std::string text(int number) { return std::to_string(number); }

// One record on "KWLOG", its text built only when the level lets it through.
template <typename... Pieces>
void report(spdlog::level::level_enum level, const Pieces&... pieces)
{
    logToKwlog(level, [&] { return (std::string() + ... + text(pieces)); });
}

// The socket-error texts, one per enumerator, as data.
struct SocketErrorName {
    QAbstractSocket::SocketError error;
    const char* text;
};
constexpr SocketErrorName socketErrorNames[] = {
    {QAbstractSocket::ConnectionRefusedError, "QAbstractSocket::ConnectionRefusedError"},
    {QAbstractSocket::RemoteHostClosedError, "QAbstractSocket::RemoteHostClosedError"},
    {QAbstractSocket::HostNotFoundError, "QAbstractSocket::HostNotFoundError"},
    {QAbstractSocket::SocketAccessError, "QAbstractSocket::SocketAccessError"},
    {QAbstractSocket::SocketResourceError, "QAbstractSocket::SocketResourceError"},
    {QAbstractSocket::SocketTimeoutError, "QAbstractSocket::SocketTimeoutError"},
    {QAbstractSocket::DatagramTooLargeError, "QAbstractSocket::DatagramTooLargeError"},
    {QAbstractSocket::NetworkError, "QAbstractSocket::NetworkError"},
    {QAbstractSocket::AddressInUseError, "QAbstractSocket::AddressInUseError"},
    {QAbstractSocket::SocketAddressNotAvailableError, "QAbstractSocket::SocketAddressNotAvailableError"},
    {QAbstractSocket::UnsupportedSocketOperationError, "QAbstractSocket::UnsupportedSocketOperationError"},
    {QAbstractSocket::UnfinishedSocketOperationError, "QAbstractSocket::UnfinishedSocketOperationError"},
    {QAbstractSocket::ProxyAuthenticationRequiredError, "QAbstractSocket::ProxyAuthenticationRequiredError"},
    {QAbstractSocket::ProxyConnectionRefusedError, "QAbstractSocket::ProxyConnectionRefusedError"},
    {QAbstractSocket::ProxyConnectionClosedError, "QAbstractSocket::ProxyConnectionClosedError"},
    {QAbstractSocket::ProxyConnectionTimeoutError, "QAbstractSocket::ProxyConnectionTimeoutError"},
    {QAbstractSocket::ProxyNotFoundError, "QAbstractSocket::ProxyNotFoundError"},
    {QAbstractSocket::ProxyProtocolError, "QAbstractSocket::ProxyProtocolError"},
    {QAbstractSocket::UnknownSocketError, "QAbstractSocket::UnknownSocketError"},
    {QAbstractSocket::OperationError, "QAbstractSocket::OperationError"},
    {QAbstractSocket::SslHandshakeFailedError, "QAbstractSocket::SslHandshakeFailedError"},
    {QAbstractSocket::SslInternalError, "QAbstractSocket::SslInternalError"},
    {QAbstractSocket::SslInvalidUserDataError, "QAbstractSocket::SslInvalidUserDataError"},
    {QAbstractSocket::TemporaryError, "QAbstractSocket::TemporaryError"},
};

std::unique_ptr<QTcpSocket> makeTcpSocket(QObject* parent)
{
    auto socket = std::make_unique<QTcpSocket>(parent);
    socket->setReadBufferSize(tcpReadBufferSize);
    return socket;
}

// The frame's bytes without a copy; valid while the buffer it points into is.
QByteArray frameView(const char* data, const ScannedFrame& frame)
{
    return QByteArray::fromRawData(data + frame.offset, frame.frameLength());
}

} // namespace

NetworkConnection::NetworkConnection(QObject* parent, bool flag) : QObject(parent), constructionFlag(flag)
{
    udpReceiveBuffer.reserve(udpReceiveReserve);
}

NetworkConnection::~NetworkConnection()
{
    // Our own teardown is not the peer going away: no signal from here on.
    if (tcpSocket)
        tcpSocket->disconnect(this);
    if (udpSocket)
        udpSocket->disconnect(this);
}

bool NetworkConnection::connectToHost(QString host, unsigned short port)
{
    if (tcpSocket)
        tcpSocket->disconnect(this);
    tcpSocket = makeTcpSocket(this);
    wireTcpSocket();
    tcpSocket->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    if (!tcpSocket->waitForConnected(connectTimeoutMs)) {
        // Leave nothing half-open behind a failed attempt.
        tcpSocket->abort();
        return false;
    }
    noteIdentifiers();
    if (udpPort > 0)
        requestRegisteredRawDataPacketsFromServer();
    return true;
}

bool NetworkConnection::connectToHost(QHostAddress address, unsigned short port)
{
    return connectToHost(address.toString(), port);
}

bool NetworkConnection::connectToHost(std::unique_ptr<QTcpSocket>&& socket)
{
    if (tcpSocket)
        tcpSocket->disconnect(this);
    std::swap(tcpSocket, socket);
    socket.reset();
    if (!tcpSocket) {
        tcpSocket = makeTcpSocket(this);
        return false;
    }
    tcpSocket->setParent(this);
    wireTcpSocket();
    noteIdentifiers();
    const bool open = tcpSocket->isOpen();
    if (open && udpPort >= 1)
        requestRegisteredRawDataPacketsFromServer();
    return open;
}

void NetworkConnection::wireTcpSocket()
{
    connect(tcpSocket.get(), &QTcpSocket::readyRead, this, &NetworkConnection::onReadyReadTcp, Qt::DirectConnection);
    connect(tcpSocket.get(), &QTcpSocket::disconnected, this, &NetworkConnection::disconnectedFromHost,
            Qt::DirectConnection);
    connect(tcpSocket.get(), &QAbstractSocket::errorOccurred, this, &NetworkConnection::onSocketError);
    tcpReceiveBuffer.clear();
    ++tcpBufferGeneration;
}

void NetworkConnection::noteIdentifiers()
{
    remoteId = makeUniqueIdentifier(tcpSocket->peerAddress(), tcpSocket->peerPort());
    localId = makeUniqueIdentifier(tcpSocket->localAddress(), tcpSocket->localPort());
}

void NetworkConnection::disconnectFromHost()
{
    if (!tcpSocket)
        return;
    tcpSocket->disconnect(this);
    tcpSocket.reset();
}

bool NetworkConnection::isConnectedToHost() const
{
    return tcpSocket && tcpSocket->state() == QAbstractSocket::ConnectedState;
}

QString NetworkConnection::getLocalId() { return localId; }

QString NetworkConnection::getUniqueConnectionID() { return getLocalId(); }

QString NetworkConnection::makeUniqueIdentifier(QHostAddress address, unsigned short port)
{
    return QString("%1%2").arg(address.toIPv4Address()).arg(port);
}

QString NetworkConnection::socketErrorAsString(QAbstractSocket::SocketError error)
{
    for (const auto& entry : socketErrorNames)
        if (entry.error == error)
            return QString::fromLatin1(entry.text);
    return QString("illegal value for QAbstractSocket::SocketError: %1").arg(static_cast<int>(error));
}

void NetworkConnection::onSocketError(QAbstractSocket::SocketError socketError)
{
    report(spdlog::level::info, socketErrorAsString(socketError));
}

bool NetworkConnection::listenForRawDataPackets(const QHostAddress& address, unsigned short port)
{
    if (udpPort != -1) {
        report(spdlog::level::err, "NetworkConnection ERROR Raw Data Packet datagram port already open");
        return false;
    }
    if (udpSocket)
        udpSocket->disconnect(this);
    udpSocket = std::make_unique<QUdpSocket>(this);
    udpSocket->bind(address, port);
    udpPort = static_cast<qint16>(port);
    if (isConnectedToHost())
        requestRegisteredRawDataPacketsFromServer();
    report(spdlog::level::info, "NetworkConnection listening for RawDataPackets on port ", int(port));
    connect(udpSocket.get(), &QUdpSocket::readyRead, this, &NetworkConnection::onReadyReadUdp);
    return true;
}

quint32 NetworkConnection::localIPv4Address() const
{
    return isConnectedToHost() ? tcpSocket->localAddress().toIPv4Address() : 0;
}

void NetworkConnection::writeFrameToTcp(const RawDataPacket& packet)
{
    packet.serialisePacketAndWriteToDevice(*tcpSocket);
}

void NetworkConnection::requestRawDataPacketFromServer(PacketIdentifier id)
{
    if (udpPort < 0) {
        report(spdlog::level::err, "NetworkConnection requestRawDataPacketFromServer ERROR UDP port not open");
        return;
    }
    if (static_cast<int>(id) == datacoreIdentifier)
        return;
    const quint32 address = localIPv4Address();
    if (address == 0)
        return;
    writeFrameToTcp(RegisterRawDataPacket(id, address, static_cast<quint16>(udpPort)));
    tcpSocket->flush();
}

void NetworkConnection::cancelRawDataPacketFromServer(PacketIdentifier id)
{
    if (udpPort < 0 || static_cast<int>(id) == datacoreIdentifier)
        return;
    const quint32 address = localIPv4Address();
    if (address == 0)
        return;
    writeFrameToTcp(DeregisterRawDataPacket(id, address, static_cast<quint16>(udpPort)));
    tcpSocket->flush();
}

void NetworkConnection::requestRegisteredRawDataPacketsFromServer()
{
    if (!tcpSocket)
        return;
    const quint32 address = tcpSocket->localAddress().toIPv4Address();
    if (address == 0)
        return;
    for (const auto id : RawDataPacketRegistry::getInstance().getAllRegisteredPacketIdentifiers())
        if (static_cast<int>(id) != datacoreIdentifier)
            writeFrameToTcp(RegisterRawDataPacket(id, address, static_cast<quint16>(udpPort)));
    tcpSocket->flush();
}

bool NetworkConnection::canAcceptPacket(QString className)
{
    (void)className;
    return true;
}

void NetworkConnection::acceptPacket(const SerialisableDataPacket& packet)
{
    if (!tcpSocket || !tcpSocket->isWritable())
        return;
    writeFrameToTcp(packet);
    tcpSocket->flush();
}

void NetworkConnection::sendRawPacket(std::shared_ptr<const RawDataPacket> packet)
{
    if (!packet || !udpSocket || !udpSocket->isWritable()
        || requestedIdentifiers.count(static_cast<quint16>(packet->getPacketIdentifier())) == 0)
        return;
    // One datagram per frame where it fits what a receiver takes in one
    // receive, rather than one per header, payload and trailer.
    udpSendBuffer.clear();
    {
        QBuffer device(&udpSendBuffer);
        device.open(QIODevice::WriteOnly);
        packet->serialisePacketAndWriteToDevice(device);
    }
    for (int at = 0; at < udpSendBuffer.size(); at += int(udpBytesPerNotification))
        udpSocket->write(udpSendBuffer.constData() + at,
                         std::min<qint64>(udpBytesPerNotification, udpSendBuffer.size() - at));
    udpSocket->flush();
}

void NetworkConnection::onReadyReadTcp()
{
    if (!tcpSocket)
        return;
    if (tcpReceiveBuffer.isEmpty())
        tcpReceiveBuffer = tcpSocket->readAll();
    else
        tcpReceiveBuffer.append(tcpSocket->readAll());
    const unsigned generation = tcpBufferGeneration;
    int consumed = 0;
    {
        // A receiver may reconnect or disconnect us while we scan; this
        // reference keeps the scanned bytes alive whatever happens to ours.
        const QByteArray scanned = tcpReceiveBuffer;
        consumed = scanRawDataFrames(scanned.constData(), scanned.size(), [&](const ScannedFrame& frame) {
            handleTcpFrame(frameView(scanned.constData(), frame), frame.header);
        });
    }
    if (generation == tcpBufferGeneration)
        tcpReceiveBuffer.remove(0, consumed);
}

void NetworkConnection::handleTcpFrame(const QByteArray& frame, const RawDataPacket::Header& header)
{
    const int id = static_cast<int>(header.packetIdentifier);
    if (id == datacoreIdentifier) {
        const auto receivers = RawDataPacketRegistry::getInstance().getReceiversForPacketIdentifier(header.packetIdentifier);
        if (receivers.empty())
            return;
        std::shared_ptr<const RawDataPacket> packet = RawDataPacketFactory::createPacket(frame, header);
        if (!packet)
            return;
        for (auto* receiver : receivers)
            receiver->receiveRawDataPacket(packet);
    } else if (id == registerIdentifier) {
        const auto packet = RawDataPacketFactory::createPacket(frame, header);
        const auto* registration = dynamic_cast<const RegisterRawDataPacket*>(packet.get());
        if (!registration)
            return;
        if (requestedIdentifiers.empty()) {
            if (!udpSocket)
                udpSocket = std::make_unique<QUdpSocket>(this);
            if (udpSocket->state() == QAbstractSocket::UnconnectedState)
                udpSocket->connectToHost(QHostAddress(registration->getDstAddr()), registration->getDstPort(),
                                         QIODevice::ReadWrite);
        }
        requestedIdentifiers.insert(static_cast<quint16>(registration->getRawDataPacketID()));
    } else if (id == deregisterIdentifier) {
        const auto packet = RawDataPacketFactory::createPacket(frame, header);
        if (const auto* deregistration = dynamic_cast<const DeregisterRawDataPacket*>(packet.get()))
            requestedIdentifiers.erase(static_cast<quint16>(deregistration->getRawDataPacketID()));
    } else {
        report(spdlog::level::err,
               "Discarding unexpected raw data packet on datacore TCP connection! packetIdentifier: ", id);
    }
}

void NetworkConnection::onReadyReadUdp()
{
    if (!udpSocket)
        return;
    qint64 received = 0;
    while (udpSocket->hasPendingDatagrams()) {
        if (received > udpBytesPerNotification) {
            if (udpSocket->readDatagram(nullptr, 0) < 0) {
                report(spdlog::level::err, "Failed to discard unwanted UDP datagram");
                break;
            }
            continue;
        }
        // Straight into the buffer's tail: no datagram object, no extra copy.
        const int used = udpReceiveBuffer.size();
        udpReceiveBuffer.resize(used + int(udpBytesPerNotification));
        const qint64 size = udpSocket->readDatagram(udpReceiveBuffer.data() + used, udpBytesPerNotification);
        udpReceiveBuffer.resize(used + int(std::max<qint64>(size, 0)));
        if (size < 0)
            break;
        received += size;
    }
    int consumed = 0;
    {
        const QByteArray scanned = udpReceiveBuffer;
        consumed = scanRawDataFrames(scanned.constData(), scanned.size(), [&](const ScannedFrame& frame) {
            handleUdpFrame(frameView(scanned.constData(), frame), frame.header);
        });
    }
    udpReceiveBuffer.remove(0, consumed);
}

void NetworkConnection::handleUdpFrame(const QByteArray& frame, const RawDataPacket::Header& header)
{
    const int id = static_cast<int>(header.packetIdentifier);
    if (id == datacoreIdentifier) {
        report(spdlog::level::err,
               "Discarding unexpected datacore (PID_SERIALISABLE_DATA) data packet on UDP socket!");
        return;
    }
    const auto receivers = RawDataPacketRegistry::getInstance().getReceiversForPacketIdentifier(header.packetIdentifier);
    if (receivers.empty())
        return;
    std::shared_ptr<const RawDataPacket> packet = RawDataPacketFactory::createPacket(frame, header);
    if (!packet) {
        report(spdlog::level::err, "Failed to create RawDataPacket with packetId=", id, " for receiver");
        return;
    }
    for (auto* receiver : receivers)
        receiver->receiveRawDataPacket(packet);
}
