#pragma once

#include <QString>

#include <deque>

class SerialDevice;

// The TR417's USB serial link: the device node (open, lock, raw terminal
// mode, chunked reads into a byte queue) and the line protocol whose replies
// keep the board readings below up to date.
class DynelleUSBProtocolLowLevel {
public:
    static constexpr const char* defaultDevicePath = "/dev/tr417_app";

    explicit DynelleUSBProtocolLowLevel(SerialDevice& device, const char* devicePath = defaultDevicePath);
    DynelleUSBProtocolLowLevel();
    virtual ~DynelleUSBProtocolLowLevel();
    DynelleUSBProtocolLowLevel(const DynelleUSBProtocolLowLevel&) = delete;
    DynelleUSBProtocolLowLevel& operator=(const DynelleUSBProtocolLowLevel&) = delete;

    virtual bool initialize();

    // Device layer.
    bool testPresenceOfUSBDevice();
    bool openPort();
    bool setTTY();
    bool sendLine(const QString& text);
    bool fillReadQueue();
    bool servicePort();

    // Protocol.
    bool processReadQueueLines();
    bool processReceivedLine(const QString& line);
    bool RXAnalogFuelGauge(const QString& line);
    bool RXBatteryInterface(const QString& line);
    bool RXBatteryCapacity(const QString& line);
    bool RXBatteryVoltage(const QString& line);
    bool RXPowerSource(const QString& line);
    bool RXSystemVoltage(const QString& line);
    bool RXTimeToEmpty(const QString& line);
    bool RXVersion(const QString& line);
    bool RXCommentData(const QString& line);
    // The next system-voltage report starts a fresh minimum and maximum.
    void resetSystemVoltageExtremes();

    const int noReading = -100000;
    const char* devicePath;
    QString version{"Uninitialised"};
    int batteryCapacity = noReading;
    int timeToEmpty = noReading;
    int powerSource = noReading;
    int systemVoltage = noReading;
    int analogFuelGauge = noReading;
    int batteryInterface = noReading;
    int batteryVoltage = noReading;
    int rawAnalogFuelGauge = noReading;
    int systemVoltageMin = noReading;
    int systemVoltageMax = noReading;
    int rxByteCount = 0;
    int txByteCount = 0;
    int fd = -1;
    std::deque<char> readQueue;

    // Shared by every link in the process: only the first few write failures
    // are worth a log entry, a vanished device would otherwise flood it.
    static int writeFailureReports;

protected:
    SerialDevice& device;
};
