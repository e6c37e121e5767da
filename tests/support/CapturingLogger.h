#pragma once

#include <spdlog/logger.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/ringbuffer_sink.h>
#include <spdlog/spdlog.h>

#include <memory>
#include <string>
#include <vector>

// Registers the diagnostic logger "KWLOG", by default at the production
// threshold, while alive, keeping each message as "<level>: <text>".
class CapturingLogger {
public:
    explicit CapturingLogger(spdlog::level::level_enum threshold = spdlog::level::info)
    {
        sink->set_formatter(std::make_unique<spdlog::pattern_formatter>("%l: %v", spdlog::pattern_time_type::local, ""));
        logger->set_level(threshold);
        spdlog::drop("KWLOG"); // one left behind would make registration throw
        spdlog::register_logger(logger);
    }
    ~CapturingLogger() { spdlog::drop("KWLOG"); }
    CapturingLogger(const CapturingLogger&) = delete;
    CapturingLogger& operator=(const CapturingLogger&) = delete;

    std::vector<std::string> lines() const { return sink->last_formatted(); }
    bool has(const std::string& level, const std::string& text) const
    {
        for (const auto& line : lines())
            if (line.rfind(level + ": ", 0) == 0 && line.find(text) != std::string::npos)
                return true;
        return false;
    }

private:
    // Far more messages than any test provokes; a ring keeps the newest.
    std::shared_ptr<spdlog::sinks::ringbuffer_sink_mt> sink = std::make_shared<spdlog::sinks::ringbuffer_sink_mt>(4096);
    std::shared_ptr<spdlog::logger> logger = std::make_shared<spdlog::logger>("KWLOG", sink);
};
