#include "Simulator.h"

#include "CommandInterpreter.h"
#include "Escape.h"
#include "logging/SystemError.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
// A request line longer than this is no request of the protocol; it is
// recorded cut short instead of growing the buffer without end.
constexpr size_t maximumRequestLength = 4096;
} // namespace

void Simulator::transmit(const std::string& bytes)
{
    if (vanished || bytes.empty())
        return;
    if (verbose)
        std::fprintf(stderr, "-> %s\n", escapeBytes(bytes).c_str());
    pendingOutput += bytes;
    writePending();
}

void Simulator::vanish()
{
    terminal.vanish();
    vanished = true;
    pendingOutput.clear();
    shaper.dropHeld();
}

bool Simulator::setLocked(bool locked, std::string& error)
{
    return terminal.setLocked(locked, error);
}

std::vector<std::string> Simulator::lineStatus() const
{
    if (vanished)
        return {"line: vanished"};
    return {"link " + terminal.linkPath() + " -> " + terminal.slavePath(),
            std::string("lock ") + (terminal.locked() ? "held" : "free"),
            "bytes waiting for the host: " + std::to_string(pendingOutput.size())};
}

void Simulator::writePending()
{
    while (!pendingOutput.empty() && terminal.present()) {
        const ssize_t written = ::write(terminal.master(), pendingOutput.data(), pendingOutput.size());
        if (written > 0) {
            pendingOutput.erase(0, static_cast<size_t>(written));
            continue;
        }
        if (written < 0 && Tessaly::SystemError::last().number == EINTR)
            continue;
        // EAGAIN: the line is full until the host reads; poll() tells when.
        // Anything else: keep the bytes, the line may recover.
        break;
    }
}

void Simulator::readRequests()
{
    char buffer[4096];
    const ssize_t count = ::read(terminal.master(), buffer, sizeof buffer);
    const auto error = Tessaly::SystemError::last();
    if (count < 0 && error.number != EAGAIN && error.number != EINTR) {
        // Only a broken line fails here (this side keeps a slave open), and
        // polling a broken line again would spin.
        std::fprintf(stderr, "%s; the device is gone\n", error.message("tr417_sim: line read failed").c_str());
        vanish();
        return;
    }
    if (count <= 0)
        return;
    const int64_t now = monotonicMilliseconds();
    requestBuffer.append(buffer, static_cast<size_t>(count));
    std::vector<std::string> replies;
    for (size_t end; (end = requestBuffer.find('\n')) != std::string::npos;) {
        const std::string request = requestBuffer.substr(0, end);
        requestBuffer.erase(0, end + 1);
        recorder.add(now, request);
        if (verbose)
            std::fprintf(stderr, "<- %s\n", escapeBytes(request).c_str());
        for (auto& reply : model.answer(request))
            replies.push_back(std::move(reply));
    }
    if (requestBuffer.size() > maximumRequestLength) {
        recorder.add(now, requestBuffer.substr(0, maximumRequestLength));
        requestBuffer.clear();
    }
    const std::string bytes = shaper.shape(replies);
    if (shaper.hasHeld())
        heldDeadline = now + heldTailTimeoutMs;
    transmit(bytes);
}

int Simulator::run(const Options& options)
{
    verbose = options.verbose;
    std::string error;

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0) {
        // Without it Ctrl-C could not end the simulator and clean up.
        std::fprintf(stderr, "%s\n", Tessaly::SystemError::last().message("tr417_sim: signalfd").c_str());
        return 1;
    }

    recorder.setLimit(options.recordLimit);
    if (!options.recordPath.empty() && !recorder.streamTo(options.recordPath, error)) {
        std::fprintf(stderr, "tr417_sim: %s\n", error.c_str());
        return 1;
    }
    if (!terminal.create(error) || !terminal.linkAt(options.linkPath, options.force, error)) {
        std::fprintf(stderr, "tr417_sim: %s\n", error.c_str());
        return 1;
    }
    if (!options.controlPath.empty() && !control.listenAt(options.controlPath, error)) {
        std::fprintf(stderr, "tr417_sim: %s\n", error.c_str());
        return 1;
    }

    CommandInterpreter interpreter(model, shaper, recorder, *this);
    for (const auto& command : options.startupCommands) {
        const auto result = interpreter.execute(command);
        if (!result.error.empty()) {
            std::fprintf(stderr, "tr417_sim: -e \"%s\": %s\n", command.c_str(), result.error.c_str());
            return 1;
        }
    }
    if (options.readStandardInput)
        control.watchStandardInput();

    std::printf("tr417_sim ready: %s -> %s, control %s\n", terminal.linkPath().c_str(),
                terminal.slavePath().c_str(), options.controlPath.empty() ? "stdin" : options.controlPath.c_str());
    std::fflush(stdout);

    const auto handler = [&interpreter](const std::string& command) {
        return interpreter.execute(command).text();
    };
    std::vector<struct pollfd> fds;
    while (!quitRequested) {
        fds.clear();
        fds.push_back({signalFd, POLLIN, 0});
        short lineEvents = 0;
        if (terminal.present())
            lineEvents = static_cast<short>(POLLIN | (pendingOutput.empty() ? 0 : POLLOUT));
        fds.push_back({terminal.present() ? terminal.master() : -1, lineEvents, 0});
        control.appendPollFds(fds);

        int timeout = -1;
        if (shaper.hasHeld()) {
            const int64_t left = heldDeadline - monotonicMilliseconds();
            timeout = left > 0 ? static_cast<int>(left) : 0;
        }
        if (::poll(fds.data(), fds.size(), timeout) < 0) {
            const auto error = Tessaly::SystemError::last();
            if (error.number != EINTR) {
                std::fprintf(stderr, "%s\n", error.message("tr417_sim: poll").c_str());
                break;
            }
        }
        if (fds[0].revents & POLLIN)
            break;
        if (fds[1].revents & (POLLIN | POLLERR | POLLHUP))
            readRequests();
        if (shaper.hasHeld() && monotonicMilliseconds() >= heldDeadline)
            transmit(shaper.flushHeld());
        if (fds[1].revents & POLLOUT)
            writePending();
        control.service(fds, 2, handler);
    }
    ::close(signalFd);
    return 0;
}
