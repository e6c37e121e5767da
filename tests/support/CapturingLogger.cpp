#include "tests/support/CapturingLogger.h"

#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <mutex>

class CapturingLogger::Sink : public spdlog::sinks::base_sink<std::mutex> {
public:
    std::vector<Entry> snapshot()
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
        captured.push_back({message.level, std::string(message.payload.data(), message.payload.size())});
    }
    void flush_() override {}

private:
    std::vector<Entry> captured;
};

CapturingLogger::CapturingLogger(spdlog::level::level_enum threshold)
    : sink(std::make_shared<Sink>()), logger(std::make_shared<spdlog::logger>("KWLOG", sink))
{
    logger->set_level(threshold);
    // A logger left behind by another test would make registration throw.
    spdlog::drop("KWLOG");
    spdlog::register_logger(logger);
}

CapturingLogger::~CapturingLogger()
{
    spdlog::drop("KWLOG");
}

std::vector<CapturingLogger::Entry> CapturingLogger::entries() const
{
    return sink->snapshot();
}

std::vector<std::string> CapturingLogger::texts() const
{
    std::vector<std::string> result;
    for (const auto& entry : entries())
        result.push_back(entry.text);
    return result;
}

size_t CapturingLogger::count() const
{
    return entries().size();
}

size_t CapturingLogger::count(spdlog::level::level_enum level) const
{
    const auto all = entries();
    return static_cast<size_t>(
        std::count_if(all.begin(), all.end(), [level](const Entry& entry) { return entry.level == level; }));
}

size_t CapturingLogger::countContaining(const std::string& fragment) const
{
    const auto all = entries();
    return static_cast<size_t>(std::count_if(all.begin(), all.end(), [&fragment](const Entry& entry) {
        return entry.text.find(fragment) != std::string::npos;
    }));
}

void CapturingLogger::clear()
{
    sink->clear();
}
