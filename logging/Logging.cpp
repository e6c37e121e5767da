#include "logging/Logging.h"

#include "logging/HeldStdoutSink.h"

#include <spdlog/sinks/syslog_sink.h>
#include <spdlog/spdlog.h>

#include <syslog.h>

#include <memory>
#include <vector>

namespace Tessaly {

namespace {

std::shared_ptr<HeldStdoutSink>& standardOutputSink()
{
    static std::shared_ptr<HeldStdoutSink> sink;
    return sink;
}

} // namespace

bool initLogging(bool toStdout, const char* /*logDirectory: the results log lives there, not this log*/)
{
    std::vector<spdlog::sink_ptr> sinks;
    if (toStdout) {
        standardOutputSink() = std::make_shared<HeldStdoutSink>();
        sinks.push_back(standardOutputSink());
    }
    sinks.push_back(std::make_shared<spdlog::sinks::syslog_sink_mt>("", 0, LOG_USER, false));
    auto logger = std::make_shared<spdlog::logger>("KWLOG", sinks.begin(), sinks.end());
    spdlog::register_logger(logger);
    spdlog::set_pattern("[%C/%m/%d][tid:%t][%L]> %v");
    return true;
}

void ceaseLogging()
{
    if (auto logger = spdlog::get("KWLOG"))
        logger->flush();
    if (auto& sink = standardOutputSink()) {
        sink->release();
        sink.reset();
    }
    spdlog::drop_all();
}

void holdStandardOutput()
{
    if (auto& sink = standardOutputSink())
        sink->hold();
}

void releaseStandardOutput()
{
    if (auto& sink = standardOutputSink())
        sink->release();
}

} // namespace Tessaly
