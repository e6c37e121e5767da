#include "InstrumentServer.h"

#include "StreamPacket.h"
#include "framework/datacore/SerialisableDataPacket.h"
#include "framework/datacore/RawDataPacketRegistry.h"
#include "framework/datacore/RawDataPacketFactory.h"

#include <QBuffer>
#include <QJsonValue>
#include <QPointer>
#include <QTcpSocket>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 nsPerSecond = 1000000000;
// At most this much time's worth of frames goes out in one tick: a stand-in
// held up by a busy machine falls behind its rate rather than answering
// with a burst that no receiver takes in one go.
constexpr double catchUpSeconds = 0.002;
constexpr int splitDelayMs = 50;

QString hex(quint16 id) { return QString("0x%1").arg(id, 4, 16, QChar('0')); }

QString peerName(const QTcpSocket* socket)
{
    if (!socket)
        return "?";
    // Clients on IPv4 reach the dual-stack listener as mapped addresses.
    bool v4 = false;
    const quint32 address = socket->peerAddress().toIPv4Address(&v4);
    return QString("%1:%2").arg(v4 ? QHostAddress(address).toString() : socket->peerAddress().toString()).arg(socket->peerPort());
}

bool isMeasurementIdentifier(quint16 id)
{
    return id != PID_SERIALISABLE_DATA && id != PID_REGISTER_RAW_DATA && id != PID_DEREGISTER_RAW_DATA;
}

struct Command {
    const char* name;
    const char* arguments;
    const char* help;
};

// The control commands as the operator sees them; execute() dispatches on the name.
constexpr Command commands[] = {
    {"notice", "TEXT", "send a datacore packet of class StandinNotice carrying TEXT to every client"},
    {"garbage", "N", "write N bytes that start no frame to every client"},
    {"notrailer", "", "write a notice frame whose trailer is wrong"},
    {"hugelength", "", "write a header announcing 0x7FFFFFF0 payload bytes, and nothing after it"},
    {"split", "", "write a notice frame in two parts, 50 ms apart"},
    {"close", "", "close every client connection"},
    {"rate", "R", "stream R frames per second per registered type"},
    {"size", "N", "stream payloads of N bytes (at least 4: the sequence number)"},
    {"status", "", "list clients, their streams and frames sent"},
    {"help", "", "this list"},
    {"quit", "", "end the stand-in"},
};

} // namespace

InstrumentServer::InstrumentServer(double framesPerSecond, int payloadSize, std::FILE* events)
    : rate(framesPerSecond), payloadSize(payloadSize), events(events)
{
    clock.start();
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    connect(&ticker, &QTimer::timeout, this, &InstrumentServer::tick);
    connect(&listener, &ConnectionListener::connectionAdded, this, [this](NetworkConnection* c) {
        event("client " + peerName(listener.socketOf(c)) + " connected");
        ticker.start();
    });
    connect(&listener, &ConnectionListener::connectionClosed, this, [this](NetworkConnection* c) {
        event("client " + peerName(listener.socketOf(c)) + " closed");
        for (auto it = streams.begin(); it != streams.end();)
            if (it->first.first == c) {
                event(stopped(it->first.second, it->second));
                it = streams.erase(it);
            } else {
                ++it;
            }
    });
    // Streams follow registrations as soon as a read has been handled.
    connect(&listener, &ConnectionListener::readHandled, this, [this] { followRegistrations(); });
    RawDataPacketRegistry::getInstance().registerRawDataPacketReceiver(PID_SERIALISABLE_DATA, this);
}

InstrumentServer::~InstrumentServer()
{
    RawDataPacketRegistry::getInstance().deregisterRawDataPacketReceiver(PID_SERIALISABLE_DATA, this);
}

bool InstrumentServer::listen(quint16 port) { return listener.listen(QHostAddress::Any, port); }

const char* InstrumentServer::commandHelp()
{
    static const std::string text = [] {
        std::string all;
        for (const auto& c : commands) {
            std::string head = std::string("  ") + c.name + (*c.arguments ? std::string(" ") + c.arguments : "");
            head.resize(std::max<size_t>(head.size() + 1, 18), ' ');
            all += head + c.help + "\n";
        }
        return all;
    }();
    return text.c_str();
}

void InstrumentServer::event(const QString& text)
{
    if (!events)
        return;
    std::fprintf(events, "%s\n", text.toLocal8Bit().constData());
    std::fflush(events);
}

QString InstrumentServer::stopped(quint16 id, const Stream& stream)
{
    return "stream " + hex(id) + " stopped after " + QString::number(stream.sequence) + " frames";
}

void InstrumentServer::followRegistrations()
{
    const auto open = listener.connections();
    const qint64 now = clock.nsecsElapsed();
    // A stream per (client, requested type).
    for (auto it = streams.begin(); it != streams.end();) {
        const bool wanted = std::find(open.begin(), open.end(), it->first.first) != open.end()
                            && it->first.first->getRequestedPacketIdentifiers().count(it->first.second) > 0;
        if (wanted) {
            ++it;
            continue;
        }
        event(stopped(it->first.second, it->second));
        it = streams.erase(it);
    }
    for (auto* connection : open)
        for (const quint16 id : connection->getRequestedPacketIdentifiers())
            if (isMeasurementIdentifier(id) && streams.emplace(StreamKey{connection, id}, Stream{0, now}).second)
                event("stream " + hex(id) + " started for " + peerName(listener.socketOf(connection)));
}

void InstrumentServer::tick()
{
    if (listener.connections().empty()) {
        ticker.stop();
        return;
    }
    followRegistrations();
    const qint64 now = clock.nsecsElapsed();
    const auto cap = static_cast<quint32>(std::max(1.0, rate * catchUpSeconds));
    for (auto& [key, stream] : streams) {
        const auto due = static_cast<quint32>(std::floor(double(now - stream.startedNs) * rate / nsPerSecond)) + 1;
        if (due <= stream.sequence)
            continue;
        if (due - stream.sequence > cap)
            stream.startedNs += qint64(double(due - stream.sequence - cap) * nsPerSecond / rate);
        const quint32 last = stream.sequence + std::min(due - stream.sequence, cap);
        for (; stream.sequence < last; ++stream.sequence)
            key.first->sendRawPacket(std::make_shared<StreamPacket>(key.second, stream.sequence, payloadSize));
    }
}

void InstrumentServer::receiveRawDataPacket(std::shared_ptr<const RawDataPacket> packet)
{
    const auto* datacore = dynamic_cast<const SerialisableDataPacket*>(packet.get());
    if (!datacore)
        return;
    NetworkConnection* source = listener.readingConnection();
    int relayed = 0;
    for (auto* connection : listener.connections())
        if (connection != source) {
            connection->acceptPacket(*datacore);
            ++relayed;
        }
    event("relayed " + datacore->getPacketClassName() + " from " + peerName(listener.socketOf(source)) + " to "
          + QString::number(relayed) + " clients");
}

QByteArray InstrumentServer::noticeFrame(const QString& text) const
{
    SerialisableDataPacket notice(QString("StandinNotice"));
    notice.jsonObject.insert("Text", text);
    QByteArray frame;
    QBuffer device(&frame);
    device.open(QIODevice::WriteOnly);
    notice.serialisePacketAndWriteToDevice(device);
    return frame;
}

void InstrumentServer::writeRaw(const QByteArray& bytes)
{
    for (auto* connection : listener.connections())
        if (QTcpSocket* socket = listener.socketOf(connection)) {
            socket->write(bytes);
            socket->flush();
        }
}

QStringList InstrumentServer::status() const
{
    QStringList lines;
    lines << QString("rate %1 size %2 clients %3").arg(rate).arg(payloadSize).arg(listener.connections().size());
    for (auto* connection : listener.connections()) {
        QStringList types;
        for (const auto& [key, stream] : streams)
            if (key.first == connection)
                types << QString("%1=%2").arg(hex(key.second)).arg(stream.sequence);
        lines << "client " + peerName(listener.socketOf(connection)) + " streams " + (types.isEmpty() ? "-" : types.join(' '));
    }
    return lines;
}

void InstrumentServer::submit(const QString& line)
{
    queued << line;
    runQueued();
}

void InstrumentServer::runQueued()
{
    while (!holding && !queued.isEmpty()) {
        const QStringList lines = execute(queued.takeFirst());
        if (answer)
            answer(lines);
    }
}

QStringList InstrumentServer::execute(const QString& line)
{
    const QStringList words = line.simplified().split(' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {"ok"};
    const QString name = words.first();
    const QString rest = line.simplified().mid(name.size() + 1);
    bool number = false;
    const double value = words.size() > 1 ? words[1].toDouble(&number) : 0;
    if (name == "notice") {
        writeRaw(noticeFrame(rest));
    } else if (name == "garbage") {
        if (!number || value < 1 || value > 1e7)
            return {"error garbage needs a count of bytes from 1 to 10000000"};
        // 0x55 never begins the magic, so none of these starts a frame.
        writeRaw(QByteArray(int(value), char(0x55)));
    } else if (name == "notrailer") {
        QByteArray frame = noticeFrame("frame without trailer");
        frame.replace(frame.size() - RawDataPacket::trailerSize, RawDataPacket::trailerSize,
                      QByteArray(RawDataPacket::trailerSize, '\0'));
        writeRaw(frame);
    } else if (name == "hugelength") {
        writeRaw(QByteArray::fromHex("CAFEBA6E1F00D32110100000" "7FFFFFF0"));
    } else if (name == "split") {
        const QByteArray frame = noticeFrame("split frame");
        const int half = frame.size() / 2;
        std::vector<QPointer<QTcpSocket>> sockets;
        for (auto* connection : listener.connections())
            sockets.emplace_back(listener.socketOf(connection));
        writeRaw(frame.left(half));
        holding = true;
        QTimer::singleShot(splitDelayMs, this, [this, sockets, rest = frame.mid(half)] {
            for (const auto& socket : sockets)
                if (socket) {
                    socket->write(rest);
                    socket->flush();
                }
            holding = false;
            runQueued();
        });
    } else if (name == "close") {
        listener.closeAll();
    } else if (name == "rate") {
        if (!number || value <= 0 || value > 1e6)
            return {"error rate needs frames per second above 0 and at most 1000000"};
        // Keep each stream's sequence running at the new pace from now on.
        const qint64 now = clock.nsecsElapsed();
        for (auto& entry : streams)
            entry.second.startedNs = now - qint64(double(entry.second.sequence) * nsPerSecond / value);
        rate = value;
    } else if (name == "size") {
        if (!number || value < 4 || value > 65000)
            return {"error size needs a payload size from 4 to 65000 bytes"};
        payloadSize = int(value);
    } else if (name == "status") {
        return status() << "ok";
    } else if (name == "help") {
        return QString(commandHelp()).split('\n', Qt::SkipEmptyParts) << "ok";
    } else if (name == "quit") {
        if (quit)
            quit();
    } else {
        return {"error unknown command " + name + " (try help)"};
    }
    return {"ok"};
}
