#pragma once

#include "framework/datacore/NetworkConnection.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <memory>
#include <vector>

// The server's side of the datacore link: accepts TCP connections and gives
// each accepted socket its own NetworkConnection, which then records what
// that peer registered for and streams it. A connection whose peer goes away
// is removed on the next turn of the event loop (never inside the socket's
// own signal).
class ConnectionListener : public QObject {
    Q_OBJECT
public:
    explicit ConnectionListener(QObject* parent = nullptr);
    ~ConnectionListener() override;

    bool listen(const QHostAddress& address, quint16 port);
    quint16 serverPort() const;
    QString errorString() const;

    std::vector<NetworkConnection*> connections() const;
    // The connection whose TCP bytes are being handled at this moment (its
    // frames are being delivered to receivers), else null: lets a receiver
    // of datacore packets tell which peer a packet came from.
    NetworkConnection* readingConnection() const { return reading; }
    // The accepted socket behind a connection, for writing bytes that are no
    // packet at all (fault injection in the stand-in); null when unknown.
    // Valid until the connection is closed and connectionClosed has returned.
    QTcpSocket* socketOf(const NetworkConnection* connection) const;
    // Closes every connection now.
    void closeAll();

signals:
    void connectionAdded(NetworkConnection* connection);
    // The peer has gone; the connection is deleted after this returns.
    void connectionClosed(NetworkConnection* connection);
    // The connection has handled everything of one read from its peer (its
    // registrations among it).
    void readHandled(NetworkConnection* connection);

private:
    struct Entry {
        std::unique_ptr<NetworkConnection> connection;
        QTcpSocket* socket;
        bool closed = false;
    };
    void accept();
    void reapClosed();

    QTcpServer server;
    std::vector<Entry> entries;
    NetworkConnection* reading = nullptr;
    bool reapPending = false;
};
