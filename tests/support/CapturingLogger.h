#pragma once

#include <spdlog/common.h>

#include <memory>
#include <string>
#include <vector>

namespace spdlog {
class logger;
}

// Registers the diagnostic logger "KWLOG" with a sink that keeps every
// message in memory, for as long as the object lives. The threshold defaults
// to the production one (info), so debug messages vanish as they would there.
class CapturingLogger {
public:
    struct Entry {
        spdlog::level::level_enum level;
        std::string text;
    };

    explicit CapturingLogger(spdlog::level::level_enum threshold = spdlog::level::info);
    ~CapturingLogger();
    CapturingLogger(const CapturingLogger&) = delete;
    CapturingLogger& operator=(const CapturingLogger&) = delete;

    std::vector<Entry> entries() const;
    std::vector<std::string> texts() const;
    size_t count() const;
    size_t count(spdlog::level::level_enum level) const;
    // The number of messages whose text contains the fragment.
    size_t countContaining(const std::string& fragment) const;
    void clear();

private:
    class Sink;
    std::shared_ptr<Sink> sink;
    std::shared_ptr<spdlog::logger> logger;
};
