#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct pollfd;

// The simulator's control channel: commands, one per line, from clients of a
// Unix stream socket and from standard input; each command's answer goes
// back to where it came from. Nothing here ever blocks the simulator: output
// to a slow client is queued until its socket takes it.
class ControlServer {
public:
    using Handler = std::function<std::string(const std::string& command)>;

    ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;
    ~ControlServer();

    // Replaces a socket file left by an earlier run; removed again on exit.
    bool listenAt(const std::string& path, std::string& error);
    // Takes commands from standard input too, answering on standard output.
    void watchStandardInput();

    void appendPollFds(std::vector<struct pollfd>& fds) const;
    // Handles the events of the descriptors appended from `first` on.
    void service(const std::vector<struct pollfd>& fds, size_t first, const Handler& handler);

    const std::string& socketPath() const { return path; }

private:
    struct Client;
    void accept();

    int listenFd = -1;
    std::string path;
    unsigned long socketInode = 0;
    std::vector<std::unique_ptr<Client>> clients;
};
