#include "ControlServer.h"

#include "logging/SystemError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr size_t maximumCommandLength = 65536;

// A non-blocking call that found nothing to do, or a signal cut it short.
bool retryable(const Tessaly::SystemError& error)
{
    return error.number == EAGAIN || error.number == EINTR;
}
} // namespace

struct ControlServer::Client {
    int in = -1;
    int out = -1;
    bool socket = true;
    bool inputClosed = false;
    std::string input;
    std::string output;

    ~Client()
    {
        if (socket && in >= 0)
            ::close(in);
    }
    bool finished() const { return inputClosed && (output.empty() || out < 0); }
};

ControlServer::ControlServer() = default;

ControlServer::~ControlServer()
{
    clients.clear();
    if (listenFd >= 0)
        ::close(listenFd);
    struct stat current {};
    // Only our own socket file goes: a later simulator may have taken the path.
    if (!path.empty() && ::stat(path.c_str(), &current) == 0 && current.st_ino == socketInode)
        ::unlink(path.c_str());
}

bool ControlServer::listenAt(const std::string& socketFile, std::string& error)
{
    struct sockaddr_un address {};
    if (socketFile.size() >= sizeof address.sun_path) {
        error = "control socket path too long: " + socketFile;
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketFile.c_str(), socketFile.size() + 1);
    listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd < 0) {
        error = Tessaly::SystemError::last().message("socket");
        return false;
    }
    struct stat existing {};
    if (::lstat(socketFile.c_str(), &existing) == 0 && S_ISSOCK(existing.st_mode))
        ::unlink(socketFile.c_str());
    if (::bind(listenFd, reinterpret_cast<struct sockaddr*>(&address), sizeof address) != 0
        || ::listen(listenFd, 8) != 0) {
        error = Tessaly::SystemError::last().message("control socket " + socketFile);
        return false;
    }
    struct stat created {};
    ::stat(socketFile.c_str(), &created);
    socketInode = created.st_ino;
    path = socketFile;
    return true;
}

void ControlServer::watchStandardInput()
{
    auto client = std::make_unique<Client>();
    client->in = STDIN_FILENO;
    client->out = STDOUT_FILENO;
    client->socket = false;
    clients.push_back(std::move(client));
}

void ControlServer::appendPollFds(std::vector<struct pollfd>& fds) const
{
    fds.push_back({listenFd, static_cast<short>(listenFd >= 0 ? POLLIN : 0), 0});
    for (const auto& client : clients) {
        short events = client->inputClosed ? 0 : POLLIN;
        // Standard output is written at once (it is a terminal or a pipe the
        // starter reads), so only sockets wait for room.
        if (client->socket && !client->output.empty())
            events |= POLLOUT;
        fds.push_back({client->in, events, 0});
    }
}

void ControlServer::accept()
{
    const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    auto client = std::make_unique<Client>();
    client->in = fd;
    client->out = fd;
    clients.push_back(std::move(client));
}

void ControlServer::service(const std::vector<struct pollfd>& fds, size_t first, const Handler& handler)
{
    if (fds.at(first).revents & POLLIN)
        accept();
    size_t polled = fds.size() - first - 1;
    for (size_t i = 0; i < polled && i < clients.size(); ++i) {
        Client& client = *clients[i];
        const short revents = fds.at(first + 1 + i).revents;
        if (revents & (POLLIN | POLLHUP | POLLERR)) {
            char buffer[4096];
            const ssize_t count = ::read(client.in, buffer, sizeof buffer);
            if (count > 0)
                client.input.append(buffer, static_cast<size_t>(count));
            else if (count == 0 || !retryable(Tessaly::SystemError::last()))
                client.inputClosed = true;
            for (size_t end; (end = client.input.find('\n')) != std::string::npos;) {
                std::string command = client.input.substr(0, end);
                client.input.erase(0, end + 1);
                if (!command.empty() && command.back() == '\r')
                    command.pop_back();
                client.output += handler(command);
            }
            if (client.input.size() > maximumCommandLength) {
                client.input.clear();
                client.output += "error command too long\n";
            }
        }
        if (!client.output.empty()) {
            const ssize_t written = client.socket
                ? ::send(client.out, client.output.data(), client.output.size(), MSG_NOSIGNAL)
                : ::write(client.out, client.output.data(), client.output.size());
            if (written > 0)
                client.output.erase(0, static_cast<size_t>(written));
            else if (written < 0 && !retryable(Tessaly::SystemError::last())) {
                client.output.clear();
                client.inputClosed = true;
            }
        }
    }
    // Clients appended by accept() above were not polled yet and stay.
    for (size_t i = 0; i < clients.size() && i < polled;) {
        if (clients[i]->finished()) {
            clients.erase(clients.begin() + static_cast<long>(i));
            --polled;
        } else {
            ++i;
        }
    }
}
