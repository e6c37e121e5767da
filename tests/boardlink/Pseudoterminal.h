#pragma once

#include <pty.h>
#include <unistd.h>

#include <string>

// A real pseudo-terminal standing in for the board's node: the link opens the
// follower by its path, the test plays the board on the leader.
struct Pseudoterminal {
    Pseudoterminal()
    {
        char name[256] = {};
        if (::openpty(&leader, &follower, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~Pseudoterminal()
    {
        ::close(leader);
        ::close(follower);
    }
    Pseudoterminal(const Pseudoterminal&) = delete;
    Pseudoterminal& operator=(const Pseudoterminal&) = delete;

    int leader = -1;
    int follower = -1;
    std::string path;
};
