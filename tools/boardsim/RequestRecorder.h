#pragma once

#include <cstdint>
#include <cstddef>
#include <cstdio>
#include <deque>
#include <string>

// Every request line the host sent, stamped with the monotonic clock in
// milliseconds (the clock a test reads as time.monotonic()), so that a test
// can check what the program asked for and how often.
class RequestRecorder {
public:
    struct Entry {
        int64_t milliseconds;
        std::string line; // without its line feed
    };

    // Only the newest `limit` entries are kept, so that a simulator left
    // running for days does not grow without end.
    explicit RequestRecorder(size_t limit = 200000) : entryLimit(limit) {}
    RequestRecorder(const RequestRecorder&) = delete;
    RequestRecorder& operator=(const RequestRecorder&) = delete;
    ~RequestRecorder();

    // Also appends each entry to a file as it arrives.
    bool streamTo(const std::string& path, std::string& error);

    void add(int64_t milliseconds, const std::string& line);
    void clear() { entries.clear(); }
    const std::deque<Entry>& all() const { return entries; }
    void setLimit(size_t limit);

    // "<ms> <line with escapes>", the form used in dumps and the stream file.
    static std::string format(const Entry& entry);
    bool dumpTo(const std::string& path, std::string& error) const;

private:
    std::deque<Entry> entries;
    size_t entryLimit;
    std::FILE* stream = nullptr;
};

int64_t monotonicMilliseconds();
