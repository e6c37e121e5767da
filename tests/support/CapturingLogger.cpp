#include "tests/support/CapturingLogger.h"

#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>

#include <mutex>

class CapturingLogger::Sink : public spdlog::sinks::base_sink<std::mutex> {
public:
    std::vector<std::string> snapshot()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return captured;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        captured.clear();
    }

protected:
    void sink_it_(const spdlog::details::log_msg& message) override
    {
        const auto level = spdlog::level::to_string_view(message.level);
        captured.push_back(std::string(level.data(), level.size()) + ": "
                           + std::string(message.payload.data(), message.payload.size()));
    }
    void flush_() override {}

private:
    std::vector<std::string> captured;
};

CapturingLogger::CapturingLogger()
    : sink(std::make_shared<Sink>()), logger(std::make_shared<spdlog::logger>("KWLOG", sink))
{
    logger->set_level(spdlog::level::info);
    spdlog::drop("KWLOG"); // one left behind would make registration throw
    spdlog::register_logger(logger);
}

CapturingLogger::~CapturingLogger() { spdlog::drop("KWLOG"); }

std::vector<std::string> CapturingLogger::lines() const { return sink->snapshot(); }

void CapturingLogger::clear() { sink->clear(); }
