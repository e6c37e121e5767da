#pragma once

// Flash partitions: opening an MTD character device with its geometry,
// erasing sectors or a whole partition, copying between files, MTD devices,
// standard input and standard output, with optional progress output.
// Diagnostics go to standard error.

#include <stdint.h>
#include <stdio.h>
#include <sys/types.h>
#include <sys/ioctl.h>
#include <mtd/mtd-user.h>

extern "C" {
void setNoErase(bool value);
void setNoisy(bool value);
void setProgress(bool value); // also clears noisy

// Prints the percentage done after each erased sector or copied chunk.
void printProgress(void);

int open_mtd(const char* path, mtd_info_user* info);
int flash_erase_sectors(int fd, mtd_info_user info, int sectorCount, long offset);
int flashErase(const char* device, long size, long offset);
int flashCopy(const char* source, const char* destination, ssize_t size, long offset);
}
