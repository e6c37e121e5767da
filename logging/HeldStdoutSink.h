#pragma once

#include <spdlog/sinks/base_sink.h>

#include <cstdio>
#include <deque>
#include <mutex>
#include <string>

namespace Tessaly {

// Standard-output sink that can hold messages back while the terminal is in
// full-screen use and write them, in order, once it is released.
class HeldStdoutSink : public spdlog::sinks::base_sink<std::mutex> {
public:
    // Bounded by count and by bytes so that a chatty fault during a long
    // hold cannot eat the memory of the host unit; the oldest held messages
    // give way, and each held message is cut to a sane length.
    static constexpr size_t maxHeldMessages = 2000;
    static constexpr size_t maxHeldBytes = 256 * 1024;
    static constexpr size_t maxHeldMessageBytes = 2048;

    explicit HeldStdoutSink(std::FILE* stream = stdout);

    void hold();
    void release();
    size_t droppedWhileHeld() const;
    size_t heldBytes() const;

protected:
    void sink_it_(const spdlog::details::log_msg& message) override;
    void flush_() override;

private:
    void writeOut(const std::string& text);

    std::FILE* stream;
    bool held = false;
    std::deque<std::string> heldMessages;
    size_t dropped = 0;
    size_t bytesHeld = 0;
};

} // namespace Tessaly
