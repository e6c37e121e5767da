#pragma once

#include <sys/types.h>

// Every MTD ioctl and write of the platform layer goes through here. On the
// target (root "/") they are the kernel's. Under another root, a regular file
// <root>/dev/mtdN whose partition <root>/proc/mtd lists stands in for that
// partition: NOR geometry from its line, unlock succeeds, erase fills a block
// with 0xFF, and writes can only clear bits.
namespace MtdSeam {

// True when `path` is such a stand-in under the current root.
bool isSimulatedPartition(const char* path);

// open(2); a stand-in partition is remembered for the calls below.
int open(const char* path, int flags);
int close(int fd); // leaves errno as it was
int ioctl(int fd, unsigned long request, void* argument);
ssize_t write(int fd, const void* data, size_t count);

} // namespace MtdSeam
