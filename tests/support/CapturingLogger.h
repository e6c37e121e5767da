#pragma once

#include <spdlog/logger.h>
#include <spdlog/sinks/ringbuffer_sink.h>

#include <memory>
#include <string>
#include <vector>

// Registers the diagnostic logger "KWLOG" at the production threshold (info)
// while alive, keeping each message as "<level>: <text>".
class CapturingLogger {
public:
    CapturingLogger();
    ~CapturingLogger();
    CapturingLogger(const CapturingLogger&) = delete;
    CapturingLogger& operator=(const CapturingLogger&) = delete;

    std::vector<std::string> lines() const;
    void clear(); // starts a fresh record

private:
    std::shared_ptr<spdlog::logger> logger;
};
