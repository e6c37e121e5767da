// instrument-server: a stand-in for the instrument server on the datacore
// link, for developing and testing clients without an instrument. See --help.

#include "InstrumentServer.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void usage(std::FILE* stream)
{
    std::fprintf(stream,
                 "Usage: instrument-server [options]\n"
                 "\n"
                 "Accepts datacore clients on a TCP port, streams the packet types each one\n"
                 "registers for to the UDP port it names, and relays datacore packets between\n"
                 "clients. Each streamed payload starts with a 32-bit big-endian sequence number.\n"
                 "\n"
                 "Options:\n"
                 "  -p, --port PORT   TCP port to listen on (default 5100; 0 picks a free one)\n"
                 "  -r, --rate R      frames per second per registered type (default 100)\n"
                 "  -s, --size N      payload bytes per frame (default 1024)\n"
                 "  -q, --quiet       no event lines on standard error\n"
                 "  -h, --help        this text\n"
                 "\n"
                 "Prints \"listening on port PORT\" when ready. Commands on standard input, one per\n"
                 "line, each answered on standard output and ended by \"ok\" or \"error <reason>\":\n%s",
                 InstrumentServer::commandHelp());
}

bool number(const char* text, double low, double high, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

} // namespace

int main(int argc, char** argv)
{
    double port = 5100, rate = 100, size = 1024;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        double* target = option == "-p" || option == "--port"   ? &port
                         : option == "-r" || option == "--rate" ? &rate
                         : option == "-s" || option == "--size" ? &size
                                                                : nullptr;
        if (target) {
            const double low = target == &port ? 0 : target == &rate ? 0.001 : 4;
            const double high = target == &port ? 65535 : target == &rate ? 1e6 : 65000;
            if (i + 1 >= argc || !number(argv[i + 1], low, high, *target)) {
                std::fprintf(stderr, "instrument-server: %s needs a number from %g to %g\n", option.c_str(), low, high);
                return 2;
            }
            ++i;
        } else if (option == "-q" || option == "--quiet") {
            quiet = true;
        } else if (option == "-h" || option == "--help") {
            usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "instrument-server: unknown option %s\n", option.c_str());
            usage(stderr);
            return 2;
        }
    }

    QCoreApplication application(argc, argv);
    InstrumentServer server(rate, int(size), quiet ? nullptr : stderr);
    if (!server.listen(static_cast<quint16>(port))) {
        std::fprintf(stderr, "instrument-server: cannot listen on port %g: %s\n", port,
                     server.listenError().toLocal8Bit().constData());
        return 1;
    }
    std::printf("listening on port %u\n", unsigned(server.port()));
    std::fflush(stdout);

    server.answer = [](const QStringList& lines) {
        for (const QString& line : lines)
            std::printf("%s\n", line.toLocal8Bit().constData());
        std::fflush(stdout);
    };
    server.quit = [] { QCoreApplication::quit(); };
    // Control commands from standard input; end of input leaves the server running.
    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, size_t(count));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const QString line = QString::fromLocal8Bit(pending.data(), int(end));
            pending.erase(0, end + 1);
            server.submit(line);
        }
    });
    return application.exec();
}
