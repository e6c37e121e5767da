#include "logging/HeldStdoutSink.h"

#include "logging/Printable.h"

namespace Tessaly {

HeldStdoutSink::HeldStdoutSink(std::FILE* stream)
    : stream(stream)
{
}

void HeldStdoutSink::hold()
{
    std::lock_guard<std::mutex> lock(mutex_);
    held = true;
}

void HeldStdoutSink::release()
{
    std::lock_guard<std::mutex> lock(mutex_);
    held = false;
    if (dropped > 0) {
        writeOut("[" + std::to_string(dropped) + " earlier diagnostic messages were dropped while the console was up]\n");
        dropped = 0;
    }
    for (const std::string& text : heldMessages)
        writeOut(text);
    heldMessages.clear();
    bytesHeld = 0;
}

size_t HeldStdoutSink::droppedWhileHeld() const
{
    return dropped;
}

size_t HeldStdoutSink::heldBytes() const
{
    return bytesHeld;
}

void HeldStdoutSink::sink_it_(const spdlog::details::log_msg& message)
{
    spdlog::memory_buf_t formatted;
    formatter_->format(message, formatted);
    std::string text(formatted.data(), formatted.size());
    if (!held) {
        writeOut(text);
        return;
    }
    if (text.size() > maxHeldMessageBytes && text.back() == '\n') {
        text.pop_back(); // the line end, put back after the marker
        cutMessage(text, maxHeldMessageBytes);
        text += '\n';
    }
    while (!heldMessages.empty()
           && (heldMessages.size() == maxHeldMessages || bytesHeld + text.size() > maxHeldBytes)) {
        bytesHeld -= heldMessages.front().size();
        heldMessages.pop_front();
        ++dropped;
    }
    bytesHeld += text.size();
    heldMessages.push_back(std::move(text));
}

void HeldStdoutSink::flush_()
{
    std::fflush(stream);
}

void HeldStdoutSink::writeOut(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace Tessaly
