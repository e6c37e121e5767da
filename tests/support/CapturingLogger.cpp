#include "tests/support/CapturingLogger.h"

#include <spdlog/pattern_formatter.h>
#include <spdlog/spdlog.h>

namespace {

// Far more messages than any test provokes; a ring keeps the newest.
constexpr size_t keptMessages = 4096;

std::shared_ptr<spdlog::sinks::ringbuffer_sink_mt> freshSink()
{
    auto sink = std::make_shared<spdlog::sinks::ringbuffer_sink_mt>(keptMessages);
    sink->set_formatter(std::make_unique<spdlog::pattern_formatter>("%l: %v", spdlog::pattern_time_type::local, ""));
    return sink;
}

} // namespace

CapturingLogger::CapturingLogger() : logger(std::make_shared<spdlog::logger>("KWLOG", freshSink()))
{
    logger->set_level(spdlog::level::info);
    spdlog::drop("KWLOG"); // one left behind would make registration throw
    spdlog::register_logger(logger);
}

CapturingLogger::~CapturingLogger() { spdlog::drop("KWLOG"); }

std::vector<std::string> CapturingLogger::lines() const
{
    return std::static_pointer_cast<spdlog::sinks::ringbuffer_sink_mt>(logger->sinks().front())->last_formatted();
}

void CapturingLogger::clear() { logger->sinks().front() = freshSink(); }
