#include "platform/BoardLibrary.h"
#include "platform/Flash.h"
#include "platform/MtdParts.h"
#include "platform/PlatformRoot.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>


extern "C" {
const char* FPGA_MTD_IDENT = "ident";
}

#ifndef DYNELLE_MAC_OUI_BYTES
#error "DYNELLE_MAC_OUI_BYTES must give the three bytes of the MAC address prefix"
#endif

namespace {

// The maker's organisationally unique identifier that opens every MAC address.
constexpr uint8_t macOui[3] = {DYNELLE_MAC_OUI_BYTES};
constexpr off_t serialOffset = 12;

std::string identPartitionPath()
{
    return platformPath("/dev/") + getDevNodeName(FPGA_MTD_IDENT);
}

int openIdentPartition()
{
    return open(identPartitionPath().c_str(), O_RDONLY);
}

ssize_t writeAll(int fd, const void* data, size_t size)
{
    return write(fd, data, size);
}

} // namespace

extern "C" int getMac(uint8_t* mac)
{
    if (mac == nullptr)
        return -1;
    const int fd = openIdentPartition();
    if (fd < 0)
        return -1;
    char record[11];
    int result = -1;
    if (pread(fd, record, sizeof record, 0) == static_cast<ssize_t>(sizeof record) && std::memcmp(record, "mac:", 4) == 0
        && record[4] == ' ') {
        std::memcpy(mac, record + 5, 6);
        result = 0;
    }
    close(fd);
    return result;
}

extern "C" int getSerial(unsigned* serial)
{
    if (serial == nullptr) {
        fputs("Nowhere to put serial num!\n", stderr);
        return -1;
    }
    const int fd = openIdentPartition();
    if (fd < 0) {
        fputs("Failed to open mtd\n", stderr);
        return -1;
    }
    *serial = 0;
    int result = -1;
    char text[15] = {};
    if (lseek(fd, serialOffset, SEEK_SET) != serialOffset) {
        fputs("Cannot seek\n", stderr);
    } else if (read(fd, text, 14) < 14) {
        fputs("Cannot read\n", stderr);
    } else if (std::memcmp(text, "serial: ", 8) != 0) {
        fputs("Cannot find serial key\n", stderr);
    } else {
        *serial = static_cast<unsigned>(std::strtoul(text + 8, nullptr, 10));
        result = 0;
    }
    close(fd);
    return result;
}

extern "C" int setSerialAndMac(unsigned serial)
{
    const std::string scratch = platformPath("/var/volatile/tmps");
    const int fd = open(scratch.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_SYNC, 0600);
    if (fd < 0)
        return -1;
    const uint8_t mac[6] = {macOui[0], macOui[1], macOui[2], static_cast<uint8_t>(serial >> 16),
                            static_cast<uint8_t>(serial >> 8), static_cast<uint8_t>(serial)};
    char digits[16];
    snprintf(digits, sizeof digits, "%06u", serial);
    const std::string tail = std::string("\nserial: ") + std::string(digits, 6);
    ssize_t count = writeAll(fd, "mac: ", 5);
    count += writeAll(fd, mac, sizeof mac);
    count += writeAll(fd, tail.data(), tail.size());
    close(fd);

    if (flashCopy(scratch.c_str(), identPartitionPath().c_str(), count, 0) < 0)
        return -1;
    const std::string command = platformPath("/usr/bin/fw_setenv") + " runlevel 4";
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status))
        return status == -1 ? -1 : status;
    return WEXITSTATUS(status);
}
