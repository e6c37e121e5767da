#pragma once

#include "framework/datacore/ConnectionListener.h"
#include "framework/rawdata/RawDataPacketReceiverInterfaceBase.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <functional>
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

    // Control commands run in order; one that writes over time (split)
    // holds the later ones back until it is done, so that their bytes do not
    // land inside its frame. Each answer's last line is "ok" or
    // "error <reason>"; `quit` is called for the command that ends the program.
    void submit(const QString& line);
    std::function<void(const QStringList& answer)> answer;
    std::function<void()> quit;
    static const char* commandHelp();

    void receiveRawDataPacket(std::shared_ptr<const RawDataPacket> packet) override;

private:
    struct Stream {
        quint32 sequence = 0;
        qint64 startedNs = 0;
    };
    using StreamKey = std::pair<NetworkConnection*, quint16>;
    static QString stopped(quint16 id, const Stream& stream);

    QStringList execute(const QString& line);
    void runQueued();
    void followRegistrations();
    void tick();
    void event(const QString& text);
    void writeRaw(const QByteArray& bytes);
    QByteArray noticeFrame(const QString& text) const;
    QStringList status() const;

    ConnectionListener listener;
    QTimer ticker;
    QElapsedTimer clock;
    std::map<StreamKey, Stream> streams;
    QStringList queued;
    bool holding = false;
    double rate;
    int payloadSize;
    std::FILE* events;
};
