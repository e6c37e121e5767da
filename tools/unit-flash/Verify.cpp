#include "tools/unit-flash/Verify.h"

#include "platform/ReadFully.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace UnitFlash {

namespace {

constexpr size_t blockSize = 64 * 1024;

struct Descriptor {
    int fd;
    bool owned;
    ~Descriptor()
    {
        if (owned && fd >= 0)
            ::close(fd);
    }
};

} // namespace

VerifyResult verifyCopy(const std::string& source, const std::string& destination, long size, long offset)
{
    VerifyResult result;
    Descriptor in{source.empty() ? STDIN_FILENO : ::open(source.c_str(), O_RDONLY), !source.empty()};
    if (in.fd < 0) {
        result.code = -2;
        return result;
    }
    Descriptor out{::open(destination.c_str(), O_RDONLY), true};
    if (out.fd < 0) {
        result.code = -3;
        return result;
    }
    if (offset != 0 && ::lseek(out.fd, offset, SEEK_SET) < 0) {
        result.code = -3;
        return result;
    }
    std::unique_ptr<unsigned char[]> expected(new unsigned char[blockSize]);
    std::unique_ptr<unsigned char[]> actual(new unsigned char[blockSize]);
    while (size < 0 || result.compared < size) {
        const size_t want = size < 0 ? blockSize : std::min<size_t>(blockSize, static_cast<size_t>(size - result.compared));
        const long wanted = readFully(in.fd, expected.get(), want);
        if (wanted < 0) {
            result.code = -4;
            return result;
        }
        if (wanted == 0) {
            if (size >= 0) { // the source is shorter than the size asked for
                errno = ENODATA;
                result.code = -4;
            }
            return result;
        }
        const long got = readFully(out.fd, actual.get(), static_cast<size_t>(wanted));
        if (got < 0) {
            result.code = -4;
            return result;
        }
        const auto [mismatch, unused] = std::mismatch(expected.get(), expected.get() + got, actual.get());
        (void)unused;
        const long same = static_cast<long>(mismatch - expected.get());
        result.compared += same;
        if (same < wanted) { // a different byte, or the destination ended first
            result.code = -6;
            result.differsAt = offset + result.compared;
            return result;
        }
    }
    return result;
}

} // namespace UnitFlash
