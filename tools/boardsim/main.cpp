// tr417_sim: a TR417 board behind a pseudo-terminal, for developing, training
// and testing without the hardware. See --help.

#include "CommandInterpreter.h"
#include "Simulator.h"
#include "logging/SystemError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

void usage(std::FILE* stream)
{
    std::fprintf(stream,
                 "Usage: tr417_sim [options]            run the simulated board\n"
                 "       tr417_sim --ctl [socket] command...   send one command to a running simulator\n"
                 "\n"
                 "Options:\n"
                 "  -l, --link PATH      where to link the board's device (default /dev/tr417_app)\n"
                 "  -c, --control PATH   control socket (default /tmp/tr417_sim.sock; \"\" for none)\n"
                 "  -e, --exec COMMAND   run a control command at start-up (repeatable), e.g. -e \"j1 14.0\"\n"
                 "  -r, --record FILE    append every request line received to FILE as it arrives\n"
                 "      --record-limit N keep the newest N request lines for \"record\" (default 200000)\n"
                 "      --no-stdin       take no commands from standard input\n"
                 "  -f, --force          replace whatever is at the link path, not only a stale link\n"
                 "  -v, --verbose        show requests and replies on standard error\n"
                 "  -h, --help           this text and the command list\n"
                 "\n"
                 "Commands (on standard input or the control socket, one per line; each is\n"
                 "answered by its output and a line \"ok\" or \"error <reason>\"):\n%s",
                 CommandInterpreter::helpText().c_str());
}

// Client side of the control socket: one command, its answer on standard
// output, exit status 0 for "ok".
int sendCommand(const std::string& socketPath, const std::string& command)
{
    struct sockaddr_un address {};
    if (socketPath.size() >= sizeof address.sun_path) {
        std::fprintf(stderr, "tr417_sim: socket path too long\n");
        return 2;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<struct sockaddr*>(&address), sizeof address) != 0) {
        std::fprintf(stderr, "%s\n",
                     Tessaly::SystemError::last().message("tr417_sim: cannot reach a simulator at " + socketPath).c_str());
        return 2;
    }
    const std::string line = command + "\n";
    if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) {
        std::fprintf(stderr, "%s\n", Tessaly::SystemError::last().message("tr417_sim: send failed").c_str());
        ::close(fd);
        return 2;
    }
    // Half-closing tells the simulator this was the only command; it closes
    // its end once the answer is out.
    ::shutdown(fd, SHUT_WR);
    std::string answer;
    char buffer[4096];
    for (ssize_t count; (count = ::read(fd, buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<size_t>(count));
    ::close(fd);
    std::fputs(answer.c_str(), stdout);
    return answer.size() >= 3 && answer.compare(answer.size() - 3, 3, "ok\n") == 0 ? 0 : 1;
}

bool takeValue(int argc, char** argv, int& i, std::string& value)
{
    if (i + 1 >= argc) {
        std::fprintf(stderr, "tr417_sim: %s needs a value\n", argv[i]);
        return false;
    }
    value = argv[++i];
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Simulator::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (arg == "--ctl") {
            std::string socketPath = options.controlPath;
            int first = i + 1;
            if (first < argc && std::strchr(argv[first], '/') != nullptr) {
                socketPath = argv[first];
                ++first;
            }
            std::string command;
            for (int j = first; j < argc; ++j)
                command += (command.empty() ? "" : " ") + std::string(argv[j]);
            return sendCommand(socketPath, command);
        }
        if (arg == "-h" || arg == "--help") {
            usage(stdout);
            return 0;
        }
        if (arg == "-l" || arg == "--link") {
            if (!takeValue(argc, argv, i, options.linkPath))
                return 2;
        } else if (arg == "-c" || arg == "--control") {
            if (!takeValue(argc, argv, i, options.controlPath))
                return 2;
        } else if (arg == "-e" || arg == "--exec") {
            if (!takeValue(argc, argv, i, value))
                return 2;
            options.startupCommands.push_back(value);
        } else if (arg == "-r" || arg == "--record") {
            if (!takeValue(argc, argv, i, options.recordPath))
                return 2;
        } else if (arg == "--record-limit") {
            if (!takeValue(argc, argv, i, value))
                return 2;
            char* end = nullptr;
            const unsigned long limit = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || value[0] == '-') {
                std::fprintf(stderr, "tr417_sim: --record-limit needs a count\n");
                return 2;
            }
            options.recordLimit = limit;
        } else if (arg == "--no-stdin") {
            options.readStandardInput = false;
        } else if (arg == "-f" || arg == "--force") {
            options.force = true;
        } else if (arg == "-v" || arg == "--verbose") {
            options.verbose = true;
        } else {
            std::fprintf(stderr, "tr417_sim: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
    }
    Simulator simulator;
    return simulator.run(options);
}
