#include "platform/Flash.h"

#include "platform/FlashProgress.h"
#include "platform/MtdSeam.h"
#include "platform/ReadFully.h"
#include "platform/SystemErrorText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t chunkSize = 4096;

// One end of a copy: a file, an MTD device, or standard input or output.
struct End {
    const char* path;
    int fd = -1;
    bool standard = false; // standard input or output: never closed
    bool mtd = false;
    bool regular = false;
    off_t fileSize = 0;
};

void reportOpenFailure(const char* path, const char* reason)
{
    if (flashProgress().noisy)
        std::fprintf(stderr, "Could not open %s\nReason: %s\n", path, reason);
}

bool countsAsCharacterDevice(const char* path, const struct stat& status)
{
    return S_ISCHR(status.st_mode) || MtdSeam::isSimulatedPartition(path);
}

// Returns 0 or -2.
int openSource(End& source, mtd_info_user& info)
{
    if (source.path[0] == '\0') {
        source.fd = STDIN_FILENO;
        source.standard = true;
        return 0;
    }
    struct stat status {};
    if (::stat(source.path, &status) != 0) {
        reportOpenFailure(source.path, systemErrorText());
        return -2;
    }
    if (countsAsCharacterDevice(source.path, status)) {
        source.mtd = true;
        source.fd = open_mtd(source.path, &info);
    } else if (S_ISREG(status.st_mode)) {
        source.regular = true;
        source.fileSize = status.st_size;
        source.fd = ::open(source.path, O_RDONLY);
    } else {
        reportOpenFailure(source.path, "Invalid source");
        return -2;
    }
    if (source.fd < 0) {
        reportOpenFailure(source.path, systemErrorText());
        return -2;
    }
    return 0;
}

// Returns 0 or -3.
int openDestination(End& destination, mtd_info_user& info)
{
    if (destination.path[0] == '\0') {
        destination.fd = STDOUT_FILENO;
        destination.standard = true;
        return 0;
    }
    struct stat status {};
    const bool exists = ::stat(destination.path, &status) == 0;
    if (!exists && errno != ENOENT) {
        reportOpenFailure(destination.path, systemErrorText());
        return -3;
    }
    if (exists && countsAsCharacterDevice(destination.path, status)) {
        destination.mtd = true;
        destination.fd = open_mtd(destination.path, &info);
    } else if (!exists || S_ISREG(status.st_mode)) {
        destination.fd = ::open(destination.path, O_RDWR | O_CREAT | O_SYNC, 0644);
    } else {
        reportOpenFailure(destination.path, "Invalid destination");
        return -3;
    }
    if (destination.fd < 0) {
        reportOpenFailure(destination.path, systemErrorText());
        return -3;
    }
    return 0;
}

void closeEnd(const End& end)
{
    if (end.fd >= 0 && !end.standard)
        MtdSeam::close(end.fd); // keeps errno for the caller's message
}

ssize_t writeFully(const End& destination, const unsigned char* buffer, size_t count)
{
    size_t put = 0;
    while (put < count) {
        const ssize_t n = destination.mtd ? MtdSeam::write(destination.fd, buffer + put, count - put)
                                          : ::write(destination.fd, buffer + put, count - put);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        put += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(put);
}

struct Copy {
    End source;
    End destination;
    unsigned char* buffer;
    ssize_t copied = 0;

    ~Copy()
    {
        std::free(buffer);
        closeEnd(source);
        closeEnd(destination);
    }

    // Moves `size` bytes; a negative size copies up to the end of the source.
    int transfer(ssize_t size)
    {
        FlashProgress& state = flashProgress();
        const bool untilEnd = size < 0;
        while (untilEnd || copied < size) {
            const size_t chunk = untilEnd ? chunkSize : std::min<size_t>(chunkSize, static_cast<size_t>(size - copied));
            const ssize_t got = readFully(source.fd, buffer, chunk);
            if (got < 0) {
                if (state.noisy)
                    std::fprintf(stderr, "Could not read from %s\nReason: %s\n", source.path, systemErrorText());
                return -4;
            }
            if (untilEnd && got == 0)
                break;
            const size_t expected = untilEnd ? static_cast<size_t>(got) : chunk;
            const ssize_t put = writeFully(destination, buffer, static_cast<size_t>(got));
            if (put != static_cast<ssize_t>(expected)) {
                if (put == got)
                    errno = ENODATA; // the source ended before the size asked for
                if (state.noisy)
                    std::fprintf(stderr, "Could not write to %s\nReason: %s\n", destination.path, systemErrorText());
                return -5;
            }
            copied += static_cast<ssize_t>(expected);
            state.done += static_cast<uint32_t>(expected);
            if (!untilEnd)
                printProgress();
        }
        return 0;
    }
};

} // namespace

int flashCopy(const char* source, const char* destination, ssize_t size, long offset)
{
    FlashProgress& state = flashProgress();
    Copy copy{{source}, {destination}, static_cast<unsigned char*>(std::calloc(chunkSize, 1))};
    if (copy.buffer == nullptr) {
        if (state.noisy)
            std::fprintf(stderr, "Could not get buffer\n");
        return -1;
    }
    mtd_info_user info{};
    if (const int result = openSource(copy.source, info); result != 0)
        return result;
    if (const int result = openDestination(copy.destination, info); result != 0)
        return result;

    const bool mtdInvolved = copy.source.mtd || copy.destination.mtd;
    if (size < 0) {
        if (copy.source.regular)
            size = static_cast<ssize_t>(copy.source.fileSize);
        else if (mtdInvolved)
            size = static_cast<ssize_t>(info.size);
        // otherwise standard input to a file or standard output: up to its end
    } else if (mtdInvolved && static_cast<size_t>(size) > info.size) {
        if (state.noisy)
            std::fprintf(stderr, "Size requested is %zd bytes but mtd is only %u bytes\n", size, info.size);
        return -4;
    }

    state.total = size < 0 ? 0 : static_cast<uint32_t>(size);
    if (state.noisy && size >= 0)
        std::fprintf(stderr, "%zd bytes to transfer\n", size);

    if (copy.destination.mtd) {
        if (!state.noErase) {
            const uint32_t eraseSize = info.erasesize;
            const int sectors = eraseSize == 0 ? 1 : static_cast<int>((static_cast<uint64_t>(size) + eraseSize - 1) / eraseSize);
            if (flash_erase_sectors(copy.destination.fd, info, sectors, offset) != 0) {
                std::fprintf(stderr, "Write failed, could not erase device %s first\nReason: %s\n", destination,
                             systemErrorText());
                return -5;
            }
        }
        if (offset != 0)
            ::lseek(copy.destination.fd, offset, SEEK_SET);
    } else if (offset != 0) {
        ::lseek(copy.source.fd, offset, SEEK_SET);
    }

    if (state.noisy)
        std::fprintf(stderr, "Transfer in progress: ...");
    if (const int result = copy.transfer(size); result != 0)
        return result;
    if (state.noisy)
        std::fprintf(stderr, "\nSuccess! Copied %d bytes from %s to %s\n", static_cast<int>(copy.copied), source, destination);
    return 0;
}
