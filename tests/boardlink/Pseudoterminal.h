#pragma once

#include <pty.h>
#include <unistd.h>

#include <string>

// A real pseudo-terminal pair standing in for the board's device node: the
// link opens the follower side by its path, the test plays the board on the
// leader side.
class Pseudoterminal {
public:
    Pseudoterminal()
    {
        char name[256] = {};
        if (::openpty(&leader, &follower, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~Pseudoterminal()
    {
        if (leader != -1)
            ::close(leader);
        if (follower != -1)
            ::close(follower);
    }
    Pseudoterminal(const Pseudoterminal&) = delete;
    Pseudoterminal& operator=(const Pseudoterminal&) = delete;

    bool ok() const { return !path.empty(); }

    int leader = -1;
    int follower = -1;
    std::string path;
};
