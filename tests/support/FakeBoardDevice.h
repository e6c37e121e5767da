#pragma once

#include "boardlink/SerialDevice.h"

#include <QByteArray>

#include <fcntl.h>

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
    void setReading(char letter, int value) { setReply(letter, QByteArray(1, letter) + ' ' + QByteArray::number(value)); }
    // Exactly what one read() returns (split only by a smaller buffer), ahead of any reply.
    void sendInOneRead(const QByteArray& bytes) { scriptedReads.push_back({bytes, 0}); }
    void failOneRead(int errnoValue) { scriptedReads.push_back({{}, errnoValue}); }

    int stat(const char*) override { return 0; }
    int open(const char* path, int flags) override;
    int setLock(int fd, const struct flock& lock) override;
    int tcgetattr(int, struct termios&) override { return 0; }
    int tcsetattr(int, int, const struct termios&) override { return 0; }
    ssize_t read(int fd, void* buffer, size_t count) override;
    ssize_t write(int fd, const void* buffer, size_t count) override;
    int close(int fd) override;
    // Refuses a malformed duration as the real call does.
    int nanosleep(const struct timespec& duration) override;

    int lockErrno = 0;
    int writeErrno = 0;

    std::vector<std::string> requests; // every complete line received
    int sleeps = 0;
    int opens = 0;
    int closes = 0;
    std::vector<struct flock> lockRequests; // failed ones too

private:
    std::map<char, QByteArray> replies;
    std::deque<std::pair<QByteArray, int>> scriptedReads; // bytes, errno
    std::string pendingRequest;
    QByteArray output;
};
