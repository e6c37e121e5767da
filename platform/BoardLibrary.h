#pragma once

// The host unit's board library: identity of the fitted boards, the front
// LED, the hardware watchdog, the identity record (MAC address and serial
// number) and two I2C register helpers. Plain functions with C linkage; every
// fixed path resolves under the platform root (platform_set_root).

#include <stdint.h>
#include <stdio.h>
#include <sys/types.h>

extern "C" {

// Board identity numbers read from GPIO lines: kind 0 main, 1 mezzanine,
// 2 front panel, 3 main-board engineering change level. -1 when unreadable;
// a successful read is cached for the life of the process.
int read_board_id(int kind);
int get_baseboard_variant(void);
int get_front_panel_variant(int frontPanelId);

// rgb points at red, green, blue. 0 when the three PWM channels were
// exported, 1 when any export failed (the levels are written either way).
int setLED(const uint8_t* rgb, int on);

int start_dog(int timeoutSeconds);
int kick_dog(void);
int stop_dog(void);

int getMac(uint8_t* mac);
int getSerial(unsigned* serial);
int setSerialAndMac(unsigned serial);

void i2cSetDeviceAddress(int address);
int i2cWriteByte(int fd, uint8_t reg, uint8_t value);
int i2cReadByte(int fd, uint8_t reg, uint8_t* out);

// Name of the MTD partition holding the identity record.
extern const char* FPGA_MTD_IDENT;

// Front-LED brightness per front-panel variant (rows) and colour (columns
// red, green, blue), out of 256.
extern int fp_led_scaling[3][3];
}
