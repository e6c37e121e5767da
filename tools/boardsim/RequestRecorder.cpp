#include "RequestRecorder.h"

#include "Escape.h"
#include "logging/SystemError.h"

#include <cerrno>
#include <cstring>
#include <ctime>

int64_t monotonicMilliseconds()
{
    struct timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

RequestRecorder::~RequestRecorder()
{
    if (stream != nullptr)
        std::fclose(stream);
}

bool RequestRecorder::streamTo(const std::string& path, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
        error = Tessaly::SystemError::last().message(path);
        return false;
    }
    if (stream != nullptr)
        std::fclose(stream);
    stream = file;
    return true;
}

std::string RequestRecorder::format(const Entry& entry)
{
    return std::to_string(entry.milliseconds) + " " + escapeBytes(entry.line);
}

void RequestRecorder::setLimit(size_t limit)
{
    entryLimit = limit;
    while (entries.size() > entryLimit)
        entries.pop_front();
}

void RequestRecorder::add(int64_t milliseconds, const std::string& line)
{
    if (entryLimit == 0)
        return;
    if (entries.size() == entryLimit)
        entries.pop_front();
    entries.push_back({milliseconds, line});
    if (stream != nullptr) {
        std::fprintf(stream, "%s\n", format(entries.back()).c_str());
        std::fflush(stream);
    }
}

bool RequestRecorder::dumpTo(const std::string& path, std::string& error) const
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        error = Tessaly::SystemError::last().message(path);
        return false;
    }
    for (const auto& entry : entries)
        std::fprintf(file, "%s\n", format(entry).c_str());
    std::fclose(file);
    return true;
}
