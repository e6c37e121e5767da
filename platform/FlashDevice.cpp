#include "platform/Flash.h"

#include "platform/FlashProgress.h"
#include "platform/MtdSeam.h"
#include "platform/SystemErrorText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace {

// One sector: unlock (its result does not matter), then erase.
int unlockAndErase(int fd, erase_info_user& request)
{
    MtdSeam::ioctl(fd, MEMUNLOCK, &request);
    return MtdSeam::ioctl(fd, MEMERASE, &request);
}

void reportEraseFailure()
{
    std::fprintf(stderr, "ERASE IOCTL failed\n: %s\n", systemErrorText());
}

// The whole partition from its start, block by block.
int eraseWholePartition(int fd, const mtd_info_user& info)
{
    FlashProgress& state = flashProgress();
    if (state.noisy)
        std::fprintf(stderr, "No size given, erasing entire partition\n");
    state.total += info.size;
    if (state.noisy)
        std::fprintf(stderr, "Erase in progress: ...");
    erase_info_user request{0, info.erasesize};
    if (info.erasesize == 0)
        errno = EINVAL; // no block size to step by: fails below
    for (; request.start < info.size; request.start += info.erasesize) {
        if (info.erasesize == 0 || unlockAndErase(fd, request) < 0) {
            if (state.noisy) {
                reportEraseFailure();
                std::fprintf(stderr, "\nFailure to erase whole partition of flash\n");
            }
            return -1;
        }
        state.done += info.erasesize;
        printProgress();
        if (request.start > info.size - info.erasesize)
            break; // the next step would wrap past 4 GiB
    }
    if (state.noisy)
        std::fprintf(stderr, "\nFlash erased successfully\n");
    return 0;
}

int eraseSectors(int fd, mtd_info_user info, long size, long offset)
{
    const bool noisy = flashProgress().noisy;
    const uint32_t eraseSize = info.erasesize;
    if (eraseSize == 0)
        return flash_erase_sectors(fd, info, 1, offset); // the device refuses it and says why
    // Sizes are 32-bit quantities on the unit; keep the same arithmetic here.
    const uint32_t requested = static_cast<uint32_t>(size);
    int sectorCount = static_cast<int>(requested / eraseSize);
    if (static_cast<long>(info.size) < size && noisy)
        std::fprintf(stderr, "attempt to erase more than partition size \n");
    if (requested % eraseSize != 0) {
        if (noisy)
            std::fprintf(stderr, "Size not a multiple of erase size\n");
        ++sectorCount;
    }
    if (offset % static_cast<long>(eraseSize) != 0) {
        offset -= offset % static_cast<long>(eraseSize);
        if (noisy)
            std::fprintf(stderr, "Moving device start offset to erase boundary, new start offset: %ld\n", offset);
    }
    return flash_erase_sectors(fd, info, sectorCount, offset);
}

} // namespace

int open_mtd(const char* path, mtd_info_user* info)
{
    const bool noisy = flashProgress().noisy;
    const int fd = MtdSeam::open(path, O_RDWR | O_SYNC);
    if (fd < 0) {
        if (noisy)
            std::fprintf(stderr, "Failed to open %s\nReason: %s\n", path, systemErrorText());
        return fd;
    }
    if (info != nullptr) {
        std::memset(info, 0, sizeof *info);
        MtdSeam::ioctl(fd, MEMGETINFO, info);
        if (noisy) {
            std::fprintf(stderr, "MTD type: %u\n", static_cast<unsigned>(info->type));
            std::fprintf(stderr, "MTD total size : %u bytes\n", info->size);
            std::fprintf(stderr, "MTD write size : %u bytes\n", info->writesize);
            std::fprintf(stderr, "MTD erase size : %u bytes\n", info->erasesize);
            std::fprintf(stderr, "MTD overhead / block : %u bytes\n", info->oobsize);
            std::fprintf(stderr, "MTD Flags : 0x%08X\n", info->flags);
        }
    }
    return fd;
}

int flash_erase_sectors(int fd, mtd_info_user info, int sectorCount, long offset)
{
    FlashProgress& state = flashProgress();
    state.noisy = true;
    state.total += info.size;
    std::fprintf(stderr, "Erase in progress (%d sectors from offset 0x%08lX): ...\n", sectorCount,
                 static_cast<unsigned long>(offset));
    std::fflush(stderr);
    int result = 0;
    erase_info_user request{static_cast<uint32_t>(offset), info.erasesize};
    for (int sector = 0; sector < sectorCount; ++sector) {
        if (unlockAndErase(fd, request) < 0) {
            if (!state.noisy)
                return -1;
            reportEraseFailure();
            result = -1;
            break;
        }
        state.done += info.erasesize;
        printProgress();
        request.start += info.erasesize;
    }
    if (state.noisy) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    return result;
}

int flashErase(const char* device, long size, long offset)
{
    mtd_info_user info{};
    const int fd = open_mtd(device, &info);
    if (fd < 0) {
        if (flashProgress().noisy)
            std::fprintf(stderr, "Could not open mtd device at %s for erasure\n", device);
        return -2;
    }
    const int result = size == -1 ? eraseWholePartition(fd, info) : eraseSectors(fd, info, size, offset);
    MtdSeam::close(fd);
    return result;
}
