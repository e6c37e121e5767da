// datacore-probe: connects to an instrument server, asks it to stream the
// packet types given on the command line and prints what arrives. See --help.

#include "DatacoreProbe.h"

#include "framework/datacore/NetworkConnection.h"
#include "framework/datacore/RawDataPacketFactory.h"
#include "framework/datacore/RawDataPacketRegistry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <QUdpSocket>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void usage(std::FILE* stream)
{
    std::fprintf(stream,
                 "Usage: datacore-probe [options] TYPE...\n"
                 "\n"
                 "Connects to an instrument server, registers for each TYPE (a packet identifier\n"
                 "such as 0x1011, or a class name such as EyeVerticalHistogramData) and prints\n"
                 "each frame received: identifier and class name, payload length, rate per\n"
                 "second; datacore packets follow as indented JSON. Ends with a total per type.\n"
                 "\n"
                 "Options:\n"
                 "  -H, --host ADDRESS   server address (default 127.0.0.1)\n"
                 "  -p, --port PORT      server TCP port (default 5100)\n"
                 "  -u, --udp-port PORT  local UDP port for the streams, 1..32767 (default: a free\n"
                 "                       one from 20000 up)\n"
                 "  -n, --count N        stop after N frames\n"
                 "  -t, --seconds S      stop after S seconds\n"
                 "  -q, --quiet          totals only\n"
                 "  -S, --sequence       payloads start with a sequence number: count frames lost\n"
                 "  -h, --help           this text\n"
                 "\n"
                 "Exit status: 0 when stopped by --count, --seconds or a signal; 1 when the\n"
                 "server cannot be reached; 2 for a usage error; 3 when the server closes the\n"
                 "connection first.\n");
}

bool parseNumber(const char* text, double low, double high, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

bool parseType(const std::string& text, PacketIdentifier& id)
{
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 0);
    if (end != text.c_str() && *end == '\0') {
        id = static_cast<PacketIdentifier>(number);
        return number >= firstRawDataPacketIdentifier && number <= lastRawDataPacketIdentifier;
    }
    for (int candidate = firstRawDataPacketIdentifier; candidate <= lastRawDataPacketIdentifier; ++candidate)
        if (text == RawDataPacketFactory::getClassName(static_cast<PacketIdentifier>(candidate))) {
            id = static_cast<PacketIdentifier>(candidate);
            return true;
        }
    return false;
}

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 0;
    const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    (void)ignored;
}

// A UDP port in 20000..32767 that nothing holds right now.
unsigned short freeUdpPort()
{
    const unsigned start = 20000 + unsigned(::getpid()) % 10000;
    for (unsigned i = 0; i < 12768; ++i) {
        const auto port = static_cast<unsigned short>(20000 + (start - 20000 + i) % 12768);
        QUdpSocket trial;
        if (trial.bind(QHostAddress::AnyIPv4, port))
            return port;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string host = "127.0.0.1";
    double port = 5100, udpPort = 0, count = 0, seconds = 0;
    DatacoreProbe::Options options;
    std::vector<PacketIdentifier> types;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        struct Numeric {
            const char* shortName;
            const char* longName;
            double* value;
            double low, high;
        };
        const Numeric numerics[] = {{"-p", "--port", &port, 1, 65535},
                                    {"-u", "--udp-port", &udpPort, 1, 32767},
                                    {"-n", "--count", &count, 1, 1e15},
                                    {"-t", "--seconds", &seconds, 0.001, 1e9}};
        const Numeric* numeric = nullptr;
        for (const auto& n : numerics)
            if (option == n.shortName || option == n.longName)
                numeric = &n;
        if (numeric) {
            if (i + 1 >= argc || !parseNumber(argv[i + 1], numeric->low, numeric->high, *numeric->value)) {
                std::fprintf(stderr, "datacore-probe: %s needs a number from %g to %g\n", option.c_str(),
                             numeric->low, numeric->high);
                return 2;
            }
            ++i;
        } else if ((option == "-H" || option == "--host") && i + 1 < argc) {
            host = argv[++i];
        } else if (option == "-q" || option == "--quiet") {
            options.quiet = true;
        } else if (option == "-S" || option == "--sequence") {
            options.sequenced = true;
        } else if (option == "-h" || option == "--help") {
            usage(stdout);
            return 0;
        } else if (!option.empty() && option[0] != '-') {
            PacketIdentifier id = 0;
            if (!parseType(option, id)) {
                std::fprintf(stderr, "datacore-probe: %s is no packet type (0x1010..0x102b or a class name)\n",
                             option.c_str());
                return 2;
            }
            types.push_back(id);
        } else {
            std::fprintf(stderr, "datacore-probe: unknown option %s\n", option.c_str());
            usage(stderr);
            return 2;
        }
    }

    QCoreApplication application(argc, argv);
    int status = 0;
    QElapsedTimer running;
    DatacoreProbe probe(stdout, options, [&] {
        if (count > 0 && double(probe.framesReceived()) >= count)
            QCoreApplication::exit(0);
    });
    // Datacore packets always come over the connection itself; ask for the rest.
    auto& registry = RawDataPacketRegistry::getInstance();
    registry.registerRawDataPacketReceiver(PID_SERIALISABLE_DATA, &probe);
    for (const auto id : types)
        if (id != PID_SERIALISABLE_DATA)
            registry.registerRawDataPacketReceiver(id, &probe);

    NetworkConnection connection(nullptr, false);
    if (udpPort == 0)
        udpPort = freeUdpPort();
    if (udpPort == 0 || !connection.listenForRawDataPackets(QHostAddress::AnyIPv4, static_cast<unsigned short>(udpPort))) {
        std::fprintf(stderr, "datacore-probe: no UDP port to listen on\n");
        return 1;
    }
    if (!connection.connectToHost(QString::fromStdString(host), static_cast<unsigned short>(port))) {
        std::fprintf(stderr, "datacore-probe: cannot connect to %s port %g\n", host.c_str(), port);
        return 1;
    }
    registry.setNetworkConnection(&connection);
    std::fprintf(stderr, "datacore-probe: connected to %s port %g, streams to UDP port %g\n", host.c_str(), port,
                 udpPort);
    QObject::connect(&connection, &NetworkConnection::disconnectedFromHost, [&] {
        std::fprintf(stderr, "datacore-probe: the server closed the connection\n");
        status = 3;
        QCoreApplication::exit(3);
    });
    if (seconds > 0)
        QTimer::singleShot(int(seconds * 1000), [] { QCoreApplication::exit(0); });
    // Ctrl-C and kill end the run like --seconds, with the totals printed.
    if (::pipe(signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    QSocketNotifier signalled(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalled, &QSocketNotifier::activated, [] { QCoreApplication::exit(0); });
    running.start();
    application.exec();

    // Stop the streams before leaving, so the server does not send into the void.
    for (const auto id : types)
        registry.deregisterRawDataPacketReceiver(id, &probe);
    registry.deregisterRawDataPacketReceiver(PID_SERIALISABLE_DATA, &probe);
    probe.printSummary(double(running.nsecsElapsed()) / 1e9);
    connection.disconnectFromHost();
    return status;
}
