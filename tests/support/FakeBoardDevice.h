#pragma once

#include "boardlink/SerialDevice.h"

#include <QByteArray>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <deque>
#include <map>
#include <string>
#include <vector>

// A board behind the device seam: answers each request line with the reply
// set for its letter, records what it was sent, and sleeps without taking
// time. Locking, writing and single reads can be made to fail.
class FakeBoardDevice : public SerialDevice {
public:
    static constexpr int boardFd = 42;

    // An empty reply makes the board ignore that request.
    void setReply(char letter, const QByteArray& reply) { replies[letter] = reply; }
    // Exactly what one read() returns (split only by a smaller buffer), ahead of any reply.
    void sendInOneRead(const QByteArray& bytes) { scriptedReads.push_back({bytes, 0}); }
    void failOneRead(int errnoValue) { scriptedReads.push_back({{}, errnoValue}); }

    int stat(const char*) override { return 0; }
    int open(const char*, int) override { return boardFd; }
    int setLock(int, const struct flock& lock) override
    {
        lockTypes.push_back(lock.l_type);
        return lockErrno ? fail(lockErrno) : 0;
    }
    int tcgetattr(int, struct termios&) override { return 0; }
    int tcsetattr(int, int, const struct termios&) override { return 0; }
    ssize_t read(int, void* buffer, size_t count) override
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
    ssize_t write(int, const void* buffer, size_t count) override
    {
        if (writeErrno)
            return fail(writeErrno);
        pendingRequest.append(static_cast<const char*>(buffer), count);
        for (size_t end; (end = pendingRequest.find('\n')) != std::string::npos;) {
            requests.push_back(pendingRequest.substr(0, end));
            pendingRequest.erase(0, end + 1);
            const auto reply = requests.back().empty() ? replies.end() : replies.find(requests.back()[0]);
            if (reply != replies.end() && !reply->second.isEmpty())
                output += reply->second + '\n';
        }
        return static_cast<ssize_t>(count);
    }
    int close(int) override
    {
        ++closes;
        return 0;
    }
    // Refuses a malformed duration as the real call does.
    int nanosleep(const struct timespec& duration) override
    {
        if (duration.tv_sec < 0 || duration.tv_nsec < 0 || duration.tv_nsec >= 1000000000L)
            return fail(EINVAL);
        ++sleeps;
        return 0;
    }

    int lockErrno = 0;
    int writeErrno = 0;

    std::vector<std::string> requests; // every complete line received
    int sleeps = 0;
    int closes = 0;
    std::vector<short> lockTypes; // of every request, failed ones too

private:
    static int fail(int errnoValue)
    {
        errno = errnoValue;
        return -1;
    }
    static ssize_t take(QByteArray& from, void* buffer, size_t count)
    {
        const auto n = std::min(count, static_cast<size_t>(from.size()));
        std::memcpy(buffer, from.constData(), n);
        from.remove(0, static_cast<int>(n));
        return static_cast<ssize_t>(n);
    }

    std::map<char, QByteArray> replies;
    std::deque<std::pair<QByteArray, int>> scriptedReads; // bytes, errno
    std::string pendingRequest;
    QByteArray output;
};
