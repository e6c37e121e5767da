#include "tests/support/FakeBoardDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

int fail(int errnoValue)
{
    errno = errnoValue;
    return -1;
}

ssize_t take(QByteArray& from, void* buffer, size_t count)
{
    const auto n = std::min(count, static_cast<size_t>(from.size()));
    std::memcpy(buffer, from.constData(), n);
    from.remove(0, static_cast<int>(n));
    return static_cast<ssize_t>(n);
}

} // namespace

int FakeBoardDevice::open(const char*, int)
{
    ++opens;
    return boardFd;
}

int FakeBoardDevice::close(int)
{
    ++closes;
    return 0;
}

int FakeBoardDevice::setLock(int, const struct flock& lock)
{
    lockRequests.push_back(lock);
    return lockErrno ? fail(lockErrno) : 0;
}

ssize_t FakeBoardDevice::read(int, void* buffer, size_t count)
{
    if (scriptedReads.empty())
        return take(output, buffer, count);
    auto& [bytes, error] = scriptedReads.front();
    if (const int failure = error) {
        scriptedReads.pop_front();
        return fail(failure);
    }
    const ssize_t n = take(bytes, buffer, count);
    if (bytes.isEmpty())
        scriptedReads.pop_front();
    return n;
}

ssize_t FakeBoardDevice::write(int, const void* buffer, size_t count)
{
    if (writeErrno)
        return fail(writeErrno);
    pendingRequest.append(static_cast<const char*>(buffer), count);
    for (size_t end; (end = pendingRequest.find('\n')) != std::string::npos;) {
        const std::string line = pendingRequest.substr(0, end);
        pendingRequest.erase(0, end + 1);
        requests.push_back(line);
        const auto reply = line.empty() ? replies.end() : replies.find(line[0]);
        if (reply != replies.end() && !reply->second.isEmpty())
            output += reply->second + '\n';
    }
    return static_cast<ssize_t>(count);
}

int FakeBoardDevice::nanosleep(const struct timespec& duration)
{
    if (duration.tv_sec < 0 || duration.tv_nsec < 0 || duration.tv_nsec >= 1000000000L)
        return fail(EINVAL);
    ++sleeps;
    return 0;
}
