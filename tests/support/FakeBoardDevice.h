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
// time. Each call can be made to fail with a chosen errno.
class FakeBoardDevice : public SerialDevice {
public:
    static constexpr int boardFd = 42;

    // An empty reply makes the board ignore that request.
    void setReply(char letter, const QByteArray& reply);
    void setReading(char letter, int value); // "<letter> <value>"
    void sendUnrequested(const QByteArray& bytes);
    // Exactly what one read() returns (split only by a smaller buffer), ahead of any reply.
    void sendInOneRead(const QByteArray& bytes);
    void failOneRead(int errnoValue);

    int stat(const char* path) override;
    int open(const char* path, int flags) override;
    int setLock(int fd, const struct flock& lock) override;
    int tcgetattr(int fd, struct termios& attributes) override;
    int tcsetattr(int fd, int when, const struct termios& attributes) override;
    ssize_t read(int fd, void* buffer, size_t count) override;
    ssize_t write(int fd, const void* buffer, size_t count) override;
    int close(int fd) override;
    // Refuses a malformed duration as the real call does.
    int nanosleep(const struct timespec& duration) override;

    bool present = true;
    int lockErrno = 0;
    int writeErrno = 0;

    std::vector<std::string> requests; // every complete line received
    long long sleptNanoseconds = 0;
    int sleeps = 0;
    int opens = 0;
    int closes = 0;
    int reads = 0;
    std::vector<struct flock> lockRequests; // failed ones too

private:
    std::map<char, QByteArray> replies;
    std::deque<std::pair<QByteArray, int>> scriptedReads; // bytes, errno
    std::string pendingRequest;
    QByteArray output;
};
