#include "ReplyShaper.h"

std::string ReplyShaper::garbageLine()
{
    // Noise never starts with a character the host dispatches on (an
    // upper-case reply letter or '#'), so it must not disturb any reading.
    static const char starts[] = "xyzqk!?@%&~^";
    auto next = [this] {
        noiseState ^= noiseState << 13;
        noiseState ^= noiseState >> 17;
        noiseState ^= noiseState << 5;
        return noiseState;
    };
    std::string line(1, starts[next() % (sizeof starts - 1)]);
    const unsigned length = 4 + next() % 36;
    for (unsigned i = 0; i < length; ++i) {
        const unsigned pick = next() % 4;
        if (pick == 0)
            line += static_cast<char>(0x80 + next() % 0x7f); // high bytes, never zero
        else
            line += static_cast<char>(0x20 + next() % 0x5f); // printable ASCII
    }
    return line;
}

std::string ReplyShaper::shape(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const auto& line : lines) {
        if (faults.silence)
            continue;
        if (faults.noVersion && !line.empty() && line[0] == 'V')
            continue;
        const char* end = faults.crlf ? "\r\n" : "\n";
        if (faults.garbage)
            bytes += garbageLine() + end;
        bytes += line + end;
        if (faults.nul)
            bytes += '\0';
    }
    std::string out = held + bytes;
    held.clear();
    if (faults.split && !bytes.empty()) {
        // Cut in the middle of the last line, so that a line's head and tail
        // arrive in different reads on the host.
        const size_t lastFeed = out.rfind('\n');
        size_t lineStart = 0;
        size_t lineEnd = out.size();
        if (lastFeed != std::string::npos) {
            lineEnd = lastFeed;
            const size_t previousFeed = lastFeed == 0 ? std::string::npos : out.rfind('\n', lastFeed - 1);
            lineStart = previousFeed == std::string::npos ? 0 : previousFeed + 1;
        }
        size_t cut = lineStart + (lineEnd - lineStart) / 2;
        if (cut == lineStart && lineEnd > lineStart)
            cut = lineStart + 1;
        held = out.substr(cut);
        out.resize(cut);
    }
    return out;
}

std::string ReplyShaper::flushHeld()
{
    std::string out;
    out.swap(held);
    return out;
}

std::vector<std::string> ReplyShaper::activeFaults() const
{
    std::vector<std::string> names;
    for (const auto& fault : faultNames)
        if (faults.*fault.value)
            names.emplace_back(fault.name);
    return names;
}
