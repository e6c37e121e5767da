#include "tests/support/FakeBoardDevice.h"

#include <termios.h>

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

void FakeBoardDevice::setReply(char letter, const QByteArray& reply) { replies[letter] = reply; }

void FakeBoardDevice::setReading(char letter, int value)
{
    replies[letter] = QByteArray(1, letter) + ' ' + QByteArray::number(value);
}

void FakeBoardDevice::sendUnrequested(const QByteArray& bytes) { output += bytes; }
void FakeBoardDevice::sendInOneRead(const QByteArray& bytes) { scriptedReads.push_back({bytes, 0}); }
void FakeBoardDevice::failOneRead(int errnoValue) { scriptedReads.push_back({{}, errnoValue}); }

int FakeBoardDevice::stat(const char*) { return present ? 0 : fail(ENOENT); }

int FakeBoardDevice::open(const char*, int)
{
    ++opens;
    return present ? boardFd : fail(ENOENT);
}

int FakeBoardDevice::setLock(int, const struct flock& lock)
{
    lockRequests.push_back(lock);
    return lockErrno ? fail(lockErrno) : 0;
}

int FakeBoardDevice::tcgetattr(int, struct termios& attributes)
{
    attributes = {};
    return 0;
}

int FakeBoardDevice::tcsetattr(int, int, const struct termios&) { return 0; }

ssize_t FakeBoardDevice::read(int, void* buffer, size_t count)
{
    ++reads;
    if (scriptedReads.empty())
        return take(output, buffer, count);
    auto& next = scriptedReads.front();
    if (next.second) {
        const int error = next.second;
        scriptedReads.pop_front();
        return fail(error);
    }
    const ssize_t n = take(next.first, buffer, count);
    if (next.first.isEmpty())
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

int FakeBoardDevice::close(int)
{
    ++closes;
    return 0;
}

int FakeBoardDevice::nanosleep(const struct timespec& duration)
{
    if (duration.tv_sec < 0 || duration.tv_nsec < 0 || duration.tv_nsec >= 1000000000L)
        return fail(EINVAL);
    ++sleeps;
    sleptNanoseconds += duration.tv_sec * 1000000000LL + duration.tv_nsec;
    return 0;
}
