#include "platform/BoardLibrary.h"

#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace {

int i2cAddress = -1;

int transfer(int fd, i2c_msg* messages, unsigned count)
{
    if (fd < 0 || i2cAddress < 0)
        return -ENODEV;
    i2c_rdwr_ioctl_data data{messages, count};
    return ioctl(fd, I2C_RDWR, &data);
}

} // namespace

extern "C" void i2cSetDeviceAddress(int address)
{
    i2cAddress = address;
}

extern "C" int i2cWriteByte(int fd, uint8_t reg, uint8_t value)
{
    uint8_t data[2] = {reg, value};
    i2c_msg message{static_cast<__u16>(i2cAddress), 0, 2, data};
    return transfer(fd, &message, 1);
}

extern "C" int i2cReadByte(int fd, uint8_t reg, uint8_t* out)
{
    i2c_msg messages[2] = {
        {static_cast<__u16>(i2cAddress), 0, 1, &reg},
        {static_cast<__u16>(i2cAddress), I2C_M_RD, 1, out},
    };
    return transfer(fd, messages, 2);
}
