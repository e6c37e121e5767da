#pragma once

#include <spdlog/spdlog.h>

#include <string>
#include <utility>

// Sends one message to the program logger "KWLOG", looked up afresh each
// time because it may be replaced between two messages. The text is only
// built when the logger would pass it; without a logger it is dropped.
template <typename MakeText>
void logToKwlog(spdlog::level::level_enum level, MakeText&& makeText)
{
    const auto logger = spdlog::get("KWLOG");
    if (logger && logger->should_log(level)) {
        const std::string text = std::forward<MakeText>(makeText)();
        logger->log(level, "{}", text);
    }
}
