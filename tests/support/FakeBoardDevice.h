#pragma once

#include "boardlink/SerialDevice.h"

#include <QByteArray>

#include <map>
#include <string>
#include <vector>

// A board behind the device seam: answers each request line it is sent with
// the reply set for its letter, records what it was sent, and sleeps without
// taking time. Failures of the individual calls can be switched on.
class FakeBoardDevice : public SerialDevice {
public:
    static constexpr int boardFd = 42;

    // The reply line (without its line feed) for a request letter; an empty
    // reply makes the board ignore that request.
    void setReply(char letter, const QByteArray& reply);
    void setReading(char letter, int value); // "<letter> <value>"
    void silence();                          // ignore every request
    void sendUnrequested(const QByteArray& bytes);

    int stat(const char* path) override;
    int open(const char* path, int flags) override;
    int setLock(int fd, const struct flock& lock) override;
    int tcgetattr(int fd, struct termios& attributes) override;
    int tcsetattr(int fd, int when, const struct termios& attributes) override;
    ssize_t read(int fd, void* buffer, size_t count) override;
    ssize_t write(int fd, const void* buffer, size_t count) override;
    int close(int fd) override;
    int nanosleep(const struct timespec& duration) override;

    bool present = true;
    int openErrno = 0;
    int lockErrno = 0;
    int tcgetattrErrno = 0;
    int tcsetattrErrno = 0;
    int writeErrno = 0;
    int readErrno = 0;

    std::vector<std::string> requests; // every complete line received
    long long sleptNanoseconds = 0;
    int sleeps = 0;
    int opens = 0;
    int closes = 0;
    int lockCalls = 0;

private:
    std::map<char, QByteArray> replies;
    std::string pendingRequest;
    QByteArray output;
};
