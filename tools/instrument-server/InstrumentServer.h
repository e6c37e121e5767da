#pragma once

#include "framework/datacore/ConnectionListener.h"
#include "framework/rawdata/RawDataPacketReceiverInterfaceBase.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <map>
#include <utility>

// The instrument-server stand-in: accepts clients, streams the packet types
// each one registered for to the UDP destination it named, relays datacore
// packets between clients, and injects faults on request.
class InstrumentServer : public QObject, public RawDataPacketReceiverInterfaceBase {
    Q_OBJECT
public:
    InstrumentServer(double framesPerSecond, int payloadSize, std::FILE* events);
    ~InstrumentServer() override;

    bool listen(quint16 port);
    quint16 port() const { return listener.serverPort(); }
    QString listenError() const { return listener.errorString(); }

    // Runs one control command; the answer's last line is "ok" or
    // "error <reason>". Sets `quit` for the command that ends the program.
    QStringList execute(const QString& line, bool& quit);
    static const char* commandHelp();

    void receiveRawDataPacket(std::shared_ptr<const RawDataPacket> packet) override;

private:
    struct Stream {
        quint32 sequence = 0;
        qint64 startedNs = 0;
    };
    using StreamKey = std::pair<NetworkConnection*, quint16>;

    void tick();
    void event(const QString& text);
    void writeRaw(const QByteArray& bytes);
    QByteArray noticeFrame(const QString& text) const;
    QStringList status() const;

    ConnectionListener listener;
    QTimer ticker;
    QElapsedTimer clock;
    std::map<StreamKey, Stream> streams;
    double rate;
    int payloadSize;
    std::FILE* events;
};
