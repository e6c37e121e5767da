#include "tests/support/FakeBoardDevice.h"

#include <fcntl.h>
#include <termios.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

void FakeBoardDevice::setReply(char letter, const QByteArray& reply)
{
    replies[letter] = reply;
}

void FakeBoardDevice::setReading(char letter, int value)
{
    replies[letter] = QByteArray(1, letter) + ' ' + QByteArray::number(value);
}

void FakeBoardDevice::silence()
{
    replies.clear();
}

void FakeBoardDevice::sendUnrequested(const QByteArray& bytes)
{
    output += bytes;
}

void FakeBoardDevice::sendInOneRead(const QByteArray& bytes)
{
    scriptedReads.push_back({bytes, 0});
}

void FakeBoardDevice::failOneRead(int errnoValue)
{
    scriptedReads.push_back({{}, errnoValue});
}

int FakeBoardDevice::stat(const char* path)
{
    statPath = path;
    if (present)
        return 0;
    errno = ENOENT;
    return -1;
}

int FakeBoardDevice::open(const char* path, int flags)
{
    ++opens;
    openedPath = path;
    openFlags = flags;
    if (!present || openErrno) {
        errno = present ? openErrno : ENOENT;
        return -1;
    }
    return boardFd;
}

int FakeBoardDevice::setLock(int, const struct flock& lock)
{
    ++lockCalls;
    lockRequests.push_back(lock);
    if (lockErrno) {
        errno = lockErrno;
        return -1;
    }
    return 0;
}

int FakeBoardDevice::tcgetattr(int, struct termios& attributes)
{
    if (tcgetattrErrno) {
        errno = tcgetattrErrno;
        return -1;
    }
    attributes = attributesFound;
    return 0;
}

int FakeBoardDevice::tcsetattr(int, int when, const struct termios& attributes)
{
    if (tcsetattrErrno) {
        errno = tcsetattrErrno;
        return -1;
    }
    attributesApplied.push_back(attributes);
    tcsetattrWhens.push_back(when);
    return 0;
}

ssize_t FakeBoardDevice::read(int, void* buffer, size_t count)
{
    ++reads;
    if (readErrno) {
        errno = readErrno;
        return -1;
    }
    if (!scriptedReads.empty()) {
        ScriptedRead& next = scriptedReads.front();
        if (next.error) {
            errno = next.error;
            scriptedReads.pop_front();
            return -1;
        }
        const auto n = std::min(count, static_cast<size_t>(next.bytes.size()));
        std::memcpy(buffer, next.bytes.constData(), n);
        next.bytes.remove(0, static_cast<int>(n));
        if (next.bytes.isEmpty())
            scriptedReads.pop_front();
        return static_cast<ssize_t>(n);
    }
    const auto n = std::min(count, static_cast<size_t>(output.size()));
    std::memcpy(buffer, output.constData(), n);
    output.remove(0, static_cast<int>(n));
    return static_cast<ssize_t>(n);
}

ssize_t FakeBoardDevice::write(int, const void* buffer, size_t count)
{
    ++writes;
    if (writeErrno) {
        errno = writeErrno;
        return -1;
    }
    pendingRequest.append(static_cast<const char*>(buffer), count);
    size_t end;
    while ((end = pendingRequest.find('\n')) != std::string::npos) {
        const std::string line = pendingRequest.substr(0, end);
        pendingRequest.erase(0, end + 1);
        requests.push_back(line);
        if (line.empty())
            continue;
        const auto reply = replies.find(line[0]);
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
    ++sleeps;
    sleptNanoseconds += duration.tv_sec * 1000000000LL + duration.tv_nsec;
    return 0;
}
