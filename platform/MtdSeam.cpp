#include "platform/MtdSeam.h"

#include "platform/MtdParts.h"
#include "platform/PlatformRoot.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mtd/mtd-user.h>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint8_t norFlash = 3;        // MTD_NORFLASH
constexpr uint32_t norFlags = 0xC00;   // writeable, bit-writeable

// A stand-in partition opened through the seam. The file's identity guards
// against a descriptor that was closed behind the seam's back and reused.
struct Simulated {
    int fd;
    dev_t device;
    ino_t inode;
    uint32_t size;
    uint32_t eraseSize;
};

std::mutex simulatedMutex;
std::vector<Simulated> simulated;

// The partition line a path stands in for, if any.
bool lookUpPartition(const char* path, procEntry& found)
{
    if (path == nullptr || platformRootIsDefault())
        return false;
    const std::string devPrefix = platformPath("/dev/");
    const std::string text(path);
    if (text.compare(0, devPrefix.size(), devPrefix) != 0)
        return false;
    const std::string node = text.substr(devPrefix.size());
    if (node.compare(0, 3, "mtd") != 0)
        return false;
    struct stat status {};
    if (::stat(path, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    try {
        for (const auto& [name, entry] : parseMtdParts())
            if (entry.node == node && entry.eraseSize != 0) {
                found = entry;
                return true;
            }
    } catch (const std::exception&) {
        // An unreadable table lists nothing.
    }
    return false;
}

// The stand-in behind `fd`, or false when `fd` is a real device or file.
bool findSimulated(int fd, Simulated& found)
{
    std::lock_guard<std::mutex> lock(simulatedMutex);
    if (simulated.empty())
        return false;
    auto it = std::find_if(simulated.begin(), simulated.end(), [fd](const Simulated& s) { return s.fd == fd; });
    if (it == simulated.end())
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_dev != it->device || status.st_ino != it->inode) {
        simulated.erase(it);
        return false;
    }
    found = *it;
    return true;
}

void forget(int fd)
{
    std::lock_guard<std::mutex> lock(simulatedMutex);
    simulated.erase(std::remove_if(simulated.begin(), simulated.end(), [fd](const Simulated& s) { return s.fd == fd; }),
                    simulated.end());
}

int fail(int error)
{
    errno = error;
    return -1;
}

int simulatedErase(const Simulated& part, const erase_info_user& request)
{
    if (request.length == 0 || request.start % part.eraseSize != 0 || request.length % part.eraseSize != 0
        || request.start >= part.size || request.length > part.size - request.start)
        return fail(EINVAL);
    static const std::vector<unsigned char> erased(64 * 1024, 0xFF);
    for (uint32_t done = 0; done < request.length;) {
        const size_t piece = std::min<size_t>(erased.size(), request.length - done);
        const ssize_t written = ::pwrite(part.fd, erased.data(), piece, static_cast<off_t>(request.start) + done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        done += static_cast<uint32_t>(written);
    }
    return 0;
}

int simulatedIoctl(const Simulated& part, unsigned long request, void* argument)
{
    switch (request) {
    case MEMGETINFO: {
        mtd_info_user info{};
        info.type = norFlash;
        info.flags = norFlags;
        info.size = part.size;
        info.erasesize = part.eraseSize;
        info.writesize = 1;
        info.oobsize = 0;
        std::memcpy(argument, &info, sizeof info);
        return 0;
    }
    case MEMUNLOCK:
        return 0;
    case MEMERASE: {
        erase_info_user erase{};
        std::memcpy(&erase, argument, sizeof erase);
        return simulatedErase(part, erase);
    }
    default:
        return fail(ENOTTY);
    }
}

// NOR flash: programming can only clear bits; only an erase sets them again.
ssize_t simulatedWrite(const Simulated& part, const void* data, size_t count)
{
    const off_t position = ::lseek(part.fd, 0, SEEK_CUR);
    if (position < 0)
        return -1;
    if (static_cast<uint64_t>(position) >= part.size)
        return fail(ENOSPC);
    count = std::min<uint64_t>(count, part.size - static_cast<uint64_t>(position));
    const auto* bytes = static_cast<const unsigned char*>(data);
    unsigned char merged[4096];
    size_t done = 0;
    while (done < count) {
        const size_t piece = std::min(sizeof merged, count - done);
        const off_t at = position + static_cast<off_t>(done);
        const ssize_t got = ::pread(part.fd, merged, piece, at);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return done ? static_cast<ssize_t>(done) : -1;
        }
        for (size_t i = 0; i < piece; ++i)
            merged[i] = static_cast<unsigned char>((i < static_cast<size_t>(got) ? merged[i] : 0xFF) & bytes[done + i]);
        const ssize_t put = ::pwrite(part.fd, merged, piece, at);
        if (put <= 0) {
            if (put < 0 && errno == EINTR)
                continue;
            return done ? static_cast<ssize_t>(done) : -1;
        }
        done += static_cast<size_t>(put);
    }
    ::lseek(part.fd, position + static_cast<off_t>(done), SEEK_SET);
    return static_cast<ssize_t>(done);
}

} // namespace

namespace MtdSeam {

bool isSimulatedPartition(const char* path)
{
    const int savedErrno = errno; // looking leaves the caller's error alone
    procEntry entry;
    const bool simulatedPartition = lookUpPartition(path, entry);
    errno = savedErrno;
    return simulatedPartition;
}

int open(const char* path, int flags)
{
    const int savedErrno = errno;
    procEntry entry;
    const bool simulatedPartition = lookUpPartition(path, entry);
    errno = savedErrno;
    // A stand-in is a scratch file, not flash that must survive a power cut:
    // synchronous writes would only slow the simulated unit down.
    const int fd = ::open(path, simulatedPartition ? flags & ~O_SYNC : flags);
    if (fd < 0)
        return fd;
    forget(fd);
    struct stat status {};
    if (simulatedPartition && ::fstat(fd, &status) == 0) {
        std::lock_guard<std::mutex> lock(simulatedMutex);
        simulated.push_back({fd, status.st_dev, status.st_ino, entry.size, entry.eraseSize});
    }
    return fd;
}

int close(int fd)
{
    forget(fd);
    const int savedErrno = errno; // the caller's failure, for its message
    const int result = ::close(fd);
    errno = savedErrno;
    return result;
}

int ioctl(int fd, unsigned long request, void* argument)
{
    Simulated part{};
    if (findSimulated(fd, part))
        return simulatedIoctl(part, request, argument);
    return ::ioctl(fd, request, argument);
}

ssize_t write(int fd, const void* data, size_t count)
{
    Simulated part{};
    if (findSimulated(fd, part))
        return simulatedWrite(part, data, count);
    return ::write(fd, data, count);
}

} // namespace MtdSeam
