#pragma once

#include <spdlog/logger.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/ringbuffer_sink.h>
#include <spdlog/spdlog.h>

#include <memory>
#include <string>
#include <vector>

// Registers the diagnostic logger "KWLOG" at the production threshold (info)
// while alive, keeping each message as "<level>: <text>".
class CapturingLogger {
public:
    CapturingLogger()
    {
        sink->set_formatter(std::make_unique<spdlog::pattern_formatter>("%l: %v", spdlog::pattern_time_type::local, ""));
        logger->set_level(spdlog::level::info);
        spdlog::drop("KWLOG"); // one left behind would make registration throw
        spdlog::register_logger(logger);
    }
    ~CapturingLogger() { spdlog::drop("KWLOG"); }
    CapturingLogger(const CapturingLogger&) = delete;
    CapturingLogger& operator=(const CapturingLogger&) = delete;

    std::vector<std::string> lines() const { return sink->last_formatted(); }

private:
    // Far more messages than any test provokes; a ring keeps the newest.
    std::shared_ptr<spdlog::sinks::ringbuffer_sink_mt> sink = std::make_shared<spdlog::sinks::ringbuffer_sink_mt>(4096);
    std::shared_ptr<spdlog::logger> logger = std::make_shared<spdlog::logger>("KWLOG", sink);
};
