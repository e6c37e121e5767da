#include "framework/datacore/ConnectionListener.h"

#include <QTimer>

#include <algorithm>

ConnectionListener::ConnectionListener(QObject* parent) : QObject(parent)
{
    connect(&server, &QTcpServer::newConnection, this, &ConnectionListener::accept);
}

ConnectionListener::~ConnectionListener()
{
    // Connections go first: their sockets are children of the server until
    // they are adopted, and the server must outlive them.
    entries.clear();
}

bool ConnectionListener::listen(const QHostAddress& address, quint16 port) { return server.listen(address, port); }

quint16 ConnectionListener::serverPort() const { return server.serverPort(); }

QString ConnectionListener::errorString() const { return server.errorString(); }

std::vector<NetworkConnection*> ConnectionListener::connections() const
{
    std::vector<NetworkConnection*> open;
    for (const auto& entry : entries)
        if (!entry.closed)
            open.push_back(entry.connection.get());
    return open;
}

QTcpSocket* ConnectionListener::socketOf(const NetworkConnection* connection) const
{
    for (const auto& entry : entries)
        if (entry.connection.get() == connection)
            return entry.socket;
    return nullptr;
}

void ConnectionListener::accept()
{
    while (server.hasPendingConnections()) {
        std::unique_ptr<QTcpSocket> socket(server.nextPendingConnection());
        QTcpSocket* raw = socket.get();
        auto connection = std::make_unique<NetworkConnection>(nullptr, true);
        NetworkConnection* added = connection.get();
        // Connected before the connection wires its own reader, so this runs
        // first for every read; the one after it runs once the reader is done.
        connect(raw, &QTcpSocket::readyRead, this, [this, added] { reading = added; });
        if (!added->connectToHost(std::move(socket)))
            continue;
        connect(raw, &QTcpSocket::readyRead, this, [this, added] {
            reading = nullptr;
            emit readHandled(added);
        });
        connect(added, &NetworkConnection::disconnectedFromHost, this, [this, added] {
            for (auto& entry : entries)
                if (entry.connection.get() == added && !entry.closed) {
                    entry.closed = true;
                    emit connectionClosed(added);
                }
            if (!reapPending) {
                reapPending = true;
                QTimer::singleShot(0, this, &ConnectionListener::reapClosed);
            }
        });
        entries.push_back(Entry{std::move(connection), raw});
        emit connectionAdded(added);
        // The peer may have sent its registrations with the connection.
        if (raw->bytesAvailable() > 0) {
            reading = added;
            added->onReadyReadTcp();
            reading = nullptr;
            emit readHandled(added);
        }
    }
}

void ConnectionListener::reapClosed()
{
    reapPending = false;
    entries.erase(std::remove_if(entries.begin(), entries.end(), [](const Entry& e) { return e.closed; }),
                  entries.end());
}

void ConnectionListener::closeAll()
{
    for (auto& entry : entries)
        if (!entry.closed) {
            entry.closed = true;
            emit connectionClosed(entry.connection.get());
            entry.connection->disconnectFromHost();
        }
    reapClosed();
}
