#pragma once

#include <cerrno>
#include <cstring>
#include <string>

namespace Tessaly {

// The failure of a system call that has just returned -1. errno is read here
// and nowhere else, straight after the call, before logging or allocation can
// overwrite it. Every message about a failed call ends the same way: the
// number in decimal, a colon and the system's text ("2: No such file or
// directory").
struct SystemError {
    int number = 0;

    static SystemError last() noexcept { return SystemError{errno}; }

    const char* text() const noexcept { return std::strerror(number); }
    // "<number>: <text>"
    std::string describe() const { return std::to_string(number) + ": " + text(); }
    // "<what>: error <number>: <text>", for messages whose wording is our own.
    std::string message(const std::string& what) const { return what + ": error " + describe(); }
};

} // namespace Tessaly
