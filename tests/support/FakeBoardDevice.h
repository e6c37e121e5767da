#pragma once

#include "boardlink/SerialDevice.h"

#include <QByteArray>

#include <fcntl.h>
#include <termios.h>

#include <deque>
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
    // Scripted reads, served ahead of any reply: each is what exactly one
    // read() returns (split only if it exceeds the caller's buffer).
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
    int reads = 0;
    int writes = 0;

    std::string statPath;
    std::string openedPath;
    int openFlags = 0;
    std::vector<struct flock> lockRequests;      // every setLock, failed ones too
    struct termios attributesFound {};           // what tcgetattr reports
    std::vector<struct termios> attributesApplied; // every tcsetattr that succeeded
    std::vector<int> tcsetattrWhens;

private:
    struct ScriptedRead {
        QByteArray bytes;
        int error;
    };

    std::map<char, QByteArray> replies;
    std::deque<ScriptedRead> scriptedReads;
    std::string pendingRequest;
    QByteArray output;
};
