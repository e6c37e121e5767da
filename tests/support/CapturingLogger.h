#pragma once

#include <memory>
#include <string>
#include <vector>

namespace spdlog {
class logger;
}

// Registers the diagnostic logger "KWLOG" at the production threshold (info)
// while alive, keeping each message as "<level>: <text>".
class CapturingLogger {
public:
    CapturingLogger();
    ~CapturingLogger();
    CapturingLogger(const CapturingLogger&) = delete;
    CapturingLogger& operator=(const CapturingLogger&) = delete;

    std::vector<std::string> lines() const;
    void clear();

private:
    class Sink;
    std::shared_ptr<Sink> sink;
    std::shared_ptr<spdlog::logger> logger;
};
